#include "mvhost/lib/JournalBalances.h"

#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

void JournalBalances::Finish() {
  if (open_ && inOrder_ && (current_.tooLarge || current_.debit != current_.credit)) KeepUnbalanced();
  open_ = false;
}

bool JournalBalances::FromStore(sqlite3* db, int32_t dataNo, const std::vector<int32_t>& monthKinds,
                                int64_t after, const Found& found, std::string* error) {
  std::string kinds;
  for (size_t i = 0; i < monthKinds.size(); ++i) kinds += i == 0 ? "?" : ",?";
  const std::string sql =
      "SELECT journal_no, SUM(debit_amount + debit_tax), SUM(credit_amount + credit_tax),"
      " MIN(line_id) FROM journal_line WHERE data_no = ? AND journal_no > ? AND month_kind IN (" +
      kinds +
      ") GROUP BY journal_no"
      " HAVING SUM(debit_amount + debit_tax) <> SUM(credit_amount + credit_tax)"
      " ORDER BY journal_no";
  SqlStatement journals(db, sql.c_str());
  journals.Bind(1, dataNo).Bind(2, after);
  for (size_t i = 0; i < monthKinds.size(); ++i) {
    journals.Bind(static_cast<int>(i + 3), monthKinds[i]);
  }
  while (journals.Row()) {
    Difference difference;
    difference.journal = static_cast<int32_t>(journals.Int(0));
    difference.debit = journals.Int(1);
    difference.credit = journals.Int(2);
    difference.firstStoredLine = journals.Int(3);
    found(difference);
  }
  *error = journals.error();
  return error->empty();
}

}  // namespace mvhost
