#include "tests/support/RecordingConnection.h"

#include <gtest/gtest.h>

#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/KeptAssets.h"

namespace taxlink::testing {

RecordingConnection::RecordingConnection(const HostFixture& host) {
  EXPECT_EQ(
      sqlite3_open_v2((host.Home() + "/host.db").c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr),
      SQLITE_OK);
  sqlite3_trace_v2(
      db_, SQLITE_TRACE_STMT,
      [](unsigned, void* self, void*, void* sql) {
        static_cast<RecordingConnection*>(self)->statements_ += static_cast<const char*>(sql);
        return 0;
      },
      this);
}

RecordingConnection::~RecordingConnection() {
  mvhost::JournalDerived::ForgetConnection(db_);
  mvhost::ForgetKeptAccounts(db_);
  mvhost::ForgetKeptAssets(db_);
  sqlite3_close_v2(db_);
}

}  // namespace taxlink::testing
