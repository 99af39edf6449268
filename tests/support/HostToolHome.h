#ifndef TAXLINK_TESTS_SUPPORT_HOSTTOOLHOME_H_
#define TAXLINK_TESTS_SUPPORT_HOSTTOOLHOME_H_

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mvhost/lib/HostStore.h"
#include "tests/support/TempFolder.h"

namespace taxlink_test {

// A fresh host home in a temporary folder with an empty store, removed at the
// end of the test; for the data import, export and mvhost tool tests.
class HostToolHome : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = taxlink::testing::MakeMemoryTempFolder("hosttool");
    ASSERT_NE(home_, "");
    std::string error;
    ASSERT_TRUE(store_.Create(home_, &error)) << error;
    // The tests need no durability; this keeps each transaction cheap.
    ASSERT_TRUE(store_.Exec("PRAGMA synchronous = OFF;", &error)) << error;
  }

  void TearDown() override {
    store_.Close();
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

  std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = home_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Every row of every table of the store, as text: equal snapshots mean an
  // unchanged store.
  std::string Snapshot() {
    static const char* const kTables[] = {
        "host_state", "data_set",   "tax_rate",     "app_user",    "account_class",
        "account",    "department", "journal_line", "fixed_asset", "saved_return"};
    std::string text;
    for (const char* table : kTables) {
      text += std::string("[") + table + "]\n";
      sqlite3_stmt* stmt = nullptr;
      std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY rowid";
      if (sqlite3_prepare_v2(store_.db(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(store_.db());
        return text;
      }
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
          const unsigned char* value = sqlite3_column_text(stmt, i);
          text += value == nullptr ? "NULL" : reinterpret_cast<const char*>(value);
          text += "|";
        }
        text += "\n";
      }
      sqlite3_finalize(stmt);
    }
    return text;
  }

  // The single integer an SQL query yields (-1 when none).
  int64_t QueryInt(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    int64_t value = -1;
    if (sqlite3_prepare_v2(store_.db(), sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      value = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return value;
  }

  std::string home_;
  mvhost::HostStore store_;
};

}  // namespace taxlink_test

#endif  // TAXLINK_TESTS_SUPPORT_HOSTTOOLHOME_H_
