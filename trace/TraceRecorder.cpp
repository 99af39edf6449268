#include "trace/TraceRecorder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include <nlohmann/json.hpp>

#include "host/StKAMOKUSUMINFO.h"
#include "host/StKOTEISHISANINFO.h"
#include "host/StSWKTINFO.h"
#include "host/StTAXREPORTRATEINFO.h"
#include "platform/text/Encoding.h"
#include "trace/RateBreakdown.h"
#include "trace/TraceKeys.h"
#include "trace/YenText.h"

namespace taxlink {

namespace {

// The size of a text that is zero-terminated however long (the host's
// sides), where a record's field has its own.
constexpr std::size_t kTerminated = std::numeric_limits<std::size_t>::max();

// A Shift_JIS field of a host record as a JSON string (none: empty).
std::string JsonText(const char* field, std::size_t size) {
  if (field == nullptr) field = "";
  return nlohmann::json(platform::Cp932ToUtf8(std::string_view(field, strnlen(field, size))))
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void AppendNumber(std::string& out, const char* key, int64_t value) {
  out += ",\"";
  out += key;
  out += "\":";
  AppendInteger(out, value);
}

void AppendText(std::string& out, const char* key, const std::string& json) {
  out += ",\"";
  out += key;
  out += "\":";
  out += json;
}

void StartEntry(std::string& out, const char* kind, int64_t amount) {
  out = "{\"kind\":\"";
  out += kind;
  out += "\",\"amount\":\"";
  AppendYen(out, amount);
  out += '"';
}

TakenAmount TakenOf(TaxLineSide::Taken taken) {
  switch (taken) {
    case TaxLineSide::Taken::kExcludingTax:
      return TakenAmount::kExcludingTax;
    case TaxLineSide::Taken::kTax:
      return TakenAmount::kTax;
    case TaxLineSide::Taken::kIncludingTax:
      return TakenAmount::kIncludingTax;
  }
  return TakenAmount::kExcludingTax;
}

std::string AccountObject(int32_t id, const char* code, std::size_t codeSize, const char* name,
                          std::size_t nameSize) {
  return "{\"id\":" + std::to_string(id) + ",\"code\":" + JsonText(code, codeSize) +
         ",\"name\":" + JsonText(name, nameSize) + "}";
}

// The records that go through the handoff, each after a byte of its kind.
enum RecordKind : uint8_t {
  kHostSideRecord = 1,
  kEngineLineRecord = 2,
  kEntryRecord = 3,
  kEngineAccountRecord = 4,
};

// A host side goes without its account's texts (remembered before) and with
// only the targets it has.
constexpr std::size_t kSideHead = offsetof(TaxLineSide, targets);

}  // namespace

// A side of a journal line that the engine's passes took.
struct TraceRecorder::EngineLine {
  uint64_t key;
  int64_t amount;
  LineRow row;  // the row it makes unless the host gave the side one
  int8_t side;
  bool replaces;
};

// The texts of an account the engine's sides name, sent before the first
// side that names it (and again only when another account took its slot of
// the walk's cache): the sides themselves carry only its id.
struct TraceRecorder::EngineAccount {
  int32_t id;
  char code[sizeof(StKAMOKUINFO::code)];
  char name[sizeof(StKAMOKUINFO::name)];
};

// A contribution of another kind; its JSON text follows it.
struct TraceRecorder::Entry {
  uint64_t key;
  int64_t amount;
  uint64_t size;
  bool replaces;
};

TraceRecorder::AccountBook::AccountBook() { known.fill(std::numeric_limits<int64_t>::min()); }

bool TraceRecorder::AccountBook::Known(int32_t id) {
  int64_t& slot = known[static_cast<uint32_t>(id) % known.size()];
  if (slot == id) return true;
  slot = id;
  return false;
}

void TraceRecorder::AccountBook::Remember(int32_t id, const char* code, std::size_t codeSize,
                                          const char* name, std::size_t nameSize) {
  if (Known(id)) return;
  auto [it, added] = byId.try_emplace(id);
  if (added) it->second = AccountObject(id, code, codeSize, name, nameSize);
}

TraceRecorder::TraceRecorder(bool taxIncluded)
    : taxIncluded_(taxIncluded), brokenDown_(sizeof(StTAXREPORTRATEINFO), 0) {
  for (std::size_t offset = 0; offset < brokenDown_.size(); offset += sizeof(int64_t)) {
    brokenDown_[offset] = BreakdownOfRateFigure(static_cast<uint16_t>(offset)).topic >= 0 ? 1 : 0;
  }
}

// The thread ends before any member it uses.
TraceRecorder::~TraceRecorder() { Finish(); }

bool TraceRecorder::Open(std::string* error, int lineTable, bool onThread) {
  if (!spools_.Open(error)) return false;
  if (lineTable >= 0 && !spools_.WriteInPlace(kLineTableKey, lineTable)) {
    *error = "cannot write the line table into the trace";
    return false;
  }
  lineTable_ = spools_.Get(kLineTableKey);
  if (onThread) {
    handoff_ = std::make_unique<TraceHandoff>(
        [this](const char* data, std::size_t size) { Take(data, size); });
    if (!handoff_->Start()) handoff_.reset();
  }
  return true;
}

void TraceRecorder::Finish() {
  if (handoff_) {
    handoff_->Finish();
    handoff_.reset();
  }
  // The host's sides come before the engine's: an account both name keeps
  // the text it had first.
  for (auto& [id, json] : engineAccounts_.byId) {
    hostAccounts_.byId.try_emplace(id, std::move(json));
  }
  engineAccounts_ = AccountBook();
}

char* TraceRecorder::Reserve(uint8_t kind, std::size_t bytes) {
  char* at = nullptr;
  if (handoff_) {
    at = handoff_->Reserve(1 + bytes);
  } else {
    if (scratch_.size() < 1 + bytes) scratch_.resize(1 + bytes);
    at = scratch_.data();
  }
  *at = static_cast<char>(kind);
  return at + 1;
}

void TraceRecorder::Put(std::size_t bytes) {
  if (handoff_) {
    handoff_->Commit(1 + bytes);
  } else {
    Take(scratch_.data(), 1 + bytes);
  }
}

void TraceRecorder::Take(const char* data, std::size_t size) {
  // Once recording failed, the rest only goes through (the trace will not be
  // written).
  if (failed()) {
    threadFailed_.store(true, std::memory_order_relaxed);
    return;
  }
  const char* const end = data + size;
  // Memory that runs out fails the trace, on the recorder's thread as in
  // turn, instead of ending the program.
  try {
    TakeRecords(data, end);
  } catch (const std::bad_alloc&) {
    failed_ = true;
  }
  if (handoff_ && failed()) threadFailed_.store(true, std::memory_order_relaxed);
}

void TraceRecorder::TakeRecords(const char* data, const char* end) {
  while (data < end) {
    const auto kind = static_cast<uint8_t>(*data++);
    if (kind == kHostSideRecord) {
      TaxLineSide side;
      std::memcpy(&side, data, kSideHead);
      const std::size_t targets =
          sizeof(TaxLineSide::Target) * static_cast<std::size_t>(side.targetCount);
      std::memcpy(side.targets, data + kSideHead, targets);
      data += kSideHead + targets;
      RecordSide(side);
    } else if (kind == kEngineLineRecord) {
      EngineLine line;
      std::memcpy(&line, data, sizeof(line));
      data += sizeof(line);
      RecordEngineLine(line);
    } else if (kind == kEngineAccountRecord) {
      EngineAccount account;
      std::memcpy(&account, data, sizeof(account));
      data += sizeof(account);
      auto [it, added] = engineAccountTexts_.try_emplace(account.id);
      if (added) {
        it->second = AccountObject(account.id, account.code, sizeof(account.code), account.name,
                                   sizeof(account.name));
      }
    } else {
      Entry entry;
      std::memcpy(&entry, data, sizeof(entry));
      RecordEntry(entry, data + sizeof(entry));
      data += sizeof(entry) + entry.size;
    }
  }
}

// Inlined: every entry of a line goes through it.
[[gnu::always_inline]] inline TraceRecorder::KeyState* TraceRecorder::StateOf(uint64_t key) {
  CacheSlot& slot = cache_[(key * 0x9E3779B97F4A7C15ull) >> 54];
  if (slot.state == nullptr || slot.key != key) {
    KeyState& state = keys_[key];
    state.key = key;
    if (state.spool == nullptr) state.spool = spools_.Get(key);
    slot = CacheSlot{key, &state};
  }
  return slot.state;
}

[[gnu::always_inline]] inline TraceSpools::Spool* TraceRecorder::SpoolOf(uint64_t key) {
  return StateOf(key)->spool;
}

TraceRecorder::Triple& TraceRecorder::TripleOf(KeyState* state) {
  if (state->triple == nullptr) {
    state->triple = &triples_[state->key];
    state->triple->key = state->key;
  }
  return *state->triple;
}

uint64_t TraceRecorder::AddLine(const LineRow& row) {
  int64_t including = 0;
  // A reader takes the sum of the two amounts: a side that has none fails.
  if (lineTable_ == nullptr || __builtin_add_overflow(row.amount, row.tax, &including)) {
    failed_ = true;
    return rowsMade_;
  }
  WriteRow(row);
  return rowsMade_++;
}

void TraceRecorder::WriteRow(const LineRow& row) {
  // A row that cannot be written out fails the spools; the rest are passed by.
  if (spools_.failed()) return;
  char* const at = spools_.StartEntry(lineTable_, kLineRowText);
  spools_.EndEntry(lineTable_, PutLineRow(at, row), 0);
}

namespace {

// Most entries take what their row booked: the reader has it there.
bool TakesWhatWasBooked(int64_t bookedAmount, int64_t bookedTax, TakenAmount taken,
                        int64_t amount) {
  int64_t booked = 0;
  return BookedAmount(bookedAmount, bookedTax, taken, &booked) && booked == amount;
}

}  // namespace

// Inlined: every line entry goes through it.
[[gnu::always_inline]] inline bool TraceRecorder::PutEntry(TraceSpools::Spool* spool,
                                                           const LineEntryStart& row,
                                                           TakenAmount taken, int64_t amount,
                                                           bool asBooked) {
  char* const at = spools_.StartEntry(spool, kLineEntryText);
  return spools_.EndEntry(spool, PutLineEntry(at, row, taken, amount, asBooked), amount);
}

// Inlined: every entry of a host side goes through it.
[[gnu::always_inline]] inline bool TraceRecorder::EntryTo(KeyState* state,
                                                          const LineEntryStart& row,
                                                          TakenAmount taken, int64_t amount,
                                                          bool asBooked) {
  // An entry to a deferred figure's own spool makes its deferred entries
  // first.
  if (state->triple != nullptr && state->triple->deferred && !Materialize(*state->triple)) {
    return false;
  }
  return PutEntry(state->spool, row, taken, amount, asBooked);
}

bool TraceRecorder::Side(const TaxLineSide& side) {
  hostAccounts_.Remember(side.accountId, side.accountCode, kTerminated, side.accountName,
                         kTerminated);
  const int count = std::clamp(side.targetCount, 0, TaxLineSide::kMaxTargets);
  const std::size_t targets = sizeof(TaxLineSide::Target) * static_cast<std::size_t>(count);
  // Straight into the handoff (room for every target, so that they are
  // copied at a fixed size), without the texts and with the count clamped.
  constexpr std::size_t kMostTargets = sizeof(side.targets);
  char* const at = Reserve(kHostSideRecord, kSideHead + kMostTargets);
  std::memcpy(at, &side, kSideHead + kMostTargets);
  const char* const kNoText = nullptr;
  std::memcpy(at + offsetof(TaxLineSide, accountCode), &kNoText, sizeof(kNoText));
  std::memcpy(at + offsetof(TaxLineSide, accountName), &kNoText, sizeof(kNoText));
  std::memcpy(at + offsetof(TaxLineSide, targetCount), &count, sizeof(count));
  Put(kSideHead + targets);
  return handoff_ ? !threadFailed_.load(std::memory_order_relaxed) && !spools_.failed() : !failed();
}

bool TraceRecorder::RecordSide(const TaxLineSide& side) {
  const uint64_t index =
      AddLine(LineRow{side.journalId, side.lineNo, side.date, side.monthKind, side.accountId,
                      side.rate, side.department, side.debit ? uint8_t{1} : uint8_t{0},
                      side.taxClass, side.businessType, 0, side.amount, side.tax});
  // The side's row for the engine; a side given twice keeps its first.
  HostSide& last = hostSides_[side.debit ? 1 : 0];
  if (last.journal != side.journalId || last.line != side.lineNo) {
    last = HostSide{side.journalId, side.lineNo, index, side.amount, side.tax};
  }
  // The row's part of its entries, made once for all of them.
  LineEntryStart row;
  StartLineEntries(index, &row);
  bool typed = false;
  for (int i = 0; i < side.targetCount; ++i) {
    typed = typed || side.targets[i].record == TaxLineSide::Record::kBusinessType;
  }
  // The figures the side went to by record (rate row or its unclassified
  // part, business type) and by the amount taken. The entries of amounts
  // including tax wait until the side's others are made (Triple).
  struct Held {
    KeyState* state;
    int64_t amount;
    int record;
    bool asBooked;
  };
  Held held[TaxLineSide::kMaxTargets];
  int heldCount = 0;
  // Read only where uses says the side has them.
  KeyState* states[2][3];
  bool asBooked[2][3];
  int64_t amounts[2][3];
  uint8_t uses[2][3] = {};
  for (int i = 0; i < side.targetCount; ++i) {
    const TaxLineSide::Target& target = side.targets[i];
    uint64_t key = 0;
    if (target.record == TaxLineSide::Record::kBusinessType) {
      key = TraceKey(TraceKeyKind::kTypeFigure, target.row, target.businessType, target.offset);
    } else if (brokenDown_[target.offset] == 0) {
      key = TraceKey(TraceKeyKind::kRateFigure, target.row, 0, target.offset);
    } else if (!typed) {
      // A figure made of its business-type parts: a side the summation gave
      // no business type is a line of the unclassified part.
      key = TraceKey(TraceKeyKind::kUntypedPart, target.row, 0, target.offset);
    } else {
      continue;  // listed under its business type's figure
    }
    KeyState* const state = StateOf(key);
    if (state->spool == nullptr) return false;
    const TakenAmount taken = TakenOf(target.taken);
    const bool whatWasBooked = TakesWhatWasBooked(side.amount, side.tax, taken, target.amount);
    const int record = target.record == TaxLineSide::Record::kBusinessType ? 1 : 0;
    const int t = static_cast<int>(taken);
    states[record][t] = state;
    asBooked[record][t] = whatWasBooked;
    amounts[record][t] = target.amount;
    ++uses[record][t];
    if (taken == TakenAmount::kIncludingTax) {
      held[heldCount++] = Held{state, target.amount, record, whatWasBooked};
      continue;
    }
    // An entry to a deferred figure's parts needs nothing now: the
    // deferred entries are made of the parts' first ones, and the figure's
    // next side sees that the parts hold more than its own.
    if (!EntryTo(state, row, taken, target.amount, whatWasBooked)) return false;
  }
  if (heldCount == 0) return !failed();
  constexpr int kExcl = static_cast<int>(TakenAmount::kExcludingTax);
  constexpr int kTax = static_cast<int>(TakenAmount::kTax);
  constexpr int kIncl = static_cast<int>(TakenAmount::kIncludingTax);
  const Triple* deferring[2] = {nullptr, nullptr};
  for (int record = 0; record < 2; ++record) {
    if (uses[record][kIncl] == 0) continue;
    KeyState* const incl = states[record][kIncl];
    KeyState* const excl = states[record][kExcl];
    KeyState* const tax = states[record][kTax];
    Triple& triple = TripleOf(incl);
    const bool whole = uses[record][kExcl] == 1 && uses[record][kTax] == 1 &&
                       uses[record][kIncl] == 1 &&
                       (triple.count == 0 || (triple.excl == excl->key && triple.tax == tax->key));
    // Deferred on while the two parts' entries of this side come right
    // after the deferred sides' and this side's amount including tax
    // follows from them.
    int64_t parts = 0;
    const bool follows =
        whole &&
        ((asBooked[record][kExcl] && asBooked[record][kTax] && asBooked[record][kIncl]) ||
         (!asBooked[record][kExcl] && !asBooked[record][kTax] && !asBooked[record][kIncl] &&
          !__builtin_add_overflow(amounts[record][kExcl], amounts[record][kTax], &parts) &&
          parts == amounts[record][kIncl]));
    auto alone = [&triple](const KeyState* part) {
      return part->spool->count == triple.count + 1 &&
             (part->partOf == nullptr || part->partOf == &triple || !part->partOf->deferred);
    };
    if (triple.deferred && !triple.mixed && follows && excl != tax && incl->spool->count == 0 &&
        alone(excl) && alone(tax)) {
      deferring[record] = &triple;
      excl->partOf = &triple;
      tax->partOf = &triple;
      if (__builtin_add_overflow(triple.sum, amounts[record][kIncl], &triple.sum)) {
        triple.overflow = true;
      }
    } else if (triple.deferred && !Materialize(triple)) {
      return false;
    }
    if (!whole) {
      triple.mixed = true;
      continue;
    }
    triple.excl = excl->key;
    triple.tax = tax->key;
    ++triple.count;
  }
  for (int i = 0; i < heldCount; ++i) {
    const Held& entry = held[i];
    KeyState* const state = entry.state;
    if (state == states[entry.record][kIncl] && deferring[entry.record] != nullptr) continue;
    if (!EntryTo(state, row, TakenAmount::kIncludingTax, entry.amount, entry.asBooked)) {
      return false;
    }
  }
  return !failed();
}

bool TraceRecorder::Materialize(Triple& triple) {
  triple.deferred = false;
  if (triple.count == 0) return true;
  TraceSpools::Spool* const spool = SpoolOf(triple.key);
  const TraceSpools::Spool* const excl = spools_.Find(triple.excl);
  const TraceSpools::Spool* const tax = spools_.Find(triple.tax);
  if (spool == nullptr || excl == nullptr || tax == nullptr || spool->count != 0) {
    failed_ = true;
    return false;
  }
  // The deferred sides are the first count entries of each part, in order:
  // the same row, both as booked or both with their amounts.
  TraceSpools::EntryReader exclReader(spools_, *excl);
  TraceSpools::EntryReader taxReader(spools_, *tax);
  for (uint64_t made = 0; made < triple.count; ++made) {
    std::string_view exclText, taxText;
    LineEntryValues exclEntry, taxEntry;
    if (!exclReader.Next(&exclText) || !taxReader.Next(&taxText) ||
        !ParseLineEntry(exclText, &exclEntry) || !ParseLineEntry(taxText, &taxEntry) ||
        exclEntry.index != taxEntry.index || exclEntry.hasAmount != taxEntry.hasAmount) {
      failed_ = true;
      return false;
    }
    const int64_t amount = exclEntry.hasAmount ? exclEntry.amount + taxEntry.amount : 0;
    char* const text = spools_.StartEntry(spool, kLineEntryText);
    if (!spools_.EndEntry(spool,
                          PutLineEntry(text, exclEntry.index, TakenAmount::kIncludingTax, amount,
                                       !exclEntry.hasAmount),
                          0)) {
      return false;
    }
  }
  // The amounts were summed as they came, in the same order.
  spool->sum = triple.sum;
  spool->overflow = spool->overflow || triple.overflow;
  return true;
}

bool TraceRecorder::Complete(uint64_t key) {
  auto found = triples_.find(key);
  if (found == triples_.end() || !found->second.deferred) return true;
  return Materialize(found->second);
}

bool TraceRecorder::SumOfParts(uint64_t including, uint64_t* excluding, uint64_t* tax) const {
  auto found = triples_.find(including);
  if (found == triples_.end() || found->second.mixed) return false;
  const Triple& triple = found->second;
  // Each side of the triples added one entry to each of the three spools
  // (the amounts including tax deferred, counted by the triple): equal
  // counts mean no other side added to any of them.
  for (uint64_t key : {including, triple.excl, triple.tax}) {
    const TraceSpools::Spool* spool = spools_.Find(key);
    const uint64_t count = (spool != nullptr ? spool->count : 0) +
                           (key == including && triple.deferred ? triple.count : 0);
    if (count != triple.count) return false;
  }
  *excluding = triple.excl;
  *tax = triple.tax;
  return true;
}

void TraceRecorder::Contribute(const Contribution& c) {
  const uint64_t key = EngineFigureKey(c.figure);
  switch (c.source) {
    case Contribution::Source::kTaxSummary:
      // The legacy-rate sums feed no amount of the report.
      return;
    case Contribution::Source::kJournalLine: {
      const auto& line = *static_cast<const StSWKTINFO*>(c.record);
      const bool debit = c.side == 1;
      if (!engineAccountsSent_.Known(c.account->accountId)) {
        EngineAccount account;
        account.id = c.account->accountId;
        std::memcpy(account.code, c.account->code, sizeof(account.code));
        std::memcpy(account.name, c.account->name, sizeof(account.name));
        std::memcpy(Reserve(kEngineAccountRecord, sizeof(account)), &account, sizeof(account));
        Put(sizeof(account));
      }
      EngineLine record{};
      record.key = key;
      record.amount = c.amount;
      record.row = LineRow{line.journalId,
                           line.lineNo,
                           line.date,
                           line.monthKind,
                           c.account->accountId,
                           line.taxRate,
                           debit ? line.debitDeptCode : line.creditDeptCode,
                           debit ? uint8_t{1} : uint8_t{0},
                           debit ? line.debitTaxClass : line.creditTaxClass,
                           static_cast<uint8_t>(line.businessType),
                           0,
                           debit ? line.debitAmount : line.creditAmount,
                           debit ? line.debitTax : line.creditTax};
      record.side = c.side;
      record.replaces = c.replaces;
      std::memcpy(Reserve(kEngineLineRecord, sizeof(record)), &record, sizeof(record));
      Put(sizeof(record));
      return;
    }
    case Contribution::Source::kAccountSum: {
      const auto& record = *static_cast<const StKAMOKUSUMINFO*>(c.record);
      StartEntry(entry_, "account", c.amount);
      // Not from the accounts table: the class total records all have
      // account id 0.
      AppendText(entry_, "account",
                 AccountObject(record.accountId, record.code, sizeof(record.code), record.name,
                               sizeof(record.name)));
      AppendNumber(entry_, "department", c.detail);
      // The month entries of the kind the passes took, those not zero.
      const int64_t* debit = taxIncluded_ ? record.debitIncl : record.debit;
      const int64_t* credit = taxIncluded_ ? record.creditIncl : record.credit;
      entry_ += ",\"months\":[";
      bool first = true;
      for (int slot = 0; slot < 15; ++slot) {
        if (debit[slot] == 0 && credit[slot] == 0) continue;
        entry_ += first ? "{\"slot\":" : ",{\"slot\":";
        AppendInteger(entry_, slot);
        entry_ += ",\"debit\":\"";
        AppendYen(entry_, debit[slot]);
        entry_ += "\",\"credit\":\"";
        AppendYen(entry_, credit[slot]);
        entry_ += "\"}";
        first = false;
      }
      entry_ += ']';
      break;
    }
    case Contribution::Source::kFixedAsset: {
      const auto& asset = *static_cast<const StKOTEISHISANINFO*>(c.record);
      StartEntry(entry_, "asset", c.amount);
      entry_ += ",\"asset\":{\"id\":" + std::to_string(asset.assetId);
      AppendText(entry_, "code", JsonText(asset.code, sizeof(asset.code)));
      AppendText(entry_, "name", JsonText(asset.name, sizeof(asset.name)));
      AppendNumber(entry_, "kind", asset.kind);
      AppendNumber(entry_, "acquired", asset.acquisitionDate);
      AppendNumber(entry_, "income_kind", asset.incomeKind);
      entry_ += '}';
      break;
    }
  }
  entry_ += '}';
  const Entry entry{key, c.amount, entry_.size(), c.replaces};
  char* const at = Reserve(kEntryRecord, sizeof(entry) + entry_.size());
  std::memcpy(at, &entry, sizeof(entry));
  std::memcpy(at + sizeof(entry), entry_.data(), entry_.size());
  Put(sizeof(entry) + entry_.size());
}

void TraceRecorder::RecordEngineLine(const EngineLine& c) {
  const LineRow& row = c.row;
  EngineEntry entry;
  entry.key = c.key;
  entry.amount = c.amount;
  entry.rowKind = RowKind::kSameRow;
  entry.replaces = c.replaces;
  if (lastEngineSide_.side != c.side || lastEngineSide_.journal != row.journal ||
      lastEngineSide_.line != row.line) {
    const HostSide& host = hostSides_[c.side == 1 ? 1 : 0];
    if (host.journal == row.journal && host.line == row.line) {
      entry.rowKind = RowKind::kHostRow;
      entry.row = host.index;
      lastEngineSide_.amount = host.amount;
      lastEngineSide_.tax = host.tax;
    } else {
      if (!engineAccounts_.Known(row.accountId)) {
        // Its texts came before the first side that names it.
        auto [it, added] = engineAccounts_.byId.try_emplace(row.accountId);
        if (added) it->second = engineAccountTexts_[row.accountId];
      }
      entry.rowKind = RowKind::kNewRow;
      lastEngineSide_.amount = row.amount;
      lastEngineSide_.tax = row.tax;
    }
    lastEngineSide_.journal = row.journal;
    lastEngineSide_.line = row.line;
    lastEngineSide_.side = c.side;
  }
  entry.asBooked = TakesWhatWasBooked(
      lastEngineSide_.amount, lastEngineSide_.tax,
      taxIncluded_ ? TakenAmount::kIncludingTax : TakenAmount::kExcludingTax, c.amount);
  MakeEngineEntry(entry, row);
}

void TraceRecorder::MakeEngineEntry(const EngineEntry& entry, const LineRow& row) {
  if (entry.rowKind == RowKind::kHostRow) engineRow_ = entry.row;
  if (entry.rowKind == RowKind::kNewRow) engineRow_ = AddLine(row);
  if (entry.replaces) spools_.Clear(entry.key);
  TraceSpools::Spool* spool = SpoolOf(entry.key);
  if (spool == nullptr) return;
  LineEntryStart start;
  StartLineEntries(engineRow_, &start);
  PutEntry(spool, start, taxIncluded_ ? TakenAmount::kIncludingTax : TakenAmount::kExcludingTax,
           entry.amount, entry.asBooked);
}

void TraceRecorder::RecordEntry(const Entry& entry, const char* json) {
  // A total that replaces the figure's amount leaves only itself behind.
  if (entry.replaces) spools_.Clear(entry.key);
  TraceSpools::Spool* spool = SpoolOf(entry.key);
  if (spool != nullptr) spools_.Append(spool, std::string_view(json, entry.size), entry.amount);
}

}  // namespace taxlink
