#ifndef TAXLINK_MVHOST_HOSTSESSION_H_
#define TAXLINK_MVHOST_HOSTSESSION_H_

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace mvhost {

class HostStore;
class ReadScope;

// The store the host's services work on: the one in the home that
// MVHOST_HOME names, opened on first use and opened again whenever the
// variable names another home (or the home had no store before); or, while
// one is bound, a store its owner opened (an in-memory store of a test).
class HostSession {
 public:
  // The services work on store (which must outlive the binding) instead of
  // MVHOST_HOME's; null goes back to MVHOST_HOME's. Returns the store bound
  // before.
  static HostStore* Bind(HostStore* store);

  // The open store, or null with kErrNoStore in *status.
  static HostStore* Store(int32_t* status);
  static sqlite3* Db(int32_t* status);
  // Forgets the open store (its statements stay valid until finalized).
  static void Close();

  // A value of table host_state; false when the key is absent or the store
  // cannot be read.
  static bool StateValue(sqlite3* db, const std::string& key, std::string* value);
  // The same with the store's failure: 0 (an absent key leaves *value
  // empty and *found false) or a host failure code.
  static int32_t ReadState(sqlite3* db, const std::string& key, std::string* value,
                           bool* found = nullptr);

  // The current user (UTF-8): the run's own user (MVHOST_USER) when the
  // launch gave one, else host_state 'current_user'.
  static int32_t CurrentUser(sqlite3* db, std::string* userId);
  // The data number the current user has selected (app_user; for the run's
  // own user, MVHOST_DATA_NO when set), checked against data_set;
  // kErrNoUser or kErrNoDataSet when there is none.
  static int32_t SelectedDataNo(sqlite3* db, int32_t* dataNo);
  // The run's own data selection for userId (UTF-8): MVHOST_DATA_NO when
  // userId is MVHOST_USER and the number is a decimal number; false
  // otherwise. A launch that acts for a user on one data set sets both, so
  // runs of several data sets go at once without touching the home's
  // current user or the users' stored selections.
  static bool RunDataNo(const std::string& userId, int32_t* dataNo);
  // The data number of a data identifier (Shift_JIS text).
  static int32_t DataNoOfId(sqlite3* db, const char* dataId, int32_t* dataNo);
};

// The data set an object works on: the one its SetCurDataID named, or the
// current user's selection while none was named.
struct DataBinding {
  bool named = false;
  std::string dataId;  // Shift_JIS, as SetCurDataID gave it

  // Names the data set; kErrNoDataSet when the store has no such id.
  int32_t Bind(const char* id);
  // The data number to use, with the store; a host status.
  // With scope, the look-ups and the caller's statements after them share
  // one read transaction (ReadScope).
  int32_t Resolve(sqlite3** db, int32_t* dataNo, ReadScope* scope = nullptr) const;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_HOSTSESSION_H_
