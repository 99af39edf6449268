#include "mvhost/lib/HostStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "mvhost/SchemaSql.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/SqlStatement.h"

namespace mvhost {

namespace {

bool MakeDirectories(const std::string& path) {
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!partial.empty() && ::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
        return false;
      }
    }
    if (i < path.size()) partial.push_back(path[i]);
  }
  return true;
}

}  // namespace

HostStore::~HostStore() { Close(); }

std::string HostStore::HomeFromEnvironment() {
  const char* home = std::getenv("MVHOST_HOME");
  return home == nullptr ? std::string() : std::string(home);
}

bool HostStore::OpenDatabase(const std::string& home, int flags, std::string* error) {
  Close();
  home_ = home;
  while (home_.size() > 1 && home_.back() == '/') home_.pop_back();
  // One thread uses a connection: SQLite's own locking of it is not needed.
  if (sqlite3_open_v2(DatabasePath().c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    if (error != nullptr) {
      *error = "cannot open " + DatabasePath() + ": " +
               (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
    }
    Close();
    return false;
  }
  sqlite3_busy_timeout(db_, kBusyWaitMilliseconds);
  SqlStatement::KeepStatements(db_);
  return Exec("PRAGMA foreign_keys = ON;", error);
}

bool HostStore::Create(const std::string& home, std::string* error) {
  if (home.empty()) {
    if (error != nullptr) *error = "no host home given (use --home DIR or set MVHOST_HOME)";
    return false;
  }
  if (!MakeDirectories(home + "/folders/out") || !MakeDirectories(home + "/folders/app")) {
    if (error != nullptr) *error = "cannot create the folders of " + home;
    return false;
  }
  if (!OpenDatabase(home, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error)) return false;
  return Exec(kSchemaSql, error);
}

bool HostStore::CreateInMemory(std::string* error) {
  return OpenDatabase("", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY,
                      error) &&
         Exec(kSchemaSql, error);
}

bool HostStore::Open(const std::string& home, std::string* error) {
  if (home.empty()) {
    if (error != nullptr) *error = "no host home given (use --home DIR or set MVHOST_HOME)";
    return false;
  }
  struct stat st;
  std::string path = home + "/host.db";
  if (::stat(path.c_str(), &st) != 0) {
    if (error != nullptr) *error = "no host store in " + home + " (run mvhost init)";
    return false;
  }
  return OpenDatabase(home, SQLITE_OPEN_READWRITE, error);
}

void HostStore::Close() {
  if (db_ != nullptr) {
    SqlStatement::EndStatements(db_);
    JournalDerived::ForgetConnection(db_);
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

bool HostStore::Exec(const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    if (error != nullptr) *error = message != nullptr ? message : "SQLite error";
    sqlite3_free(message);
    return false;
  }
  return true;
}

}  // namespace mvhost
