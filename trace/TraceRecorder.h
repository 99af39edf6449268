#ifndef TAXLINK_TRACE_TRACERECORDER_H_
#define TAXLINK_TRACE_TRACERECORDER_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "aggregation/FigureTrace.h"
#include "host/TaxLineTrace.h"
#include "trace/TraceSpools.h"

namespace taxlink {

// Takes the contributions of a run as they come, from the engine's passes
// (FigureTrace) and from the host's return summation (TaxLineSink), and
// spools them as the JSON of the trace file has them: each side of a line
// once in the line table, and under each figure it went to a short entry
// naming it by its index there (TraceKeys.h).
class TraceRecorder : public FigureTrace, public TaxLineSink {
 public:
  // taxIncluded: the run's setting, which says which amount of a journal
  // side and of an account's month entries the passes took.
  explicit TraceRecorder(bool taxIncluded);

  // Makes the spools' folder; false with the cause.
  bool Open(std::string* error) { return spools_.Open(error); }

  void Contribute(const Contribution& contribution) override;
  bool Side(const TaxLineSide& side) override;

  const TraceSpools& spools() const { return spools_; }
  // The accounts the line table names, by id: the JSON object of each.
  const std::map<int32_t, std::string>& accounts() const { return accounts_; }
  // A spool could not be written or an amount overflowed: the trace would
  // be incomplete.
  bool failed() const { return failed_ || spools_.failed(); }

 private:
  // One side as a row of the line table; its index there.
  struct LineFacts {
    int32_t journal, line, date, monthKind, accountId;
    bool debit;
    int taxClass;
    int32_t rate;
    int businessType;
    int32_t department;
    int64_t amount, tax;
  };
  uint64_t AddLine(const LineFacts& facts);
  void RememberAccount(int32_t id, const char* code, std::size_t codeSize, const char* name,
                       std::size_t nameSize);
  bool AddLineEntry(uint64_t key, uint64_t index, const char* taken, int64_t amount);

  bool taxIncluded_;
  // Rate-row figures (by byte offset) that the business-type parts make.
  std::vector<bool> brokenDown_;
  TraceSpools spools_;
  std::map<int32_t, std::string> accounts_;
  std::string entry_;
  // The engine's last journal side and its index, so that a side that
  // feeds several figures in a row is one row of the table.
  struct {
    int32_t journal = 0, line = 0;
    int8_t side = 0;
    uint64_t index = 0;
  } lastEngineSide_;
  bool failed_ = false;
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACERECORDER_H_
