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
  insert_ = std::make_unique<SqlStatement>(
      db_,
      "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind,"
      " debit_account, debit_dept, debit_amount, debit_tax, debit_tax_class,"
      " credit_account, credit_dept, credit_amount, credit_tax, credit_tax_class,"
      " tax_rate, business_type, description)"
      " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  return insert_->ok() || Failed(*insert_, error);
}

bool JournalLoad::Add(const JournalLine& l, std::string* error) {
  SqlStatement& line = *insert_;
  line.Bind(1, dataNo_).Bind(2, lines_ + 1).Bind(3, l.journalNo).Bind(4, l.date);
  line.Bind(5, l.monthKind);
  int column = 6;
  for (const JournalSide* side : {&l.debit, &l.credit}) {
    if (side->account.empty()) {
      line.BindNull(column);
    } else {
      auto id = accountIds_.find(side->account);
      if (id == accountIds_.end()) {
        *error = l.origin + ": unknown account \"" + side->account + "\"";
        return false;
      }
      line.Bind(column, id->second);
    }
    line.Bind(column + 1, side->dept).Bind(column + 2, side->amount).Bind(column + 3, side->tax);
    line.Bind(column + 4, side->taxClass);
    column += 5;
  }
  line.Bind(16, l.rate * 100).Bind(17, l.businessType).Bind(18, l.description);
  if (!line.Run()) return Failed(line, error);
  ++lines_;
  return true;
}

bool JournalLoad::Finish(std::string* error) {
  insert_.reset();
  for (const std::string& sql : droppedIndexes_) {
    if (!Exec(db_, sql, error)) return false;
  }
  droppedIndexes_.clear();
  return true;
}

}  // namespace mvhost
