#include "mvhost/lib/JournalLoad.h"

#include <utility>

namespace mvhost {

namespace {

bool Failed(const SqlStatement& sql, std::string* error) {
  *error = "cannot write the journal lines: " + sql.error();
  return false;
}

bool Exec(sqlite3* db, const std::string& sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
  *error = "cannot write the journal lines: " + std::string(message != nullptr ? message : "?");
  sqlite3_free(message);
  return false;
}

}  // namespace

JournalLoad::JournalLoad(sqlite3* db, int64_t dataNo,
                         std::unordered_map<std::string, int64_t> accountIds)
    : db_(db), dataNo_(dataNo), accountIds_(std::move(accountIds)) {}

JournalLoad::~JournalLoad() = default;

bool JournalLoad::Begin(std::string* error) {
  bool empty = false;
  {
    SqlStatement others(db_, "SELECT NOT EXISTS (SELECT 1 FROM journal_line)");
    if (!others.Row()) return Failed(others, error);
    empty = others.Int(0) != 0;
  }
  if (empty) {
    // The indexes as the schema declares them, so that Finish builds
    // exactly those. (Read whole first: no statement may be running while
    // an index is dropped.)
    std::vector<std::string> names;
    {
      SqlStatement indexes(db_,
                           "SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND"
                           " tbl_name = 'journal_line' AND sql IS NOT NULL ORDER BY name");
      while (indexes.Row()) {
        names.push_back(indexes.Text(0));
        droppedIndexes_.push_back(indexes.Text(1));
      }
      if (!indexes.error().empty()) return Failed(indexes, error);
    }
    for (const std::string& name : names) {
      if (!Exec(db_, "DROP INDEX \"" + name + "\"", error)) return false;
    }
  }
  rows_ = std::make_unique<StoreRows>(db_);
  return true;
}

bool JournalLoad::Add(const JournalLine& l, std::string* error) {
  int64_t ids[2] = {0, 0};
  const JournalSide* sides[2] = {&l.debit, &l.credit};
  for (int k = 0; k < 2; ++k) {
    if (sides[k]->account.empty()) continue;
    auto id = accountIds_.find(sides[k]->account);
    if (id == accountIds_.end()) {
      *error = l.origin + ": unknown account \"" + sides[k]->account + "\"";
      return false;
    }
    ids[k] = id->second;
  }
  if (!rows_->JournalLine(dataNo_, lines_ + 1, l, ids[0], ids[1], int64_t{l.rate} * 100)) {
    *error = "cannot write the journal lines: " + rows_->error();
    return false;
  }
  ++lines_;
  return true;
}

bool JournalLoad::Finish(std::string* error) {
  rows_.reset();
  for (const std::string& sql : droppedIndexes_) {
    if (!Exec(db_, sql, error)) return false;
  }
  droppedIndexes_.clear();
  return true;
}

}  // namespace mvhost
