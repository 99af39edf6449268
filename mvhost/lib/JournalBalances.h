#ifndef TAXLINK_MVHOST_JOURNALBALANCES_H_
#define TAXLINK_MVHOST_JOURNALBALANCES_H_

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The journals whose debit and credit totals (amount plus tax of each side)
// differ. The lines are added as they stream by: while the journal numbers
// do not decrease, each journal's lines come together and the check is
// exact with no memory per balanced journal, which is how files are
// written. The first kKept journals found are kept and the rest counted, so
// that the memory stays the same for any number of lines; the rest, or all
// of them once the lines came out of journal order, are found again by one
// query over the stored lines (FromStore).
class JournalBalances {
 public:
  struct Difference {
    int32_t journal = 0;
    int64_t debit = 0;
    int64_t credit = 0;
    bool tooLarge = false;  // a total past 64 bits
    // Where the journal's first line was read; from the store, the number
    // of its first stored line instead (place.source null).
    LinePlace place;
    int64_t firstStoredLine = 0;
  };
  using Found = std::function<void(const Difference&)>;

  static constexpr size_t kKept = 1000;

  void Add(const JournalLine& line, const LinePlace& place) {
    Add(line.journalNo, line.debit.amount, line.debit.tax, line.credit.amount, line.credit.tax,
        place);
  }
  // A line given by its journal and the amounts and taxes of its sides.
  void Add(int32_t journal, int64_t debitAmount, int64_t debitTax, int64_t creditAmount,
           int64_t creditTax, const LinePlace& place) {
    if (!inOrder_) return;
    if (!open_ || journal != current_.journal) {
      if (!Open(journal, place)) return;
    }
    if (__builtin_add_overflow(current_.debit, debitAmount, &current_.debit) ||
        __builtin_add_overflow(current_.debit, debitTax, &current_.debit) ||
        __builtin_add_overflow(current_.credit, creditAmount, &current_.credit) ||
        __builtin_add_overflow(current_.credit, creditTax, &current_.credit)) {
      current_.tooLarge = true;
    }
  }
  // A journal's lines summed apart (from 0, as Add sums them), given as
  // one. False when it goes on from the open journal and the sums might
  // pass 64 bits where Add, line by line, would not or the other way round
  // (`modest`: every value summed apart was below 2^40 in magnitude).
  bool AddSum(int32_t journal, int64_t debit, int64_t credit, bool tooLarge, bool modest,
              const LinePlace& place) {
    if (!inOrder_) return true;
    if (!open_ || journal != current_.journal) {
      if (!Open(journal, place)) return true;
      current_.debit = debit;
      current_.credit = credit;
      current_.tooLarge = tooLarge;
      return true;
    }
    constexpr int64_t kSafe = int64_t{1} << 61;
    if (!modest || current_.tooLarge || current_.debit >= kSafe || current_.debit <= -kSafe ||
        current_.credit >= kSafe || current_.credit <= -kSafe) {
      return false;
    }
    current_.debit += debit;
    current_.credit += credit;
    return true;
  }
  // Ends the open journal, then takes `count` unbalanced journals after it,
  // of which the first are `listed` (in journal order).
  void AddUnbalanced(const std::vector<Difference>& listed, int64_t count) {
    if (!inOrder_) return;
    if (open_ && (current_.tooLarge || current_.debit != current_.credit)) KeepUnbalanced();
    open_ = false;
    for (const Difference& d : listed) {
      if (found_.size() < kKept) found_.push_back(d);
    }
    count_ += count;
  }
  // The journal numbers went back somewhere the lines were not added.
  void OutOfOrder() { inOrder_ = false; }
  // Ends the last journal.
  void Finish();
  // False once a journal number decreased: found() and count() are then
  // incomplete.
  bool inOrder() const { return inOrder_; }
  // The first kKept journals found, and how many there are in all.
  const std::vector<Difference>& found() const { return found_; }
  int64_t count() const { return count_; }

  // The journals numbered after `after` of data set `dataNo` in the store,
  // over its lines whose month kinds are `monthKinds`, in journal order;
  // false with the store's message.
  static bool FromStore(sqlite3* db, int32_t dataNo, const std::vector<int32_t>& monthKinds,
                        int64_t after, const Found& found, std::string* error);

 private:
  // Ends the open journal and opens `journal` at `place`; false when the
  // journal numbers decreased. Once a line for most journals: the fields are
  // set in place.
  bool Open(int32_t journal, const LinePlace& place) {
    if (open_) {
      if (journal < current_.journal) {
        inOrder_ = false;
        return false;
      }
      if (current_.tooLarge || current_.debit != current_.credit) KeepUnbalanced();
    }
    current_.journal = journal;
    current_.debit = 0;
    current_.credit = 0;
    current_.tooLarge = false;
    current_.place = place;
    current_.firstStoredLine = 0;
    open_ = true;
    return true;
  }
  // Keeps or counts the open journal, which is unbalanced.
  void KeepUnbalanced() {
    if (found_.size() < kKept) found_.push_back(current_);
    ++count_;
  }

  bool inOrder_ = true;
  bool open_ = false;  // a journal is being summed
  Difference current_;
  std::vector<Difference> found_;
  int64_t count_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALBALANCES_H_
