#include "mvhost/lib/DerivedTotals.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "mvhost/lib/AccountTotalLog.h"
#include "mvhost/lib/DerivedSchema.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// The rows of a table in key order, which is the order of their primary
// key; rows no line feeds any more are left out.
template <class Table>
auto SortedRows(const Table& table) {
  std::vector<std::pair<typename Table::key_type, typename Table::mapped_type>> rows;
  rows.reserve(table.size());
  for (const auto& row : table) {
    if (row.second.values[0] != 0) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return rows;
}

}  // namespace

template <size_t N, size_t M>
void DerivedTotals::AddTo(Table<N, M>& table, const Key<N>& key,
                          const std::array<int64_t, M>& values, int sign) {
  Sums<M>& sums = table[key];
  for (size_t i = 0; i < M; ++i) {
    const bool overflowed =
        sign > 0 ? __builtin_add_overflow(sums.values[i], values[i], &sums.values[i])
                 : __builtin_sub_overflow(sums.values[i], values[i], &sums.values[i]);
    if (overflowed) overflow_ = true;
  }
}

void DerivedTotals::AddSide(int32_t account, int32_t side, int32_t rate, int32_t dept,
                            int32_t monthKind, int64_t amount, int64_t tax, int sign) {
  AddTo<4, 3>(accounts_, {account, side, rate, monthKind}, {1, amount, tax}, sign);
  AddTo<4, 3>(departments_, {dept, account, side, monthKind}, {1, amount, tax}, sign);
}

void DerivedTotals::Add(const PackedLine& line, int sign) {
  const int32_t rate = EffectiveRate(line.taxRate, line.date);
  const bool debit = line.hasDebit != 0;
  const bool credit = line.hasCredit != 0;
  AddTo<5, 5>(classes_,
              {rate, line.businessType, line.debitTaxClass, line.creditTaxClass, line.monthKind},
              {1, debit ? line.debitAmount : 0, debit ? line.debitTax : 0,
               credit ? line.creditAmount : 0, credit ? line.creditTax : 0},
              sign);
  if (debit) {
    AddSide(line.debitAccount, 1, rate, line.debitDept, line.monthKind, line.debitAmount,
            line.debitTax, sign);
  }
  if (credit) {
    AddSide(line.creditAccount, 2, rate, line.creditDept, line.monthKind, line.creditAmount,
            line.creditTax, sign);
  }
}

int32_t DerivedTotals::Write(sqlite3* db, int32_t dataNo) const {
  static const char* const kClear[] = {"DELETE FROM journal_class_total WHERE data_no = ?",
                                       "DELETE FROM journal_account_total WHERE data_no = ?",
                                       "DELETE FROM journal_department_total WHERE data_no = ?"};
  for (const char* sql : kClear) {
    int64_t ignored = 0;
    int32_t status = QueryInt(db, "clear the journal totals", sql, {dataNo}, &ignored);
    if (status != 0) return status;
  }
  SqlStatement insert;
  int32_t status = insert.Prepare(
      db,
      "INSERT INTO journal_class_total (data_no, rate, business_type, debit_tax_class, "
      "credit_tax_class, month_kind, lines, debit_amount, debit_tax, credit_amount, "
      "credit_tax) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
      "store the journal totals per tax class");
  if (status != 0) return status;
  for (const auto& [key, sums] : SortedRows(classes_)) {
    insert.Reset();
    insert.BindAll(1, {dataNo, key[0], key[1], key[2], key[3], key[4]});
    insert.BindAll(7, {sums.values.begin(), sums.values.end()});
    int32_t step = insert.Step();
    if (step < 0) return step;
  }
  const std::pair<const Table<4, 3>*, const char*> sides[] = {
      {&accounts_,
       "INSERT INTO journal_account_total (data_no, account_id, side, rate, month_kind, lines, "
       "amount, tax) VALUES (?,?,?,?,?,?,?,?)"},
      {&departments_,
       "INSERT INTO journal_department_total (data_no, dept, account_id, side, month_kind, lines, "
       "amount, tax) VALUES (?,?,?,?,?,?,?,?)"}};
  for (const auto& [table, sql] : sides) {
    status = insert.Prepare(db, sql, "store the journal totals per account");
    if (status != 0) return status;
    for (const auto& [key, sums] : SortedRows(*table)) {
      insert.Reset();
      insert.BindAll(1, {dataNo, key[0], key[1], key[2], key[3], sums.values[0], sums.values[1],
                         sums.values[2]});
      int32_t step = insert.Step();
      if (step < 0) return step;
    }
  }
  // The rows just written were noted in the account totals' log, some
  // twice: keep it short.
  if (!DerivedSchema::UsesTemp(db)) TrimAccountTotalLog(db);
  return 0;
}

}  // namespace mvhost
