#include "mvhost/lib/StoredDataCheck.h"

#include <algorithm>
#include <cstdlib>
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
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/DerivedChunks.h"
#include "mvhost/lib/DerivedDataCheck.h"
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

// Where a journal found by a query over the stored lines was read. A
// journal is named by its first line's id; findings name a line by its
// place among the data set's lines. The ids count the places one by one
// until a line was removed: each run of ids is kept as its first id and the
// place less the id.
class IdRuns {
 public:
  void Line(int64_t lineId, int64_t place) {
    if (lineId != nextId_) runs_.emplace_back(lineId, place - lineId);
    nextId_ = lineId + 1;
  }
  int64_t PlaceOf(int64_t lineId) const {
    auto run = std::upper_bound(
        runs_.begin(), runs_.end(), lineId,
        [](int64_t id, const std::pair<int64_t, int64_t>& r) { return id < r.first; });
    return run == runs_.begin() ? lineId : lineId + std::prev(run)->second;
  }

 private:
  std::vector<std::pair<int64_t, int64_t>> runs_;
  int64_t nextId_ = std::numeric_limits<int64_t>::min();  // the id that goes on the run
};

// What a check of a stored data set reads besides its lines.
struct CheckHead {
  DataSetModel model;
  std::map<int64_t, std::string> accountCodes;
  MonthSelection months;
};

CheckStatus ReadHead(HostStore& store, const CheckRequest& request, CheckHead* head,
                     std::string* error) {
  if (!LoadDataSetHead(store, request.dataNo, &head->model, &head->accountCodes, error)) {
    return CheckStatus::kFailed;
  }
  if (request.startMonth == 0 && request.endMonth == 0) {
    if (!MonthSelection::WholePeriod(head->model.info, &head->months, error)) {
      return CheckStatus::kFailed;
    }
  } else if (!MonthSelection::OfMonths(head->model.info, request.startMonth, request.endMonth,
                                       &head->months, error)) {
    return CheckStatus::kBadMonths;
  }
  return CheckStatus::kChecked;
}

// The lines a reader hands out, through the check; `place` counts them.
// With `parts`, each chunk's lines are kept apart as its part (its changes
// from `chunkChanges`) and added to the check. 1 when a line names an
// account the data set lacks, 2 when a part cannot be added exactly, else
// the reader's status.
// The findings of the rules of a line alone that a chunk's part keeps with
// their texts: those of the chunks that hold the first kTexts findings
// (twice as many as a check lists, so that a change that takes findings
// away seldom leaves a list short of texts).
struct PartTexts {
  static constexpr int64_t kTexts = 2 * static_cast<int64_t>(StoredFindings::kKept);
  bool collecting = false;
  bool whole = true;  // every finding collected named its line
  int64_t base = 0;
  std::vector<CheckPart::Finding> found;

  void Add(const CheckFinding& finding) {
    constexpr const char kLine[] = "line ";
    if (finding.item.rfind(kLine, 0) != 0) {
      whole = false;
      return;
    }
    char* end = nullptr;
    const long long number = std::strtoll(finding.item.c_str() + sizeof kLine - 1, &end, 10);
    if (end == nullptr || *end != '\0') whole = false;
    found.push_back({finding.rule, finding.journal, number - base, finding.what, finding.todo});
  }
};

struct LineWalk {
  BookkeepingCheck* check;
  const StoredAccounts* accounts;
  const MonthSelection* months;
  LinePlace* place;
  IdRuns* idRuns = nullptr;
  std::vector<CheckPart>* parts = nullptr;
  const std::unordered_map<int64_t, int64_t>* chunkChanges = nullptr;
  PartTexts* texts = nullptr;
  int64_t badLine = 0;

  int32_t Run(PackedLineReader& reader) {
    BookkeepingCheck::SideAccount debit;
    BookkeepingCheck::SideAccount credit;
    const PackedLine* packed = nullptr;
    int64_t chunk = std::numeric_limits<int64_t>::min();
    bool inPart = false;
    int64_t lines = 0;
    uint64_t sum = 0;
    auto endPart = [&] {
      CheckPart part = check->EndPart();
      part.chunk = chunk;
      auto found = chunkChanges->find(chunk);
      part.changes = found == chunkChanges->end() ? 0 : found->second;
      part.lines = lines;
      part.sum = sum;
      part.texts = texts->collecting && texts->whole;
      if (part.texts) part.findings = std::move(texts->found);
      texts->collecting = false;
      const bool merged = check->MergePart(part, place->number - lines, true);
      parts->push_back(std::move(part));
      return merged;
    };
    int32_t status = 0;
    while ((status = reader.Next(&packed)) == 1) {
      // Copied out first: a member of the packed line may not be bound to a reference.
      const int64_t lineId = packed->lineId;
      if (parts != nullptr && ChunkOf(lineId) != chunk) {
        if (inPart && !endPart()) return 2;
        chunk = ChunkOf(lineId);
        texts->collecting = check->counts().Total() < PartTexts::kTexts;
        texts->whole = true;
        texts->base = place->number;
        texts->found.clear();
        check->BeginPart(place->number);
        inPart = true;
        lines = 0;
        sum = 0;
      }
      ++place->number;
      if (idRuns != nullptr) idRuns->Line(lineId, place->number);
      if (parts != nullptr) {
        // As the reader counts a line for the totals.
        auto side = [](int32_t present, int64_t amount, int64_t tax) {
          return present != 0 ? static_cast<uint64_t>(amount) + static_cast<uint64_t>(tax) : 0;
        };
        ++lines;
        sum += side(packed->hasDebit, packed->debitAmount, packed->debitTax) +
               side(packed->hasCredit, packed->creditAmount, packed->creditTax);
      }
      if (!months->Contains(packed->monthKind)) continue;
      if (!FindSide(packed->hasDebit, packed->debitAccount, *accounts, &debit) ||
          !FindSide(packed->hasCredit, packed->creditAccount, *accounts, &credit)) {
        badLine = lineId;
        return 1;
      }
      check->Line(*packed, *place, debit, credit);
    }
    if (status == 0 && inPart && !endPart()) return 2;
    return status;
  }
};

std::string UnknownAccount(int32_t dataNo, int64_t lineId) {
  return "journal line " + std::to_string(lineId) + " of data set " + std::to_string(dataNo) +
         " names an account that does not exist";
}

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
  CheckHead head;
  const CheckStatus read = ReadHead(store, request, &head, error);
  if (read != CheckStatus::kChecked) return read;
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
  IdRuns idRuns;
  BookkeepingCheck check(
      head.model, head.months, &source,
      [place, &idRuns](int64_t lineId) {
        LinePlace stored = place;
        stored.number = idRuns.PlaceOf(lineId);
        return stored;
      },
      sink, wants);
  const StoredAccounts accounts(head.accountCodes, check);
  LineWalk walk{&check, &accounts, &head.months, &place, &idRuns};
  status = walk.Run(reader);
  if (status == 1) {
    *error = UnknownAccount(request.dataNo, walk.badLine);
    return CheckStatus::kFailed;
  }
  if (status != 0) {
    *error = HostFailure(request.dataNo, status);
    return CheckStatus::kFailed;
  }
  if (!check.Finish(store.db(), error)) return CheckStatus::kFailed;
  if (counts != nullptr) *counts = check.counts();
  return CheckStatus::kChecked;
}

// More chunks to read than this share of them: one walk of every chunk.
constexpr size_t kPartsWalkShare = 4;

// The check of a caller that lists the first findings only, from the parts
// kept per chunk: the chunks whose lines changed since (their counts of
// changes moved) are read, and those that hold findings still to be listed;
// the others' parts are taken as they are. Without parts, one walk of every
// chunk makes them. The first StoredFindings::kKept findings go to `made`,
// with every count; `parts` gets every chunk's part. False where this
// cannot give what the walk of every line gives (a journal found by a query
// over the stored lines, sums past 64 bits, parts that do not add up to the
// totals, a line naming no account): the caller walks.
bool CheckFromParts(HostStore& store, const CheckRequest& request, StoredFindings* made,
                    StoredFindings::Stamp* stamp, std::vector<CheckPart>* parts,
                    CheckStatus* result, std::string* error) {
  sqlite3* db = store.db();
  // A connection that may not write the store reads derived data built in
  // its temp tables, which no part stands for.
  if (sqlite3_db_readonly(db, "main") != 0) return false;
  // One snapshot for the stamp, the parts, the counts of changes and the
  // chunks read.
  ReadScope scope(db);
  {
    SqlStatement temp(db, "SELECT 1 FROM temp.sqlite_master WHERE name = 'journal_chunk'");
    if (!temp.ok() || temp.Row()) return false;
  }
  *stamp = StoredFindings::Take(db, request.dataNo);
  CheckHead head;
  *result = ReadHead(store, request, &head, error);
  if (*result != CheckStatus::kChecked) return *result == CheckStatus::kBadMonths;
  std::unordered_map<int64_t, int64_t> chunkChanges;
  StoredFindings::ChunkChanges(db, request.dataNo, &chunkChanges);
  std::string bytes;
  std::vector<CheckPart> kept;
  // Parts are read only while the derived data are built in the store (as
  // when they were made); the chunks read are checked as they are read and
  // against the totals, and damage met there leaves the check to the walk
  // of every line, which builds them again first. Without parts, the
  // derived data are made sound first, as for any walk.
  const bool haveParts = stamp->headRead &&
                         StoredFindings::ReadParts(db, request.dataNo, request.startMonth,
                                                   request.endMonth, stamp->head, &bytes) &&
                         DecodeCheckParts(bytes, &kept);
  if (!haveParts && JournalDerived::Ensure(db, request.dataNo) != 0) return false;

  // The chunks there are now: those with lines, and those whose changed
  // lines are not folded in yet (a chunk may have no row yet).
  std::vector<int64_t> chunks;
  {
    static_assert(kChunkShift == 10);
    SqlStatement list(db,
                      "SELECT chunk_no FROM journal_chunk WHERE data_no = ?1 UNION SELECT "
                      "line_id >> 10 FROM journal_line_change WHERE data_no = ?1 ORDER BY 1");
    list.Bind(1, request.dataNo);
    while (list.Row()) chunks.push_back(list.Int(0));
    if (!list.error().empty()) return false;
  }
  std::unordered_map<int64_t, const CheckPart*> byChunk;
  for (const CheckPart& part : kept) byChunk[part.chunk] = &part;
  auto current = [&](int64_t chunk) -> const CheckPart* {
    auto part = byChunk.find(chunk);
    if (part == byChunk.end()) return nullptr;
    auto changes = chunkChanges.find(chunk);
    return part->second->changes == (changes == chunkChanges.end() ? 0 : changes->second)
               ? part->second
               : nullptr;
  };
  // The chunks to read at least: the changed ones, and those whose findings
  // the list takes first.
  size_t toRead = 0;
  int64_t listed = 0;
  for (int64_t chunk : chunks) {
    const CheckPart* part = current(chunk);
    if (part == nullptr || (listed < static_cast<int64_t>(StoredFindings::kKept) &&
                            part->LineFindings() > 0 && !part->texts)) {
      ++toRead;
    }
    if (part != nullptr) listed += part->LineFindings();
  }
  const bool walkAll = !haveParts || toRead * kPartsWalkShare > chunks.size();

  const std::string source = "data set " + std::to_string(request.dataNo);
  LinePlace place;
  place.source = &source;
  bool storedJournal = false;
  PartTexts texts;
  BookkeepingCheck check(
      head.model, head.months, &source,
      [place, &storedJournal](int64_t) {
        storedJournal = true;
        return place;
      },
      [made, &texts](const CheckFinding& finding) {
        if (texts.collecting) texts.Add(finding);
        if (made->findings.size() < StoredFindings::kKept) made->findings.push_back(finding);
      },
      [made, &texts] {
        return texts.collecting || made->findings.size() < StoredFindings::kKept;
      });
  const StoredAccounts accounts(head.accountCodes, check);
  LineWalk walk{&check, &accounts, &head.months, &place, nullptr, parts, &chunkChanges, &texts};
  PackedLineReader reader;
  int32_t status = 0;
  if (walkAll) {
    status = reader.Open(db, request.dataNo);
    if (status == 0) status = walk.Run(reader);
  } else {
    WalkTotals walked;
    for (int64_t chunk : chunks) {
      const CheckPart* part = current(chunk);
      const bool listing = made->findings.size() < StoredFindings::kKept;
      if (part != nullptr && (!listing || part->LineFindings() == 0 || part->texts) &&
          check.ListsEnough(*part)) {
        // Its texts stay kept while the findings before it are few enough.
        const bool keepTexts = part->texts && check.counts().Total() < PartTexts::kTexts;
        for (size_t i = 0; listing && i < part->findings.size(); ++i) {
          if (made->findings.size() >= StoredFindings::kKept) break;
          const CheckPart::Finding& text = part->findings[i];
          LinePlace at = place;
          at.number = place.number + text.place;
          made->findings.push_back(
              {text.rule, source, text.journal, at.Item(), text.what, text.todo});
        }
        if (!check.MergePart(*part, place.number, false)) return false;
        place.number += part->lines;
        walked.lines += part->lines;
        walked.sum += part->sum;
        parts->push_back(*part);
        if (!keepTexts) {
          parts->back().texts = false;
          parts->back().findings.clear();
        }
        continue;
      }
      const size_t before = parts->size();
      status = reader.Open(db, request.dataNo, chunk, chunk);
      if (status == 0) status = walk.Run(reader);
      if (status != 0) break;
      for (size_t i = before; i < parts->size(); ++i) {
        walked.lines += (*parts)[i].lines;
        walked.sum += (*parts)[i].sum;
      }
    }
    // What the chunks hold in all must be what the totals count, as a walk
    // of every chunk checks.
    WalkTotals expected;
    if (status == 0 && (ReadWalkTotals(db, request.dataNo, &expected) != 0 ||
                        expected.lines != walked.lines || expected.sum != walked.sum)) {
      return false;
    }
  }
  reader.Close();
  if (status == 1 || status == 2 || (status != 0 && haveParts)) return false;
  if (status != 0) {
    *error = HostFailure(request.dataNo, status);
    *result = CheckStatus::kFailed;
    return true;
  }
  std::string finishError;
  if (!check.Finish(db, &finishError) || storedJournal) return false;
  made->counts = check.counts();
  *result = CheckStatus::kChecked;
  return true;
}

// Hands out findings made or kept (`stored`) as the walk would, in check
// order; a sink that still wants findings past those gets them from the
// walk.
CheckStatus HandOut(HostStore& store, const CheckRequest& request, const StoredFindings& stored,
                    const BookkeepingCheck::Sink& sink, std::string* error,
                    const BookkeepingCheck::Wants& wants, CheckCounts* counts) {
  size_t replayed = 0;
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

}  // namespace

CheckStatus CheckStoredDataSet(HostStore& store, const CheckRequest& request,
                               const BookkeepingCheck::Sink& sink, std::string* error,
                               const BookkeepingCheck::Wants& wants, CheckCounts* counts,
                               UnkeptFindings* unkept) {
  sqlite3* db = store.db();
  StoredFindings stored;
  if (stored.Read(db, request.dataNo, request.startMonth, request.endMonth)) {
    return HandOut(store, request, stored, sink, error, wants, counts);
  }
  if (wants) {
    // A caller that lists the first findings: the chunks' parts.
    StoredFindings made;
    StoredFindings::Stamp stamp;
    std::vector<CheckPart> parts;
    CheckStatus result = CheckStatus::kFailed;
    std::string partsError;
    if (CheckFromParts(store, request, &made, &stamp, &parts, &result, &partsError)) {
      if (result != CheckStatus::kChecked) {
        *error = partsError;
        return result;
      }
      std::string bytes = EncodeCheckParts(parts);
      if ((unkept != nullptr && unkept->deferred) ||
          (!made.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp, bytes) &&
           unkept != nullptr)) {
        unkept->pending = true;
        unkept->request = request;
        unkept->findings = made;
        unkept->stamp = stamp;
        unkept->parts = std::move(bytes);
      }
      return HandOut(store, request, made, sink, error, wants, counts);
    }
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
      ((unkept != nullptr && unkept->deferred) ||
       (!made.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp) &&
        unkept != nullptr))) {
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
  findings.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp, parts);
  findings = StoredFindings();
  parts.clear();
}

bool UnkeptFindings::KeepWith(sqlite3* db, const std::function<bool()>& alongside) {
  if (!pending) return false;
  pending = false;
  bool written = false;
  findings.Write(db, request.dataNo, request.startMonth, request.endMonth, stamp, parts, alongside,
                 &written);
  findings = StoredFindings();
  parts.clear();
  return written;
}

}  // namespace mvhost
