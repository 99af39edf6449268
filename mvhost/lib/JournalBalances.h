#ifndef TAXLINK_MVHOST_JOURNALBALANCES_H_
#define TAXLINK_MVHOST_JOURNALBALANCES_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/CheckFinding.h"
#include "mvhost/lib/DataModel.h"

namespace mvhost {

// The journals whose debit and credit totals (amount plus tax of each side)
// differ. The lines are added as they stream by: while the journal numbers
// do not decrease, each journal's lines come together and the check is
// exact with no memory per balanced journal, which is how files are
// written. Lines out of journal order leave the check to one query over the
// stored lines (FromStore).
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

  void Add(const JournalLine& line, const LinePlace& place);
  // Ends the last journal.
  void Finish();
  // False once a journal number decreased: the result is then incomplete.
  bool inOrder() const { return inOrder_; }

  // The check over the lines of data set `dataNo` in the store whose month
  // kinds are `monthKinds`, in place of the lines added; false with the
  // store's message.
  bool FromStore(sqlite3* db, int32_t dataNo, const std::vector<int32_t>& monthKinds,
                 std::string* error);

  // The journals found, in journal order.
  const std::vector<Difference>& found() const { return found_; }

 private:
  bool inOrder_ = true;
  bool open_ = false;  // a journal is being summed
  Difference current_;
  std::vector<Difference> found_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALBALANCES_H_
