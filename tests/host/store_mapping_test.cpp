// A small store is read through a mapping of its file; a large one through
// SQLite's page cache, so that a long walk's pages never count in the run's
// memory.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "mvhost/lib/HostStore.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

int64_t MappedBytes(const mvhost::HostStore& store) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(store.db(), "PRAGMA mmap_size", -1, &stmt, nullptr), SQLITE_OK);
  const int64_t bytes = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return bytes;
}

TEST(StoreMappingTest, OnlyASmallStoreIsMappedAndItsWritesReadBack) {
  HostFixture host;
  std::string error;
  {
    mvhost::HostStore store;
    ASSERT_TRUE(store.Open(host.Home(), &error)) << error;
    EXPECT_GT(MappedBytes(store), 0);
    // Written by another connection while mapped: this one reads the new page.
    host.Exec("INSERT OR REPLACE INTO host_state (key, value) VALUES ('mapped', 'first')");
    ASSERT_TRUE(store.Exec("UPDATE host_state SET value = 'second' WHERE key = 'mapped';", &error));
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(host.Db(), "SELECT value FROM host_state WHERE key = 'mapped'",
                                 -1, &stmt, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "second");
    sqlite3_finalize(stmt);
  }
  host.Exec("CREATE TABLE padding (b); INSERT INTO padding VALUES (zeroblob(6 * 1024 * 1024))");
  mvhost::HostStore store;
  ASSERT_TRUE(store.Open(host.Home(), &error)) << error;
  EXPECT_EQ(MappedBytes(store), 0);
}

}  // namespace
}  // namespace taxlink::testing
