#ifndef TAXLINK_TRACE_TRACERECORDER_H_
#define TAXLINK_TRACE_TRACERECORDER_H_

#include <cstdint>
#include <string>
#include <unordered_map>

#include "aggregation/FigureTrace.h"
#include "host/TaxLineTrace.h"
#include "trace/TraceSpools.h"

namespace taxlink {

// Takes the contributions of a run as they come, from the engine's passes
// (FigureTrace) and from the host's return summation (TaxLineSink), and
// spools each, as the JSON of the trace file has it, under the figure it
// went to (TraceKeys.h).
class TraceRecorder : public FigureTrace, public TaxLineSink {
 public:
  // taxIncluded: the run's setting, which says which amount of a journal
  // side and of an account's month entries the passes took.
  explicit TraceRecorder(bool taxIncluded) : taxIncluded_(taxIncluded) {}

  // Makes the spools' folder; false with the cause.
  bool Open(std::string* error) { return spools_.Open(error); }

  void Contribute(const Contribution& contribution) override;
  bool Side(const TaxLineSide& side) override;

  const TraceSpools& spools() const { return spools_; }
  // A spool could not be written: the trace would be incomplete.
  bool failed() const { return spools_.failed(); }

 private:
  const std::string& AccountJson(int32_t id, const char* code, std::size_t codeSize,
                                 const char* name, std::size_t nameSize);

  bool taxIncluded_;
  TraceSpools spools_;
  std::unordered_map<int32_t, std::string> accounts_;
  std::string entry_;
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACERECORDER_H_
