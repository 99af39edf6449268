// The trace's walk reads a large store through a mapping that it releases
// as it goes and gives back when it ends; a small store keeps its own
// mapping, and a store without a file is read as before.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/PackedLineReader.h"
#include "mvhost/lib/WalkMapping.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

int64_t MappedBytes(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, "PRAGMA mmap_size", -1, &stmt, nullptr), SQLITE_OK);
  const int64_t bytes = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return bytes;
}

TEST(WalkMappingTest, MapsOnlyAStoreNotMappedAndPutsItBack) {
  HostFixture host;
  std::string error;
  mvhost::HostStore store;
  ASSERT_TRUE(store.Open(host.Home(), &error)) << error;
  const int64_t small = MappedBytes(store.db());
  ASSERT_GT(small, 0);
  {
    mvhost::WalkMapping mapping;
    mapping.Begin(store.db());
    EXPECT_FALSE(mapping.mapped());
    mapping.End();
    EXPECT_EQ(MappedBytes(store.db()), small);
  }
  ASSERT_TRUE(store.Exec("PRAGMA mmap_size = 0;", &error)) << error;  // as a large store
  {
    mvhost::WalkMapping mapping;
    mapping.Begin(store.db());
    ASSERT_TRUE(mapping.mapped());
    EXPECT_GT(MappedBytes(store.db()), 0);
    // Released once a window is read, through the mapping it found.
    mapping.Walked(mvhost::WalkMapping::kReleaseBytes - 1);
    EXPECT_EQ(mapping.releases(), 0);
    mapping.Walked(1);
    EXPECT_EQ(mapping.releases(), 1);
    mapping.End();
    EXPECT_EQ(MappedBytes(store.db()), 0);
  }
  // No file to map: read as before.
  mvhost::HostStore memory;
  ASSERT_TRUE(memory.CreateInMemory(&error)) << error;
  const int64_t before = MappedBytes(memory.db());
  mvhost::WalkMapping mapping;
  mapping.Begin(memory.db());
  EXPECT_FALSE(mapping.mapped());
  mapping.End();
  EXPECT_EQ(MappedBytes(memory.db()), before);
}

TEST(WalkMappingTest, AMappedWalkReadsWhatAnyWalkReadsAndGivesTheMappingBack) {
  HostFixture host;
  host.AddDataSet({});
  // Three chunks of lines.
  for (int i = 1; i <= 2500; ++i) {
    host.AddJournal({.date = 20140410 + (i % 9) * 100,
                     .debit = {.account = 1 + i % 5, .amount = int64_t{i} * 10000, .taxClass = 1},
                     .credit = {.account = 7, .amount = int64_t{i} * 9000, .taxClass = 21},
                     .rate = 800});
  }
  host.BuildJournalDerived(1);
  // Changed lines, one of them past the chunks: read after the last chunk.
  host.Exec("UPDATE journal_line SET debit_amount = 7 WHERE line_id = 1200");
  host.Exec(
      "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, debit_account, "
      "debit_amount, debit_tax_class, tax_rate) VALUES (1, 1900000, 2, 20140601, 3, 5, 40000, 1, "
      "500)");
  std::string error;
  mvhost::HostStore store;
  ASSERT_TRUE(store.Open(host.Home(), &error)) << error;
  ASSERT_TRUE(store.Exec("PRAGMA mmap_size = 0;", &error)) << error;
  auto walk = [&](bool mapped, std::size_t most) {
    std::vector<int64_t> seen;
    mvhost::PackedLineReader reader;
    reader.MapWhileWalking(mapped);
    EXPECT_EQ(reader.Open(store.db(), 1), 0);
    const mvhost::PackedLine* line = nullptr;
    int32_t step = 0;
    while (seen.size() < most * 3 && (step = reader.Next(&line)) == 1) {
      seen.insert(seen.end(), {line->lineId, line->debitAmount, line->creditAmount});
    }
    EXPECT_GE(step, 0);
    return seen;
  };
  constexpr std::size_t kAll = 1u << 30;
  const std::vector<int64_t> plain = walk(false, kAll);
  ASSERT_EQ(plain.size(), 2501u * 3);
  EXPECT_EQ(plain.back() , 0);  // the credit of the line past the chunks
  EXPECT_EQ(walk(true, kAll), plain);
  EXPECT_EQ(MappedBytes(store.db()), 0);
  // A walk left after its first line gives the mapping back too.
  EXPECT_EQ(walk(true, 1).size(), 3u);
  EXPECT_EQ(MappedBytes(store.db()), 0);
}

}  // namespace
}  // namespace taxlink::testing
