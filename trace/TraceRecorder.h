#ifndef TAXLINK_TRACE_TRACERECORDER_H_
#define TAXLINK_TRACE_TRACERECORDER_H_

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "aggregation/FigureTrace.h"
#include "host/TaxLineTrace.h"
#include "trace/TraceRecords.h"
#include "trace/TraceSpools.h"

namespace taxlink {

// Takes the contributions of a run as they come, from the engine's passes
// (FigureTrace) and from the host's return summation (TaxLineSink), and
// spools them (TraceRecords.h): each side of a line once in the line table,
// and under each figure it went to (TraceKeys.h) an entry naming its row.
class TraceRecorder : public FigureTrace, public TaxLineSink {
 public:
  // taxIncluded: the run's setting, which says which amount of a journal
  // side and of an account's month entries the passes took.
  explicit TraceRecorder(bool taxIncluded);

  // Makes the spools' file; false with the cause. With lineTable (an open
  // descriptor, the trace being written) the rows of the line table go
  // straight there, at its position, instead of to a spool.
  bool Open(std::string* error, int lineTable = -1);

  void Contribute(const Contribution& contribution) override;
  bool Side(const TaxLineSide& side) override;

  TraceSpools& spools() { return spools_; }
  const TraceSpools& spools() const { return spools_; }
  // Whether the figure spooled under including took the amounts including
  // tax of exactly the sides whose amounts excluding tax and tax the two
  // other spools hold: the figure is then the sum of those two.
  bool SumOfParts(uint64_t including, uint64_t* excluding, uint64_t* tax) const;
  // The accounts the line table names, by id: the JSON object of each.
  const std::unordered_map<int32_t, std::string>& accounts() const { return accounts_; }
  // A spool could not be written or an amount overflowed: the trace would
  // be incomplete.
  bool failed() const { return failed_ || spools_.failed(); }

 private:
  // The spool of key through a small cache (a side feeds a few figures).
  TraceSpools::Spool* SpoolOf(uint64_t key);
  // Adds a row to the line table; its index there.
  uint64_t AddLine(const LineRow& row);
  bool AddLineEntry(uint64_t key, uint64_t index, TakenAmount taken, int64_t amount);
  // Spools the JSON of a contribution of another kind.
  bool AddJsonEntry(uint64_t key, const std::string& json, int64_t amount);
  void RememberAccount(int32_t id, const char* code, std::size_t codeSize, const char* name,
                       std::size_t nameSize);

  bool taxIncluded_;
  // Rate-row figures (by byte offset) that the business-type parts make.
  std::vector<bool> brokenDown_;
  TraceSpools spools_;
  std::unordered_map<int32_t, std::string> accounts_;
  // The spools of amounts including tax of the host's figures, with the
  // spools of the same sides' amounts excluding tax and tax.
  struct Triple {
    uint64_t excl = 0, tax = 0;
    uint64_t count = 0;
    bool mixed = false;  // some side did not add to the three alike
  };
  std::unordered_map<uint64_t, Triple> triples_;
  struct CacheSlot {
    uint64_t key = 0;
    TraceSpools::Spool* spool = nullptr;
    Triple* triple = nullptr;  // made on first use as a triple's key
  };
  Triple& TripleOf(uint64_t key);
  std::array<CacheSlot, 1024> cache_{};
  // Accounts already remembered, by id modulo the size: most sides name one
  // of a few accounts, found here without the map (none: a value no id has).
  std::array<int64_t, 256> knownAccounts_;
  std::string entry_;
  // The rows of the host's sides that the engine's refund passes may take
  // too (the non-taxable purchase classes), by journal side, so that such a
  // side is one row of the table.
  static uint64_t SideKey(int32_t journal, int32_t line, bool debit) {
    return (uint64_t{static_cast<uint32_t>(journal)} << 33) |
           (uint64_t{static_cast<uint32_t>(line)} << 1) | (debit ? 1u : 0u);
  }
  // They are spooled (kSharedRowsKey) in the order the host gives them, and
  // the engine's passes, which walk the lines in the same order, read them
  // back once alongside: memory stays flat. Should either walk go out of
  // order, the rows are loaded into a vector sorted by side instead.
  struct SharedRow {
    uint64_t side;
    uint64_t index;
  };
  void AddSharedRow(const SharedRow& row);
  // The row of a side the host gave, or null.
  const uint64_t* SharedRowOf(uint64_t side);
  void LoadSharedRows();
  enum class SharedMode { kSpooling, kReading, kInMemory };
  SharedMode sharedMode_ = SharedMode::kSpooling;
  uint64_t lastShared_ = 0;  // the last side spooled, or looked up while reading
  bool anyShared_ = false;
  bool sharedInOrder_ = true;
  // Reading: the spool's file, the entries not yet read, the current one.
  std::FILE* sharedFile_ = nullptr;
  uint64_t sharedLeft_ = 0;
  SharedRow sharedCurrent_{};
  bool sharedHave_ = false;
  bool anyLookup_ = false;
  // In memory.
  std::vector<SharedRow> sharedRows_;
  bool sharedSorted_ = true;
  std::size_t sharedCursor_ = 0;  // where the last lookup ended
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
