#ifndef TAXLINK_MVHOST_STOREADMIN_H_
#define TAXLINK_MVHOST_STOREADMIN_H_

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mvhost {

// The mvhost tool's (and the test fixtures') reads and writes of a store
// besides the import and the export. Texts are UTF-8; each function returns false with SQLite's
// message in error when the store cannot be read or written.

struct DataSetListing {
  int32_t dataNo = 0;
  std::string dataId;
  std::string companyName;
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  int64_t journalLines = 0;  // counted only when asked for (LineCounts::kCounted)
  int64_t importedAt = 0;    // seconds since 1970; 0: not known
  bool savedReturn = false;  // a saved return is stored
};

struct UserListing {
  std::string userId;
  std::string name;
  int32_t selectedNo1 = 0;
  int32_t selectedDataNo = 0;
  bool current = false;  // host_state 'current_user'
};

// Whether a listing of the data sets counts each one's journal lines (a
// walk of every line: tens of milliseconds on a large data set).
enum class LineCounts { kCounted, kNotCounted };

// By data number (only the numbers in `only` when it is given; a number
// without a data set is left out); by user id.
bool ListDataSets(sqlite3* db, std::vector<DataSetListing>* sets, std::string* error,
                  LineCounts lines = LineCounts::kCounted,
                  const std::vector<int32_t>* only = nullptr);
bool ListUsers(sqlite3* db, std::vector<UserListing>* users, std::string* error);
// Whether the store holds the data set (false also when it cannot be read).
bool HoldsDataSet(sqlite3* db, int32_t dataNo);
// Makes dataNo the user's selection, adding the user when it is new.
bool SelectDataSet(sqlite3* db, const std::string& userId, int32_t dataNo, std::string* error);

// host_state: every entry by key; one entry (nullopt when not set); set and
// remove.
bool ReadStateEntries(sqlite3* db, std::vector<std::pair<std::string, std::string>>* entries,
                      std::string* error);
bool ReadStateEntry(sqlite3* db, const std::string& key, std::optional<std::string>* value,
                    std::string* error);
bool WriteStateEntry(sqlite3* db, const std::string& key, const std::string& value,
                     std::string* error);
bool RemoveStateEntry(sqlite3* db, const std::string& key, std::string* error);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_STOREADMIN_H_
