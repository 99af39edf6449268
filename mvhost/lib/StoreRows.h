#ifndef TAXLINK_MVHOST_STOREROWS_H_
#define TAXLINK_MVHOST_STOREROWS_H_

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

// The rows of a data set as the store keeps them: the one place that writes
// data_set, tax_rate, account_class, account, department, journal_line,
// fixed_asset, saved_return and app_user rows from the data-set model (the
// import, and the test fixtures that build stores row by row). Each
// statement is prepared on first use and kept; a failure returns false
// with SQLite's message in error().
class StoreRows {
 public:
  explicit StoreRows(sqlite3* db);
  ~StoreRows();
  StoreRows(const StoreRows&) = delete;
  StoreRows& operator=(const StoreRows&) = delete;

  bool DataSet(const DataSetInfo& info, const TaxSettings& settings);
  // Row rowNo (1-based) of the data set's rates, rate x 100.
  bool TaxRate(int64_t dataNo, int64_t rowNo, int64_t rate);
  bool AccountClass(int64_t dataNo, const mvhost::AccountClass& accountClass);
  bool Account(int64_t dataNo, int64_t accountId, const mvhost::Account& account);
  bool Department(int64_t dataNo, const mvhost::Department& department);
  // A line with its sides' account ids (0: the side is unused) and its rate
  // x 100.
  bool JournalLine(int64_t dataNo, int64_t lineId, const mvhost::JournalLine& line,
                   int64_t debitAccountId, int64_t creditAccountId, int64_t rate);
  bool FixedAsset(int64_t dataNo, int64_t assetId, const mvhost::FixedAsset& asset);
  // The saved return's image, replacing one the data set has.
  bool SavedReturn(int64_t dataNo, const std::vector<uint8_t>& image);
  // The user, whose selection becomes dataNo (added, or updated).
  bool User(int64_t dataNo, const mvhost::User& user);

  const std::string& error() const { return error_; }

 private:
  // The statement of sql, prepared on first use.
  SqlStatement& Statement(std::unique_ptr<SqlStatement>& slot, const char* sql);
  bool Ran(SqlStatement& stmt);

  sqlite3* db_;
  std::unique_ptr<SqlStatement> dataSet_, taxRate_, accountClass_, account_, department_,
      journalLine_, fixedAsset_, savedReturn_, user_;
  std::string error_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_STOREROWS_H_
