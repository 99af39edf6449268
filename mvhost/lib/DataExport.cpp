#include "mvhost/lib/DataExport.h"

#include <fstream>
#include <map>
#include <sstream>

#include "mvhost/lib/DataCsv.h"
#include "mvhost/lib/DataSavedReturn.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/JsonFormat.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

bool ReadFailed(const SqlStatement& sql, const char* what, std::string* error) {
  *error = std::string("cannot read ") + what + ": " + sql.error();
  return false;
}

int32_t I32(const SqlStatement& sql, int column) { return static_cast<int32_t>(sql.Int(column)); }

}  // namespace

bool LoadDataSetHead(HostStore& store, int32_t dataNo, DataSetModel* model,
                     std::map<int64_t, std::string>* accountCodes, std::string* error) {
  sqlite3* db = store.db();
  DataSetModel m;
  {
    SqlStatement set(db,
                     "SELECT data_id, company_name, period_start, period_end, interim_closing,"
                     " record_kind, entity_kind, income_kind, filing_class, rounding_mode,"
                     " credit_method, main_business_type, tax_included FROM data_set"
                     " WHERE data_no = ?");
    if (!set.Bind(1, dataNo).Row()) {
      if (!set.error().empty()) return ReadFailed(set, "the data set", error);
      *error = "no data set " + std::to_string(dataNo);
      return false;
    }
    m.info.dataNo = dataNo;
    m.info.dataId = set.Text(0);
    m.info.companyName = set.Text(1);
    m.info.periodStart = I32(set, 2);
    m.info.periodEnd = I32(set, 3);
    m.info.interimClosing = set.Int(4) != 0;
    m.info.recordKind = I32(set, 5);
    m.info.entityKind = I32(set, 6);
    m.info.incomeKind = I32(set, 7);
    m.settings.filingClass = I32(set, 8);
    m.settings.roundingMode = I32(set, 9);
    m.settings.creditMethod = I32(set, 10);
    m.settings.mainBusinessType = I32(set, 11);
    m.settings.taxIncluded = set.Int(12) != 0;
  }

  SqlStatement rate(db, "SELECT rate FROM tax_rate WHERE data_no = ? ORDER BY row_no");
  rate.Bind(1, dataNo);
  while (rate.Row()) m.taxRates.push_back(I32(rate, 0) / 100);
  if (!rate.error().empty()) return ReadFailed(rate, "the tax rates", error);

  SqlStatement cls(db,
                   "SELECT class_code, name, parent_class, total FROM account_class"
                   " WHERE data_no = ? ORDER BY rowid");
  cls.Bind(1, dataNo);
  while (cls.Row()) {
    AccountClass c;
    c.code = static_cast<uint32_t>(cls.Int(0));
    c.name = cls.Text(1);
    if (!cls.IsNull(2)) c.parent = static_cast<uint32_t>(cls.Int(2));
    c.total = cls.Int(3) != 0;
    m.accountClasses.push_back(c);
  }
  if (!cls.error().empty()) return ReadFailed(cls, "the account classes", error);

  SqlStatement acc(
      db,
      "SELECT account_id, code, name, class_code, excluded, balance_side,"
      " refund_flag1, refund_flag2 FROM account WHERE data_no = ? ORDER BY account_id");
  acc.Bind(1, dataNo);
  while (acc.Row()) {
    Account a;
    (*accountCodes)[acc.Int(0)] = acc.Text(1);
    a.code = acc.Text(1);
    a.name = acc.Text(2);
    a.classCode = static_cast<uint32_t>(acc.Int(3));
    a.excluded = acc.Int(4) != 0;
    a.balanceSide = I32(acc, 5);
    a.refundFlag1 = I32(acc, 6);
    a.refundFlag2 = I32(acc, 7);
    m.accounts.push_back(a);
  }
  if (!acc.error().empty()) return ReadFailed(acc, "the accounts", error);

  SqlStatement dep(db,
                   "SELECT code, name, kind, parent_code, income_kind FROM department"
                   " WHERE data_no = ? ORDER BY rowid");
  dep.Bind(1, dataNo);
  while (dep.Row()) {
    Department d;
    d.code = I32(dep, 0);
    d.name = dep.Text(1);
    d.kind = I32(dep, 2);
    d.parentCode = I32(dep, 3);
    d.incomeKind = I32(dep, 4);
    m.departments.push_back(d);
  }
  if (!dep.error().empty()) return ReadFailed(dep, "the departments", error);

  SqlStatement asset(db,
                     "SELECT code, name, kind, acquisition_date, acquisition_amount, income_kind"
                     " FROM fixed_asset WHERE data_no = ? ORDER BY asset_id");
  asset.Bind(1, dataNo);
  while (asset.Row()) {
    FixedAsset a;
    a.code = asset.Text(0);
    a.name = asset.Text(1);
    a.kind = I32(asset, 2);
    a.acquisitionDate = I32(asset, 3);
    a.acquisitionAmount = asset.Int(4);
    a.incomeKind = I32(asset, 5);
    m.fixedAssets.push_back(a);
  }
  if (!asset.error().empty()) return ReadFailed(asset, "the fixed assets", error);

  SqlStatement saved(db, "SELECT image FROM saved_return WHERE data_no = ?");
  if (saved.Bind(1, dataNo).Row()) m.savedReturn = SavedReturnFromImage(saved.BlobBytes(0));
  if (!saved.error().empty()) return ReadFailed(saved, "the saved return", error);

  SqlStatement user(db,
                    "SELECT user_id, name, selected_no1 FROM app_user"
                    " WHERE selected_data_no = ? ORDER BY user_id");
  user.Bind(1, dataNo);
  while (user.Row()) {
    User u;
    u.id = user.Text(0);
    u.name = user.Text(1);
    u.selectedNo1 = I32(user, 2);
    m.users.push_back(u);
  }
  if (!user.error().empty()) return ReadFailed(user, "the users", error);

  *model = std::move(m);
  return true;
}

namespace {

// Calls visit for each journal line of the data set, in line order; false
// (with `error`) when a line cannot be read or visit refuses it.
template <class Visit>
bool ForEachLine(HostStore& store, int32_t dataNo,
                 const std::map<int64_t, std::string>& accountCodes, Visit visit,
                 std::string* error) {
  SqlStatement line(store.db(),
                    "SELECT line_id, journal_no, date, month_kind, debit_account, debit_dept,"
                    " debit_amount, debit_tax, debit_tax_class, credit_account, credit_dept,"
                    " credit_amount, credit_tax, credit_tax_class, tax_rate, business_type,"
                    " description FROM journal_line WHERE data_no = ? ORDER BY line_id");
  line.Bind(1, dataNo);
  JournalLine l;
  while (line.Row()) {
    l.journalNo = I32(line, 1);
    l.date = I32(line, 2);
    l.monthKind = I32(line, 3);
    int column = 4;
    for (JournalSide* side : {&l.debit, &l.credit}) {
      side->account.clear();
      if (!line.IsNull(column)) {
        auto it = accountCodes.find(line.Int(column));
        if (it == accountCodes.end()) {
          *error = "journal line " + std::to_string(line.Int(0)) + " of data set " +
                   std::to_string(dataNo) + " names account id " +
                   std::to_string(line.Int(column)) + ", which does not exist";
          return false;
        }
        side->account = it->second;
      }
      side->dept = I32(line, column + 1);
      side->amount = line.Int(column + 2);
      side->tax = line.Int(column + 3);
      side->taxClass = I32(line, column + 4);
      column += 5;
    }
    l.rate = I32(line, 14) / 100;
    l.businessType = I32(line, 15);
    l.description = line.Text(16);
    if (!visit(l)) return false;
  }
  if (!line.error().empty()) return ReadFailed(line, "the journal lines", error);
  return true;
}

}  // namespace

bool LoadDataSet(HostStore& store, int32_t dataNo, DataSetModel* model, std::string* error) {
  std::map<int64_t, std::string> accountCodes;
  DataSetModel m;
  if (!LoadDataSetHead(store, dataNo, &m, &accountCodes, error)) return false;
  if (!ForEachLine(
          store, dataNo, accountCodes,
          [&m](const JournalLine& l) {
            m.journals.push_back(l);
            return true;
          },
          error)) {
    return false;
  }
  *model = std::move(m);
  return true;
}

bool ExportDataSet(HostStore& store, int32_t dataNo, const ExportOptions& options,
                   std::ostream& out, std::string* error) {
  std::map<int64_t, std::string> accountCodes;
  DataSetModel head;
  if (!LoadDataSetHead(store, dataNo, &head, &accountCodes, error)) return false;
  DataSetJsonWriter json(out);
  if (options.journalsCsvPath.empty()) {
    return json.Begin(head, "", error) &&
           ForEachLine(
               store, dataNo, accountCodes,
               [&](const JournalLine& l) { return json.Line(l, error); }, error) &&
           json.End(error);
  }
  std::ofstream file(options.journalsCsvPath, std::ios::binary | std::ios::trunc);
  if (!file) {
    *error = options.journalsCsvPath + ": cannot write the file";
    return false;
  }
  JournalCsvWriter csv(file);
  csv.Header();
  if (!ForEachLine(
          store, dataNo, accountCodes, [&](const JournalLine& l) { return csv.Row(l, error); },
          error)) {
    return false;
  }
  file.close();
  if (!file) {
    *error = options.journalsCsvPath + ": cannot write the file";
    return false;
  }
  const std::string& name =
      options.journalsCsvName.empty() ? options.journalsCsvPath : options.journalsCsvName;
  return json.Begin(head, name, error) && json.End(error);
}

bool ExportDataSet(HostStore& store, int32_t dataNo, std::string* text, std::string* error) {
  std::ostringstream out;
  if (!ExportDataSet(store, dataNo, ExportOptions(), out, error)) return false;
  *text = out.str();
  return true;
}

bool DefaultDataNo(HostStore& store, int32_t* dataNo, std::string* error) {
  // The current user's selection, as the services see it (a launch's own
  // user and data set first).
  if (HostSession::SelectedDataNo(store.db(), dataNo) == 0) return true;
  SqlStatement all(store.db(), "SELECT data_no FROM data_set ORDER BY data_no LIMIT 2");
  std::vector<int32_t> numbers;
  while (all.Row()) numbers.push_back(I32(all, 0));
  if (numbers.size() == 1) {
    *dataNo = numbers[0];
    return true;
  }
  *error = numbers.empty() ? "the store holds no data set"
                           : "no data set is selected and the store holds several: name one "
                             "(see mvhost list)";
  return false;
}

}  // namespace mvhost
