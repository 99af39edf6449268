#include "mvhost/lib/StoredDataCheck.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/StoredFindings.h"
#include "platform/text/Encoding.h"

namespace mvhost {

namespace {

// An account as the check reads packed lines: its code, and the check's
// number for it.
struct StoredAccount {
  std::string code;
  int32_t number = BookkeepingCheck::kUnknownAccount;
  bool present = false;
};

// The data set's accounts by id, looked up twice a line: a table indexed by
// id when the ids are dense enough (imports number them from 1), else a
// hash map.
class StoredAccounts {
 public:
  StoredAccounts(const std::map<int64_t, std::string>& codes, const BookkeepingCheck& check) {
    const bool dense = !codes.empty() && codes.begin()->first >= 0 &&
                       codes.rbegin()->first < 16 * static_cast<int64_t>(codes.size()) + 1024;
    if (dense) table_.resize(static_cast<size_t>(codes.rbegin()->first) + 1);
    for (const auto& [id, code] : codes) {
      StoredAccount account{code, check.AccountNumber(code), true};
      if (dense) {
        table_[static_cast<size_t>(id)] = std::move(account);
      } else {
        byId_[id] = std::move(account);
      }
    }
  }

  const StoredAccount* Find(int64_t id) const {
    if (!table_.empty()) {
      if (id < 0 || static_cast<size_t>(id) >= table_.size()) return nullptr;
      const StoredAccount& account = table_[static_cast<size_t>(id)];
      return account.present ? &account : nullptr;
    }
    auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : &found->second;
  }

 private:
  std::vector<StoredAccount> table_;
  std::unordered_map<int64_t, StoredAccount> byId_;
};

// The account of one side of a packed line as the check reads it, its
// code in place; false when the side names an account the data set does not
// have.
[[gnu::always_inline]] inline bool FindSide(int32_t has, int32_t account,
                                            const StoredAccounts& accounts,
                                            BookkeepingCheck::SideAccount* side) {
  if (has == 0) {
    *side = BookkeepingCheck::SideAccount();
    return true;
  }
  const StoredAccount* found = accounts.Find(account);
  if (found == nullptr) return false;
  *side = {&found->code, found->number};
  return true;
}

// The host's own message for the failure, on one line (UTF-8).
std::string HostFailure(int32_t dataNo, int32_t status) {
  std::string text = platform::Cp932ToUtf8(HostErrorText(status));
  for (size_t at = 0; (at = text.find("\n\n", at)) != std::string::npos;) text.erase(at, 1);
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return "cannot read the journal lines of data set " + std::to_string(dataNo) + ": " + text;
}

}  // namespace

namespace {

// The check over the lines themselves; `stamp`, when given, is taken before
// anything is read.
CheckStatus WalkStoredDataSet(HostStore& store, const CheckRequest& request,
                              const BookkeepingCheck::Sink& sink, std::string* error,
                              const BookkeepingCheck::Wants& wants, CheckCounts* counts,
                              StoredFindings::Stamp* stamp = nullptr) {
  // The lines stream from the packed form the host's walks read, one at a
  // time: a data set of a million lines is never held in memory, and only
  // the lines of the chosen months are unpacked.
  if (stamp != nullptr) *stamp = StoredFindings::Take(store.db(), request.dataNo);
  DataSetModel model;
  std::map<int64_t, std::string> accountCodes;
  if (!LoadDataSetHead(store, request.dataNo, &model, &accountCodes, error)) {
    return CheckStatus::kFailed;
  }
  MonthSelection months;
  if (request.startMonth == 0 && request.endMonth == 0) {
    if (!MonthSelection::WholePeriod(model.info, &months, error)) return CheckStatus::kFailed;
  } else if (!MonthSelection::OfMonths(model.info, request.startMonth, request.endMonth, &months,
                                       error)) {
    return CheckStatus::kBadMonths;
  }
  int32_t status = JournalDerived::Ensure(store.db(), request.dataNo);
  PackedLineReader reader;
  if (status == 0) status = reader.Open(store.db(), request.dataNo);
  if (status != 0) {
    *error = HostFailure(request.dataNo, status);
    return CheckStatus::kFailed;
  }

  const std::string source = "data set " + std::to_string(request.dataNo);
  LinePlace place;
  place.source = &source;
  // A journal found by a query over the stored lines is named by its first
  // line's id; findings name a line by its place among the data set's lines.
  // The ids count the places one by one until a line was removed: each run
  // of ids is kept as its first id and the place less the id.
  std::vector<std::pair<int64_t, int64_t>> idRuns;
  BookkeepingCheck check(
      model, months, &source,
      [place, &idRuns](int64_t lineId) {
        LinePlace stored = place;
        auto run = std::upper_bound(
            idRuns.begin(), idRuns.end(), lineId,
            [](int64_t id, const std::pair<int64_t, int64_t>& r) { return id < r.first; });
        stored.number = run == idRuns.begin() ? lineId : lineId + std::prev(run)->second;
        return stored;
      },
      sink, wants);
  const StoredAccounts accounts(accountCodes, check);
  BookkeepingCheck::SideAccount debit;
  BookkeepingCheck::SideAccount credit;
  const PackedLine* packed = nullptr;
  int64_t nextId = std::numeric_limits<int64_t>::min();  // the id that goes on the run
  while ((status = reader.Next(&packed)) == 1) {
    ++place.number;
    // Copied out first: a member of the packed line may not be bound to a reference.
    const int64_t lineId = packed->lineId;
    if (lineId != nextId) idRuns.emplace_back(lineId, place.number - lineId);
    nextId = lineId + 1;
    if (!months.Contains(packed->monthKind)) continue;
    if (!FindSide(packed->hasDebit, packed->debitAccount, accounts, &debit) ||
        !FindSide(packed->hasCredit, packed->creditAccount, accounts, &credit)) {
      *error = "journal line " + std::to_string(packed->lineId) + " of data set " +
               std::to_string(request.dataNo) + " names an account that does not exist";
      return CheckStatus::kFailed;
    }
    check.Line(*packed, place, debit, credit);
  }
  if (status != 0) {
    *error = HostFailure(request.dataNo, status);
    return CheckStatus::kFailed;
  }
  if (!check.Finish(store.db(), error)) return CheckStatus::kFailed;
  if (counts != nullptr) *counts = check.counts();
  return CheckStatus::kChecked;
}

}  // namespace

CheckStatus CheckStoredDataSet(HostStore& store, const CheckRequest& request,
                               const BookkeepingCheck::Sink& sink, std::string* error,
                               const BookkeepingCheck::Wants& wants, CheckCounts* counts,
                               UnkeptFindings* unkept) {
  sqlite3* db = store.db();
  StoredFindings stored;
  size_t replayed = 0;
  if (stored.Read(db, request.dataNo, request.startMonth, request.endMonth)) {
    // The kept findings in check order, as the walk hands them out; a sink
    // that still wants findings past those kept gets them from the walk.
    for (const CheckFinding& finding : stored.findings) {
      if (wants && !wants()) break;
      sink(finding);
      ++replayed;
    }
    if (stored.Complete() || (wants && !wants())) {
      if (counts != nullptr) *counts = stored.counts;
      return CheckStatus::kChecked;
    }
    return WalkStoredDataSet(
        store, request,
        [&](const CheckFinding& finding) {
          if (replayed > 0) {
            --replayed;  // handed out above
          } else {
            sink(finding);
          }
        },
        error, wants, counts);
  }

  // The walk makes the texts of the first findings to keep even where the
  // caller wants fewer.
  StoredFindings made;
  bool callerWants = true;
  CheckCounts walked;
  StoredFindings::Stamp stamp;
  const CheckStatus status = WalkStoredDataSet(
      store, request,
      [&](const CheckFinding& finding) {
        if (made.findings.size() < StoredFindings::kKept) made.findings.push_back(finding);
        if (callerWants) sink(finding);
      },
      error,
      [&] {
        callerWants = !wants || wants();
        return callerWants || made.findings.size() < StoredFindings::kKept;
      },
      &walked, &stamp);
  if (status != CheckStatus::kChecked) return status;
  if (counts != nullptr) *counts = walked;
  made.counts = walked;
  // Kept only when every finding made before the last kept one was kept.
  if ((made.findings.size() == StoredFindings::kKept || made.Complete()) &&
      !made.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp) &&
      unkept != nullptr) {
    unkept->pending = true;
    unkept->request = request;
    unkept->findings = std::move(made);
    unkept->stamp = stamp;
  }
  return CheckStatus::kChecked;
}

void UnkeptFindings::Keep(sqlite3* db) {
  if (!pending) return;
  pending = false;
  findings.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp);
  findings = StoredFindings();
}

}  // namespace mvhost
