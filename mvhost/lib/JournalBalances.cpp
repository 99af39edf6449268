#include "mvhost/lib/JournalBalances.h"

#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

// total += amount + tax; false past 64 bits.
bool AddSide(const JournalSide& side, int64_t* total) {
  return !__builtin_add_overflow(*total, side.amount, total) &&
         !__builtin_add_overflow(*total, side.tax, total);
}

}  // namespace

void JournalBalances::Found(const Difference& difference) {
  if (named_.size() < kNamed) named_.push_back(difference);
  ++count_;
}

void JournalBalances::Add(const JournalLine& line) {
  if (!inOrder_) return;
  if (open_ && line.journalNo != current_.journal) {
    if (line.journalNo < current_.journal) {
      inOrder_ = false;
      return;
    }
    Finish();
  }
  if (!open_) {
    current_ = Difference();
    current_.journal = line.journalNo;
    open_ = true;
  }
  if (!AddSide(line.debit, &current_.debit) || !AddSide(line.credit, &current_.credit)) {
    current_.tooLarge = true;
  }
}

void JournalBalances::Finish() {
  if (open_ && inOrder_ && (current_.tooLarge || current_.debit != current_.credit)) {
    Found(current_);
  }
  open_ = false;
}

bool JournalBalances::FromStore(sqlite3* db, int32_t dataNo, std::string* error) {
  named_.clear();
  count_ = 0;
  SqlStatement journals(db,
                   "SELECT journal_no, SUM(debit_amount + debit_tax), SUM(credit_amount + credit_tax)"
                   " FROM journal_line WHERE data_no = ? GROUP BY journal_no"
                   " HAVING SUM(debit_amount + debit_tax) <> SUM(credit_amount + credit_tax)"
                   " ORDER BY journal_no");
  journals.Bind(1, dataNo);
  while (journals.Row()) {
    Difference difference;
    difference.journal = static_cast<int32_t>(journals.Int(0));
    difference.debit = journals.Int(1);
    difference.credit = journals.Int(2);
    Found(difference);
  }
  *error = journals.error();
  return error->empty();
}

}  // namespace mvhost
