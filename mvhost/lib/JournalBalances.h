#ifndef TAXLINK_MVHOST_JOURNALBALANCES_H_
#define TAXLINK_MVHOST_JOURNALBALANCES_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The journals whose debit and credit totals (amount plus tax of each side)
// differ. The lines are added as they stream by: while the journal numbers
// do not decrease, each journal's lines come together and the check is
// exact with no memory per journal, which is how files are written. Lines
// out of journal order leave the check to one query over the stored lines
// (FromStore).
class JournalBalances {
 public:
  struct Difference {
    int32_t journal = 0;
    int64_t debit = 0;
    int64_t credit = 0;
    bool tooLarge = false;  // a total past 64 bits
  };

  // Journals named one by one; the rest are only counted.
  static constexpr size_t kNamed = 10;

  void Add(const JournalLine& line);
  // Ends the last journal.
  void Finish();
  // False once a journal number decreased: the result is then incomplete.
  bool inOrder() const { return inOrder_; }

  // The check over data set `dataNo` in the store; false with the store's
  // message.
  bool FromStore(sqlite3* db, int32_t dataNo, std::string* error);

  const std::vector<Difference>& named() const { return named_; }
  int64_t count() const { return count_; }

 private:
  void Found(const Difference& difference);

  bool inOrder_ = true;
  bool open_ = false;  // a journal is being summed
  Difference current_;
  std::vector<Difference> named_;
  int64_t count_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALBALANCES_H_
