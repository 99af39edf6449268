#include "mvhost/lib/DataImport.h"

#include <fstream>
#include <map>
#include <sstream>

#include "mvhost/lib/DataSavedReturn.h"
#include "mvhost/lib/DataSql.h"
#include "mvhost/lib/DataValidate.h"
#include "mvhost/lib/JsonFormat.h"
#include "mvhost/lib/JournalDerived.h"

namespace mvhost {

namespace {

bool Failed(const DataSql& sql, const char* what, std::string* error) {
  *error = std::string("cannot write ") + what + ": " + sql.error();
  return false;
}

bool WriteRows(sqlite3* db, const DataSetModel& m, bool replace, std::string* error) {
  const int64_t no = m.info.dataNo;
  {
    DataSql existing(db, "SELECT data_no FROM data_set WHERE data_no = ? OR data_id = ?");
    existing.Bind(1, no).Bind(2, m.info.dataId);
    while (existing.Row()) {
      if (existing.Int(0) != no) {
        *error = m.source + ": data_set.data_id: \"" + m.info.dataId +
                 "\" is already used by data set " + std::to_string(existing.Int(0));
        return false;
      }
      if (!replace) {
        *error = m.source + ": data_set.data_no: data set " + std::to_string(no) +
                 " already exists (import with --replace to replace it)";
        return false;
      }
    }
    if (!existing.error().empty()) return Failed(existing, "the data set", error);
  }
  DataSql drop(db, "DELETE FROM data_set WHERE data_no = ?");
  if (!drop.Bind(1, no).Run()) return Failed(drop, "the data set", error);

  const DataSetInfo& d = m.info;
  const TaxSettings& s = m.settings;
  DataSql set(db,
              "INSERT INTO data_set (data_no, data_id, company_name, period_start, period_end,"
              " interim_closing, record_kind, entity_kind, income_kind, filing_class,"
              " rounding_mode, credit_method, main_business_type, tax_included)"
              " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  set.Bind(1, no).Bind(2, d.dataId).Bind(3, d.companyName).Bind(4, d.periodStart);
  set.Bind(5, d.periodEnd).Bind(6, d.interimClosing ? 1 : 0).Bind(7, d.recordKind);
  set.Bind(8, d.entityKind).Bind(9, d.incomeKind).Bind(10, s.filingClass);
  set.Bind(11, s.roundingMode).Bind(12, s.creditMethod).Bind(13, s.mainBusinessType);
  set.Bind(14, s.taxIncluded ? 1 : 0);
  if (!set.Run()) return Failed(set, "the data set", error);

  DataSql rate(db, "INSERT INTO tax_rate (data_no, row_no, rate) VALUES (?,?,?)");
  for (size_t i = 0; i < m.taxRates.size(); ++i) {
    if (!rate.Bind(1, no).Bind(2, static_cast<int64_t>(i + 1)).Bind(3, m.taxRates[i] * 100).Run()) {
      return Failed(rate, "the tax rates", error);
    }
  }

  DataSql cls(db, "INSERT INTO account_class (data_no, class_code, name, parent_class, total)"
                  " VALUES (?,?,?,?,?)");
  for (const AccountClass& c : m.accountClasses) {
    cls.Bind(1, no).Bind(2, c.code).Bind(3, c.name).Bind(5, c.total ? 1 : 0);
    if (c.parent) {
      cls.Bind(4, *c.parent);
    } else {
      cls.BindNull(4);
    }
    if (!cls.Run()) return Failed(cls, "the account classes", error);
  }

  std::map<std::string, int64_t> accountIds;
  DataSql acc(db, "INSERT INTO account (data_no, account_id, code, name, class_code, excluded,"
                  " balance_side, refund_flag1, refund_flag2) VALUES (?,?,?,?,?,?,?,?,?)");
  for (size_t i = 0; i < m.accounts.size(); ++i) {
    const Account& a = m.accounts[i];
    int64_t id = static_cast<int64_t>(i + 1);
    accountIds[a.code] = id;
    acc.Bind(1, no).Bind(2, id).Bind(3, a.code).Bind(4, a.name).Bind(5, a.classCode);
    acc.Bind(6, a.excluded ? 1 : 0).Bind(7, a.balanceSide).Bind(8, a.refundFlag1).Bind(9, a.refundFlag2);
    if (!acc.Run()) return Failed(acc, "the accounts", error);
  }

  DataSql dep(db, "INSERT INTO department (data_no, code, name, kind, parent_code, income_kind)"
                  " VALUES (?,?,?,?,?,?)");
  for (const Department& x : m.departments) {
    dep.Bind(1, no).Bind(2, x.code).Bind(3, x.name).Bind(4, x.kind).Bind(5, x.parentCode);
    if (!dep.Bind(6, x.incomeKind).Run()) return Failed(dep, "the departments", error);
  }

  DataSql line(db,
               "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind,"
               " debit_account, debit_dept, debit_amount, debit_tax, debit_tax_class,"
               " credit_account, credit_dept, credit_amount, credit_tax, credit_tax_class,"
               " tax_rate, business_type, description)"
               " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  for (size_t i = 0; i < m.journals.size(); ++i) {
    const JournalLine& l = m.journals[i];
    line.Bind(1, no).Bind(2, static_cast<int64_t>(i + 1)).Bind(3, l.journalNo).Bind(4, l.date);
    line.Bind(5, l.monthKind);
    int column = 6;
    for (const JournalSide* side : {&l.debit, &l.credit}) {
      if (side->account.empty()) {
        line.BindNull(column);
      } else {
        auto id = accountIds.find(side->account);
        if (id == accountIds.end()) {
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
    if (!line.Run()) return Failed(line, "the journal lines", error);
  }

  DataSql asset(db, "INSERT INTO fixed_asset (data_no, asset_id, code, name, kind,"
                    " acquisition_date, acquisition_amount, income_kind) VALUES (?,?,?,?,?,?,?,?)");
  for (size_t i = 0; i < m.fixedAssets.size(); ++i) {
    const FixedAsset& a = m.fixedAssets[i];
    asset.Bind(1, no).Bind(2, static_cast<int64_t>(i + 1)).Bind(3, a.code).Bind(4, a.name);
    asset.Bind(5, a.kind).Bind(6, a.acquisitionDate).Bind(7, a.acquisitionAmount);
    if (!asset.Bind(8, a.incomeKind).Run()) return Failed(asset, "the fixed assets", error);
  }

  if (m.savedReturn) {
    DataSql saved(db, "INSERT INTO saved_return (data_no, image) VALUES (?,?)");
    if (!saved.Bind(1, no).BindBlob(2, SavedReturnImage(*m.savedReturn)).Run()) {
      return Failed(saved, "the saved return", error);
    }
  }

  DataSql user(db, "INSERT INTO app_user (user_id, name, selected_no1, selected_data_no)"
                   " VALUES (?,?,?,?) ON CONFLICT (user_id) DO UPDATE SET name = excluded.name,"
                   " selected_no1 = excluded.selected_no1,"
                   " selected_data_no = excluded.selected_data_no");
  for (const User& u : m.users) {
    if (!user.Bind(1, u.id).Bind(2, u.name).Bind(3, u.selectedNo1).Bind(4, no).Run()) {
      return Failed(user, "the users", error);
    }
  }
  return true;
}

}  // namespace

bool WriteDataSet(HostStore& store, const DataSetModel& model, bool replace, std::string* error) {
  if (!store.Exec("BEGIN IMMEDIATE;", error)) return false;
  if (!WriteRows(store.db(), model, replace, error)) {
    std::string ignored;
    store.Exec("ROLLBACK;", &ignored);
    return false;
  }
  // The derived journal data, in the same transaction as the lines.
  if (int32_t status = JournalDerived::Rebuild(store.db(), model.info.dataNo); status != 0) {
    *error = "cannot build the journal totals (host error " + std::to_string(status) + ")";
    std::string ignored;
    store.Exec("ROLLBACK;", &ignored);
    return false;
  }
  if (!store.Exec("COMMIT;", error)) {
    std::string ignored;
    store.Exec("ROLLBACK;", &ignored);
    return false;
  }
  return true;
}

bool ImportDataSetText(HostStore& store, const std::string& text, const std::string& fileName,
                       const std::string& baseDir, bool replace, int32_t* dataNo,
                       std::string* error) {
  DataSetModel model;
  if (!ModelFromJson(text, fileName, baseDir, &model, error) || !ValidateModel(model, error) ||
      !WriteDataSet(store, model, replace, error)) {
    return false;
  }
  *dataNo = model.info.dataNo;
  return true;
}

bool ImportDataSetFile(HostStore& store, const std::string& path, bool replace, int32_t* dataNo,
                       std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  size_t slash = path.rfind('/');
  std::string baseDir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (baseDir.empty()) baseDir = "/";
  return ImportDataSetText(store, text.str(), path, baseDir, replace, dataNo, error);
}

}  // namespace mvhost
