#include "mvhost/lib/StoreRows.h"

namespace mvhost {

StoreRows::StoreRows(sqlite3* db) : db_(db) {}

StoreRows::~StoreRows() = default;

SqlStatement& StoreRows::Statement(std::unique_ptr<SqlStatement>& slot, const char* sql) {
  if (!slot) slot = std::make_unique<SqlStatement>(db_, sql);
  return *slot;
}

bool StoreRows::Ran(SqlStatement& stmt) {
  if (stmt.Run()) return true;
  error_ = stmt.error();
  return false;
}

bool StoreRows::DataSet(const DataSetInfo& d, const TaxSettings& s) {
  SqlStatement& set =
      Statement(dataSet_,
                "INSERT INTO data_set (data_no, data_id, company_name, period_start, period_end,"
                " interim_closing, record_kind, entity_kind, income_kind, filing_class,"
                " rounding_mode, credit_method, main_business_type, tax_included, imported_at)"
                " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?, CAST(strftime('%s', 'now') AS INTEGER))");
  set.Bind(1, d.dataNo).Bind(2, d.dataId).Bind(3, d.companyName).Bind(4, d.periodStart);
  set.Bind(5, d.periodEnd).Bind(6, d.interimClosing ? 1 : 0).Bind(7, d.recordKind);
  set.Bind(8, d.entityKind).Bind(9, d.incomeKind).Bind(10, s.filingClass);
  set.Bind(11, s.roundingMode).Bind(12, s.creditMethod).Bind(13, s.mainBusinessType);
  return Ran(set.Bind(14, s.taxIncluded ? 1 : 0));
}

bool StoreRows::TaxRate(int64_t dataNo, int64_t rowNo, int64_t rate) {
  SqlStatement& stmt =
      Statement(taxRate_, "INSERT INTO tax_rate (data_no, row_no, rate) VALUES (?,?,?)");
  return Ran(stmt.Bind(1, dataNo).Bind(2, rowNo).Bind(3, rate));
}

bool StoreRows::AccountClass(int64_t dataNo, const mvhost::AccountClass& c) {
  SqlStatement& cls = Statement(accountClass_,
                                "INSERT INTO account_class (data_no, class_code, name,"
                                " parent_class, total) VALUES (?,?,?,?,?)");
  cls.Bind(1, dataNo).Bind(2, c.code).Bind(3, c.name).Bind(5, c.total ? 1 : 0);
  if (c.parent) {
    cls.Bind(4, *c.parent);
  } else {
    cls.BindNull(4);
  }
  return Ran(cls);
}

bool StoreRows::Account(int64_t dataNo, int64_t accountId, const mvhost::Account& a) {
  SqlStatement& acc = Statement(account_,
                                "INSERT INTO account (data_no, account_id, code, name, class_code,"
                                " excluded, balance_side, refund_flag1, refund_flag2)"
                                " VALUES (?,?,?,?,?,?,?,?,?)");
  acc.Bind(1, dataNo).Bind(2, accountId).Bind(3, a.code).Bind(4, a.name).Bind(5, a.classCode);
  acc.Bind(6, a.excluded ? 1 : 0).Bind(7, a.balanceSide).Bind(8, a.refundFlag1);
  return Ran(acc.Bind(9, a.refundFlag2));
}

bool StoreRows::Department(int64_t dataNo, const mvhost::Department& x) {
  SqlStatement& dep = Statement(department_,
                                "INSERT INTO department (data_no, code, name, kind, parent_code,"
                                " income_kind) VALUES (?,?,?,?,?,?)");
  dep.Bind(1, dataNo).Bind(2, x.code).Bind(3, x.name).Bind(4, x.kind).Bind(5, x.parentCode);
  return Ran(dep.Bind(6, x.incomeKind));
}

bool StoreRows::JournalLine(int64_t dataNo, int64_t lineId, const mvhost::JournalLine& l,
                            int64_t debitAccountId, int64_t creditAccountId, int64_t rate) {
  SqlStatement& line =
      Statement(journalLine_,
                "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind,"
                " debit_account, debit_dept, debit_amount, debit_tax, debit_tax_class,"
                " credit_account, credit_dept, credit_amount, credit_tax, credit_tax_class,"
                " tax_rate, business_type, description)"
                " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  line.Bind(1, dataNo).Bind(2, lineId).Bind(3, l.journalNo).Bind(4, l.date);
  line.Bind(5, l.monthKind);
  int column = 6;
  for (const auto& [side, accountId] :
       {std::pair{&l.debit, debitAccountId}, std::pair{&l.credit, creditAccountId}}) {
    if (accountId == 0) {
      line.BindNull(column);
    } else {
      line.Bind(column, accountId);
    }
    line.Bind(column + 1, side->dept).Bind(column + 2, side->amount).Bind(column + 3, side->tax);
    line.Bind(column + 4, side->taxClass);
    column += 5;
  }
  return Ran(line.Bind(16, rate).Bind(17, l.businessType).Bind(18, l.description));
}

bool StoreRows::FixedAsset(int64_t dataNo, int64_t assetId, const mvhost::FixedAsset& a) {
  SqlStatement& asset = Statement(fixedAsset_,
                                  "INSERT INTO fixed_asset (data_no, asset_id, code, name, kind,"
                                  " acquisition_date, acquisition_amount, income_kind)"
                                  " VALUES (?,?,?,?,?,?,?,?)");
  asset.Bind(1, dataNo).Bind(2, assetId).Bind(3, a.code).Bind(4, a.name);
  asset.Bind(5, a.kind).Bind(6, a.acquisitionDate).Bind(7, a.acquisitionAmount);
  return Ran(asset.Bind(8, a.incomeKind));
}

bool StoreRows::SavedReturn(int64_t dataNo, const std::vector<uint8_t>& image) {
  SqlStatement& saved =
      Statement(savedReturn_, "INSERT OR REPLACE INTO saved_return (data_no, image) VALUES (?,?)");
  return Ran(saved.Bind(1, dataNo).BindBlob(2, image));
}

bool StoreRows::User(int64_t dataNo, const mvhost::User& u) {
  SqlStatement& user = Statement(
      user_,
      "INSERT INTO app_user (user_id, name, selected_no1, selected_data_no)"
      " VALUES (?,?,?,?) ON CONFLICT (user_id) DO UPDATE SET name = excluded.name,"
      " selected_no1 = excluded.selected_no1, selected_data_no = excluded.selected_data_no");
  return Ran(user.Bind(1, u.id).Bind(2, u.name).Bind(3, u.selectedNo1).Bind(4, dataNo));
}

}  // namespace mvhost
