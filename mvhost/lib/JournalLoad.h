#ifndef TAXLINK_MVHOST_JOURNALLOAD_H_
#define TAXLINK_MVHOST_JOURNALLOAD_H_

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "mvhost/lib/DataModel.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/StoreRows.h"

namespace mvhost {

// Writes the journal lines of one data set inside the import's transaction,
// one prepared INSERT bound per line. Into a store that holds no other
// journal lines the journal indexes are dropped first and built again by
// Finish: one sort per index instead of a tree insert per line and index.
// Any other store keeps its indexes, which then grow line by line, since
// rebuilding them would read every other data set's lines too.
class JournalLoad {
 public:
  // `accountIds` maps account codes to the store's account ids.
  JournalLoad(sqlite3* db, int64_t dataNo, std::unordered_map<std::string, int64_t> accountIds);
  ~JournalLoad();
  JournalLoad(const JournalLoad&) = delete;
  JournalLoad& operator=(const JournalLoad&) = delete;

  bool Begin(std::string* error);
  // The next line, numbered after the ones before it.
  bool Add(const JournalLine& line, std::string* error);
  // Rebuilds the indexes dropped by Begin.
  bool Finish(std::string* error);

  int64_t lines() const { return lines_; }
  bool rebuildsIndexes() const { return !droppedIndexes_.empty(); }

 private:
  sqlite3* db_;
  int64_t dataNo_;
  std::unordered_map<std::string, int64_t> accountIds_;
  std::vector<std::string> droppedIndexes_;  // their CREATE INDEX statements
  std::unique_ptr<StoreRows> rows_;
  int64_t lines_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_JOURNALLOAD_H_
