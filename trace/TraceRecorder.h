#ifndef TAXLINK_TRACE_TRACERECORDER_H_
#define TAXLINK_TRACE_TRACERECORDER_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "aggregation/FigureTrace.h"
#include "host/TaxLineTrace.h"
#include "trace/TraceHandoff.h"
#include "trace/TraceRecords.h"
#include "trace/TraceSpools.h"

namespace taxlink {

// Takes the contributions of a run as they come, from the engine's passes
// (FigureTrace) and from the host's return summation (TaxLineSink), and
// spools them (TraceRecords.h): each side of a line once in the line table,
// and under each figure it went to (TraceKeys.h) an entry naming its row.
//
// The host hands a line's sides over before the engine's passes contribute
// that line (one walk serves both): a side both take is one row. Rows are
// numbered in the order they are made, so every entry is made as it comes.
//
// Opened on a thread of its own, it copies each contribution as a compact
// record into a bounded handoff (TraceHandoff) and that thread formats and
// writes them, in the order they came: the run's own walks go on meanwhile,
// and the spools and the trace are the same bytes as when recorded in turn.
class TraceRecorder : public FigureTrace, public TaxLineSink {
 public:
  // taxIncluded: the run's setting, which says which amount of a journal
  // side and of an account's month entries the passes took.
  explicit TraceRecorder(bool taxIncluded);
  ~TraceRecorder() override;
  TraceRecorder(const TraceRecorder&) = delete;
  TraceRecorder& operator=(const TraceRecorder&) = delete;

  // Makes the spools' file; false with the cause. With lineTable (an open
  // descriptor, the trace being written) the rows of the line table go
  // straight there, at its position, instead of to a spool. With onThread
  // the contributions are recorded on a thread of its own (recorded in
  // turn when no thread can be started).
  bool Open(std::string* error, int lineTable = -1, bool onThread = false);

  // From the thread that runs the walks. Side is false once recording
  // failed (on a thread of its own, soon after).
  void Contribute(const Contribution& contribution) override;
  bool Side(const TaxLineSide& side) override;
  // Waits until every contribution is recorded (the recorder's thread
  // ended). The spools, the accounts and failed() below are complete only
  // after it; no contribution may come after it.
  void Finish();

  TraceSpools& spools() { return spools_; }
  const TraceSpools& spools() const { return spools_; }
  // Whether the figure spooled under including took the amounts including
  // tax of exactly the sides whose amounts excluding tax and tax the two
  // other spools hold: the figure is then the sum of those two.
  bool SumOfParts(uint64_t including, uint64_t* excluding, uint64_t* tax) const;
  // Makes the entries of key that were left unmade while its figure could
  // still end as the sum of its two parts (below); after Finish, for each
  // spool the trace copies. False when they cannot be made (failed()).
  bool Complete(uint64_t key);
  // The accounts the line table names, by id: the JSON object of each.
  const std::unordered_map<int32_t, std::string>& accounts() const { return hostAccounts_.byId; }
  // A spool could not be written or an amount overflowed: the trace would
  // be incomplete.
  bool failed() const { return failed_ || spools_.failed(); }

 private:
  // The records of contributions as they go through the handoff, and what
  // records them, in order, on the recorder's thread or in turn.
  struct EngineLine;
  struct EngineAccount;
  struct Entry;
  void Take(const char* data, std::size_t size);
  void TakeRecords(const char* data, const char* end);
  bool RecordSide(const TaxLineSide& side);
  void RecordEngineLine(const EngineLine& line);
  void RecordEntry(const Entry& entry, const char* json);
  // Room for a record of kind and bytes more: in the handoff, or in scratch_
  // when recorded in turn (Put then records it).
  char* Reserve(uint8_t kind, std::size_t bytes);
  void Put(std::size_t bytes);

  // The spool of key through a small cache (a side feeds a few figures).
  TraceSpools::Spool* SpoolOf(uint64_t key);
  // Adds a row to the line table; its index there.
  uint64_t AddLine(const LineRow& row);
  void WriteRow(const LineRow& row);
  // The entry of a side's row in spool; asBooked: its amount is what the
  // row booked.
  bool PutEntry(TraceSpools::Spool* spool, const LineEntryStart& row, TakenAmount taken,
                int64_t amount, bool asBooked);
  // The accounts rows name, by id; the host's sides are remembered on the
  // thread of the walks (their texts live only during the call), the
  // engine's where their rows are made, and both meet in Finish.
  struct AccountBook {
    AccountBook();
    void Remember(int32_t id, const char* code, std::size_t codeSize, const char* name,
                  std::size_t nameSize);
    // Whether id was the last account of its slot; it is from now on.
    bool Known(int32_t id);
    std::unordered_map<int32_t, std::string> byId;
    // Accounts already remembered, by id modulo the size: most sides name
    // one of a few accounts, found here without the map (none: a value no
    // id has).
    std::array<int64_t, 256> known;
  };
  AccountBook hostAccounts_;
  AccountBook engineAccounts_;
  // The engine's accounts whose texts went into the handoff (the walks'
  // thread), and those texts as the recorder received them, by id.
  AccountBook engineAccountsSent_;
  std::unordered_map<int32_t, std::string> engineAccountTexts_;

  bool taxIncluded_;
  // On a thread of its own: the handoff, and whether recording failed
  // there (the walks stop then).
  std::unique_ptr<TraceHandoff> handoff_;
  TraceSpools::Spool* lineTable_ = nullptr;
  uint64_t rowsMade_ = 0;
  std::atomic<bool> threadFailed_{false};
  std::vector<char> scratch_;  // a record recorded in turn
  // Rate-row figures (by byte offset) that the business-type parts make.
  std::vector<uint8_t> brokenDown_;  // bytes: read per side, no bit to pick out
  TraceSpools spools_;
  // The spools of amounts including tax of the host's figures, with the
  // spools of the same sides' amounts excluding tax and tax.
  //
  // Most such figures end as the sum of the other two (SumOfParts), their
  // own entries dropped: so they are not made while that can still be.
  // While deferred, every side the figure took also went once to each of
  // the two others, with entries from which its own follows (all three as
  // booked, or all three with their amounts and the third the sum of the
  // two), and the two others' first entries are those sides'. The first
  // side that breaks this makes the deferred entries from them
  // (Materialize), and the figure's entries are made as they come from
  // then on.
  struct Triple {
    uint64_t key = 0;  // the amount including tax
    uint64_t excl = 0, tax = 0;
    uint64_t count = 0;
    bool mixed = false;    // some side did not add to the three alike
    bool deferred = true;  // no entry made yet: count of them to make
    int64_t sum = 0;       // of the deferred entries, as the spool sums
    bool overflow = false;
  };
  std::unordered_map<uint64_t, Triple> triples_;
  // What the recorder knows of a figure's key.
  struct KeyState {
    uint64_t key = 0;
    TraceSpools::Spool* spool = nullptr;
    Triple* triple = nullptr;  // its triple as an amount including tax
    Triple* partOf = nullptr;  // a deferred triple it is a part of
  };
  std::unordered_map<uint64_t, KeyState> keys_;
  struct CacheSlot {
    uint64_t key = 0;
    KeyState* state = nullptr;
  };
  KeyState* StateOf(uint64_t key);
  Triple& TripleOf(KeyState* state);
  // Makes a deferred triple's entries, from the first count entries of its
  // two parts, and ends its deferral.
  bool Materialize(Triple& triple);
  // PutEntry into the spool of state, after the deferred entries of the
  // figure it is the amount including tax of.
  bool EntryTo(KeyState* state, const LineEntryStart& row, TakenAmount taken, int64_t amount,
               bool asBooked);
  std::array<CacheSlot, 1024> cache_{};
  std::string entry_;
  // The host hands a line's sides over before the engine's passes get the
  // line (ClRuleShiwake::TraceReady): a side both take is the host's row
  // just made. The host's last side of each kind (1 debit) and its row
  // (none yet: a line no journal has).
  struct HostSide {
    int32_t journal = 0, line = INT32_MIN;
    uint64_t index = 0;
    int64_t amount = 0, tax = 0;  // what the row booked
  };
  HostSide hostSides_[2];
  // The engine's last journal side, so that a side that feeds several
  // figures in a row is one row of the table.
  struct {
    int32_t journal = 0, line = 0;
    int8_t side = 0;
    int64_t amount = 0, tax = 0;  // what its row booked
  } lastEngineSide_;
  // An entry of an engine's side, its row resolved: the host's row, the
  // row of the entry before, or a row of its own (which follows it).
  enum class RowKind : uint8_t { kHostRow, kSameRow, kNewRow };
  struct EngineEntry {
    uint64_t key = 0;
    int64_t amount = 0;
    uint64_t row = 0;  // kHostRow: its index
    RowKind rowKind = RowKind::kSameRow;
    bool asBooked = false;
    bool replaces = false;
  };
  void MakeEngineEntry(const EngineEntry& entry, const LineRow& row);
  uint64_t engineRow_ = 0;  // the row of the engine's last entry
  bool failed_ = false;
};

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACERECORDER_H_
