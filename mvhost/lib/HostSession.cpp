#include "mvhost/lib/HostSession.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/ReadScope.h"
#include "mvhost/lib/SqlStatement.h"
#include "platform/text/Encoding.h"

namespace mvhost {

namespace {

struct OpenStore {
  std::unique_ptr<HostStore> store;
  std::string home;
  HostStore* bound = nullptr;
};

OpenStore& Current() {
  static OpenStore current;
  return current;
}

}  // namespace

HostStore* HostSession::Bind(HostStore* store) {
  HostStore* before = Current().bound;
  Current().bound = store;
  return before;
}

HostStore* HostSession::Store(int32_t* status) {
  OpenStore& current = Current();
  if (current.bound != nullptr) {
    if (status != nullptr) *status = 0;
    return current.bound;
  }
  std::string home = HostStore::HomeFromEnvironment();
  if (current.store != nullptr && current.home == home) {
    if (status != nullptr) *status = 0;
    return current.store.get();
  }
  current.store.reset();
  current.home = home;
  auto store = std::make_unique<HostStore>();
  std::string error;
  if (home.empty() || !store->Open(home, &error, /*upgrade=*/false)) {
    if (status != nullptr) *status = kErrNoStore;
    return nullptr;
  }
  // A page cache of 1 MiB instead of SQLite's 2: what a run reads again (the
  // schema, accounts, totals per account) fits in it at any size of data set,
  // and the walks stream the packed lines through it whatever its size, so a
  // larger cache only made a large data set's run hold more memory.
  store->Exec("PRAGMA cache_size = -1024;", nullptr);
  current.store = std::move(store);
  if (status != nullptr) *status = 0;
  return current.store.get();
}

sqlite3* HostSession::Db(int32_t* status) {
  HostStore* store = Store(status);
  return store == nullptr ? nullptr : store->db();
}

void HostSession::Close() {
  Current().store.reset();
  Current().home.clear();
}

bool HostSession::StateValue(sqlite3* db, const std::string& key, std::string* value) {
  bool found = false;
  return ReadState(db, key, value, &found) == 0 && found;
}

int32_t HostSession::ReadState(sqlite3* db, const std::string& key, std::string* value,
                               bool* found) {
  value->clear();
  if (found != nullptr) *found = false;
  SqlStatement stmt;
  int32_t status =
      stmt.Prepare(db, "SELECT value FROM host_state WHERE key = ?", "read the host state");
  if (status != 0) return status;
  stmt.BindText(1, key);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 1) {
    *value = stmt.Text(0);
    if (found != nullptr) *found = true;
  }
  return 0;
}

int32_t HostSession::CurrentUser(sqlite3* db, std::string* userId) {
  const char* runUser = std::getenv("MVHOST_USER");
  if (runUser != nullptr && *runUser != '\0') {
    *userId = runUser;
    return 0;
  }
  std::string value;
  int32_t status = ReadState(db, "current_user", &value);
  if (status != 0) return status;
  if (value.empty()) return kErrNoUser;
  *userId = value;
  return 0;
}

int32_t HostSession::SelectedDataNo(sqlite3* db, int32_t* dataNo) {
  std::string user;
  int32_t status = CurrentUser(db, &user);
  if (status != 0) return status;
  SqlStatement stmt;
  int32_t runDataNo = 0;
  if (RunDataNo(user, &runDataNo)) {
    status = stmt.Prepare(db,
                          "SELECT d.data_no FROM app_user u JOIN data_set d ON d.data_no = ?"
                          " WHERE u.user_id = ?",
                          "read the run's data set");
    if (status != 0) return status;
    stmt.BindInt(1, runDataNo);
    stmt.BindText(2, user);
    int32_t step = stmt.Step();
    if (step < 0) return step;
    if (step == 0) return kErrNoDataSet;
    *dataNo = runDataNo;
    return 0;
  }
  status = stmt.Prepare(db,
                        "SELECT d.data_no FROM app_user u JOIN data_set d "
                        "ON d.data_no = u.selected_data_no WHERE u.user_id = ?",
                        "read the user's selected data set");
  if (status != 0) return status;
  stmt.BindText(1, user);
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kErrNoDataSet;
  *dataNo = static_cast<int32_t>(stmt.Int(0));
  return 0;
}

bool HostSession::RunDataNo(const std::string& userId, int32_t* dataNo) {
  const char* runUser = std::getenv("MVHOST_USER");
  const char* number = std::getenv("MVHOST_DATA_NO");
  if (runUser == nullptr || number == nullptr || userId != runUser || *number == '\0') {
    return false;
  }
  int64_t value = 0;
  for (const char* c = number; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || value > INT32_MAX / 10) return false;
    value = value * 10 + (*c - '0');
  }
  if (value > INT32_MAX) return false;
  *dataNo = static_cast<int32_t>(value);
  return true;
}

int32_t HostSession::DataNoOfId(sqlite3* db, const char* dataId, int32_t* dataNo) {
  if (dataId == nullptr) return kErrBadArgument;
  SqlStatement stmt;
  int32_t status = stmt.Prepare(db, "SELECT data_no FROM data_set WHERE data_id = ?",
                                "find the data set by its id");
  if (status != 0) return status;
  stmt.BindText(1, platform::Cp932ToUtf8(dataId));
  int32_t step = stmt.Step();
  if (step < 0) return step;
  if (step == 0) return kErrNoDataSet;
  *dataNo = static_cast<int32_t>(stmt.Int(0));
  return 0;
}

int32_t DataBinding::Bind(const char* id) {
  if (id == nullptr) return kErrBadArgument;
  named = true;
  dataId = id;
  int32_t status = 0;
  sqlite3* db = HostSession::Db(&status);
  if (db == nullptr) return status;
  int32_t dataNo = 0;
  return HostSession::DataNoOfId(db, dataId.c_str(), &dataNo);
}

int32_t DataBinding::Resolve(sqlite3** db, int32_t* dataNo, ReadScope* scope) const {
  int32_t status = 0;
  *db = HostSession::Db(&status);
  if (*db == nullptr) return status;
  if (scope != nullptr) scope->Begin(*db);
  if (named) return HostSession::DataNoOfId(*db, dataId.c_str(), dataNo);
  return HostSession::SelectedDataNo(*db, dataNo);
}

}  // namespace mvhost
