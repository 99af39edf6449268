// What a connection keeps instead of reading again: a sound check of the
// derived data kept in a file beside the store for the store's change
// counter, and the accounts kept per connection that the account walk
// filters in C++.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "host/ClDataMgr.h"
#include "host/ClRuleGenkashokyaku.h"
#include "host/ClSetKamoku.h"
#include "host/FilterCondition.h"
#include "host/FilterGroupRegistry.h"
#include "host/HostStatus.h"
#include "mvhost/lib/CheckedSnapshot.h"
#include "mvhost/lib/DerivedDataCheck.h"
#include "mvhost/lib/FilterSql.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/KeptAccounts.h"
#include "mvhost/lib/KeptAssets.h"
#include "mvhost/lib/RunLog.h"
#include "mvhost/lib/StoredFindings.h"
#include "tests/support/HostFixture.h"
#include "tests/support/RecordingConnection.h"

namespace taxlink::testing {
namespace {

using OtherRun = RecordingConnection;

class KeptReadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({});
    for (int64_t i = 1; i <= 40; ++i) {
      host_.AddJournal(
          {.date = static_cast<int32_t>(20140410 + (i % 9) * 100),
           .debit = {.account = static_cast<int32_t>(1 + i % 3), .amount = i * 1000, .tax = i * 80},
           .credit = {.account = 4, .amount = i * 1000, .tax = i * 80},
           .rate = 800});
    }
    host_.BuildJournalDerived(1);
    // The fixture's connection checks first and keeps its check, without
    // a write to the store.
    const uint32_t before = Counter();
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(host_.Db(), 1, &finding), 0);
    ASSERT_EQ(finding.problem, "");
    EXPECT_EQ(Counter(), before) << "keeping the check wrote to the store";
    ASSERT_FALSE(KeptFile().empty());
  }

  std::string KeptPath() const { return host_.Home() + "/host.db-kept/1"; }
  std::string KeptFile() const {
    std::ifstream in(KeptPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void PutKeptFile(const std::string& bytes) const {
    std::ofstream(KeptPath(), std::ios::binary | std::ios::trunc) << bytes;
  }

  uint32_t Counter() {
    uint32_t counter = 0;
    EXPECT_TRUE(mvhost::ReadChangeCounter(host_.Db(), &counter));
    return counter;
  }

  HostFixture host_{HostStorage::kHome};
};

TEST_F(KeptReadsTest, AKeptCheckStandsOnlyUntilTheStoreIsWritten) {
  {
    OtherRun run(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
    EXPECT_EQ(finding.problem, "");
    EXPECT_FALSE(run.Ran("journal_account_total")) << "the kept check was not taken";
    const mvhost::AccountTotals* totals = nullptr;
    ASSERT_EQ(mvhost::CheckedAccountTotals(run.db(), 1, &totals), 0);
    ASSERT_NE(totals, nullptr);
    EXPECT_FALSE(totals->empty());
  }
  // Any write moves the counter: damage written after the check is met.
  host_.Exec("UPDATE journal_class_total SET credit_amount = credit_amount + 1");
  OtherRun run(host_);
  mvhost::DerivedFinding finding;
  ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
  EXPECT_EQ(finding.problem, "the totals per tax class and per account do not agree");
}

// A change carried in its notes is met by the check of every later run: the
// check made with the notes pending is kept as any other.
TEST_F(KeptReadsTest, AKeptCheckStandsWithChangedLinesPending) {
  host_.Exec("UPDATE journal_line SET debit_amount = debit_amount + 10000 WHERE line_id = 5");
  mvhost::DerivedFinding finding;
  ASSERT_EQ(mvhost::CheckDerivedData(host_.Db(), 1, &finding), 0);
  ASSERT_EQ(finding.problem, "");
  OtherRun run(host_);
  ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
  EXPECT_EQ(finding.problem, "");
  EXPECT_FALSE(run.Ran("journal_account_total")) << "the kept check was not taken";
}

TEST_F(KeptReadsTest, AKeptCheckOutlastsTheHostsBenignWritesButNotTheWriteAfterThem) {
  // Launches log every run and checks keep findings: the check kept before
  // must stand after them, or every launched run would check again.
  const auto runLog = [this] {
    mvhost::RunLogEntry entry;
    entry.result = "written";
    entry.via = "launch";
    std::string error;
    EXPECT_TRUE(mvhost::WriteRunLog(host_.Db(), {entry, entry}, &error)) << error;
  };
  const auto findings = [this] {
    const mvhost::StoredFindings::Stamp stamp = mvhost::StoredFindings::Take(host_.Db(), 1);
    EXPECT_TRUE(mvhost::StoredFindings().Write(host_.Db(), 1, 0, 0, stamp));
  };
  for (const std::function<void()>& benign :
       {std::function<void()>(runLog), std::function<void()>(findings)}) {
    const uint32_t before = Counter();
    benign();
    benign();
    ASSERT_EQ(Counter(), before + 2);
    {
      OtherRun run(host_);
      mvhost::DerivedFinding finding;
      ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
      EXPECT_FALSE(run.Ran("journal_account_total")) << "the kept check was not taken";
    }
    host_.Exec("UPDATE journal_class_total SET credit_amount = credit_amount + 1");
    benign();
    {
      OtherRun run(host_);
      mvhost::DerivedFinding finding;
      ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
      EXPECT_EQ(finding.problem, "the totals per tax class and per account do not agree");
    }
    host_.Exec("UPDATE journal_class_total SET credit_amount = credit_amount - 1");
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(host_.Db(), 1, &finding), 0);
    ASSERT_EQ(finding.problem, "");
  }
}

// The check hands the kept account list on to the accounts' read of the same
// run: a write to the accounts between the two must be seen.
TEST_F(KeptReadsTest, TheAccountsHandedOnByTheCheckFollowAWriteAfterIt) {
  host_.AddAccount({.accountId = 1, .code = "100", .name = "before", .classCode = 0x40888000});
  {
    // Keeps the check again with the account.
    OtherRun keeper(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(keeper.db(), 1, &finding), 0);
  }
  for (const char* write : {"", "UPDATE account SET name = 'after' WHERE account_id = 1"}) {
    OtherRun run(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
    if (*write != '\0') host_.Exec(write);
    const std::vector<mvhost::KeptAccount>* accounts = nullptr;
    ASSERT_EQ(mvhost::KeptAccounts(run.db(), 1, &accounts), 0);
    ASSERT_NE(accounts, nullptr);
    ASSERT_EQ(accounts->size(), 1U);
    EXPECT_EQ((*accounts)[0].nameText.cp932, *write != '\0' ? "after" : "before");
    EXPECT_EQ(run.Ran("FROM account "), *write != '\0') << "the handed list was not taken";
  }
}

TEST_F(KeptReadsTest, AKeptFileThatDoesNotReadBackIsNotTaken) {
  // Damage written in a commit recorded as benign (or not, where the file
  // claims the damage's counter): only the file's own checks can tell.
  constexpr const char* kFound = "the totals per tax class and per account do not agree";
  const struct {
    const char* name;
    bool benign;
    void (*damage)(std::string* bytes, uint32_t next);
    const char* problem;
  } kCases[] = {
      // Intact: it stands for the check (so the cases below are real).
      {"intact", true, [](std::string*, uint32_t) {}, ""},
      {"truncated", true, [](std::string* b, uint32_t) { b->pop_back(); }, kFound},
      {"extended", true, [](std::string* b, uint32_t) { b->push_back('\0'); }, kFound},
      {"a byte changed", true, [](std::string* b, uint32_t) { b->back() ^= 1; }, kFound},
      {"labelled with the damage's counter", false,
       [](std::string* b, uint32_t next) { std::memcpy(b->data() + 16, &next, 4); }, kFound},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const uint32_t next = Counter() + 1;
    std::string bytes = KeptFile();
    ASSERT_FALSE(bytes.empty());
    c.damage(&bytes, next);
    PutKeptFile(bytes);
    host_.Exec(
        std::string("BEGIN; UPDATE journal_class_total SET credit_amount = credit_amount + 1; "
                    "CREATE TABLE IF NOT EXISTS derived_benign_commit (counter INTEGER PRIMARY "
                    "KEY); ") +
        (c.benign ? "INSERT INTO derived_benign_commit VALUES (" + std::to_string(next) + "); "
                  : std::string()) +
        "COMMIT");
    OtherRun run(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
    EXPECT_EQ(finding.problem, c.problem);
    host_.Exec("UPDATE journal_class_total SET credit_amount = credit_amount - 1");
    ASSERT_EQ(mvhost::CheckDerivedData(host_.Db(), 1, &finding), 0);
    ASSERT_EQ(finding.problem, "");
  }
}

FilterCondition ClassCondition(int16_t op, uint32_t value, int16_t link) {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  c.fieldId = kFieldAccountClass;
  c.op = op;
  c.valueType = kValueAccountClass;
  c.value = static_cast<int32_t>(value);
  c.link = link;
  return c;
}

// A condition that holds where the registered group holds.
FilterCondition GroupCondition(const FilterGroupHandle& group, int16_t link) {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  c.fieldId = kFieldGroup;
  c.groupRef = group.ref();
  c.link = link;
  return c;
}

// The accounts of the walk, as ids, for a filter.
std::vector<int32_t> Walk(const StFINDINFO& filter) {
  auto* accounts = static_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindAccounts, 1));
  int32_t cursor = 0;
  accounts->GetCursor(&cursor);
  accounts->ReadyCursor(cursor);
  std::vector<int32_t> ids;
  StKAMOKUINFO account;
  int32_t status = 0;
  while ((status = accounts->WalkFind(&filter, &account, cursor)) == 0) {
    ids.push_back(account.accountId);
  }
  EXPECT_EQ(status, kHostEndOfData);
  accounts->ReleaseCursor(cursor);
  return ids;
}

// The ids the filter's SQL selects after `select` (which names data set 1),
// in the given order.
std::vector<int32_t> SqlIds(sqlite3* db, const StFINDINFO& filter, mvhost::FilterTarget target,
                            const std::string& select, const std::string& order) {
  mvhost::SqlFilter where;
  EXPECT_EQ(mvhost::TranslateFilter(&filter, target, &where), 0);
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = select + " AND " + where.sql + " ORDER BY " + order;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
  for (size_t i = 0; i < where.values.size(); ++i) {
    sqlite3_bind_int64(stmt, static_cast<int>(i + 1), where.values[i]);
  }
  std::vector<int32_t> ids;
  while (sqlite3_step(stmt) == SQLITE_ROW) ids.push_back(sqlite3_column_int(stmt, 0));
  sqlite3_finalize(stmt);
  return ids;
}

// The same filter's SQL over the account table.
std::vector<int32_t> Selected(sqlite3* db, const StFINDINFO& filter) {
  return SqlIds(db, filter, mvhost::FilterTarget::kAccount,
                "SELECT a.account_id FROM account a WHERE a.data_no = 1", "a.account_id");
}

TEST_F(KeptReadsTest, TheAccountWalkSelectsWhatItsSqlSelectsAndFollowsTheStore) {
  const uint32_t kClasses[] = {0x10000000, 0x20400000, 0x20800000, 0x40888000, 0x80000000};
  for (int32_t id = 1; id <= 10; ++id) {
    host_.AddAccount({.accountId = id,
                      .code = std::to_string(100 + id),
                      .name = "A" + std::to_string(id),
                      .classCode = kClasses[id % 5]});
  }
  host_.SelectForUser("U01", 1);
  FilterCondition range[mvhost::kMaxGroupConditions];
  std::memset(range, 0, sizeof(range));
  range[0] = ClassCondition(kOpGreaterOrEqual, 0x20400000, kLinkAnd);
  range[1] = ClassCondition(kOpLess, 0x40888000, kLinkLast);
  const FilterGroupHandle group(range);
  const FilterCondition grouped = GroupCondition(group, kLinkOr);
  const std::vector<std::vector<FilterCondition>> kFilters = {
      {},
      {ClassCondition(kOpEqual, 0x40888000, kLinkOr),
       ClassCondition(kOpEqual, 0x10000000, kLinkLast)},
      // Left to right: (a and b) or c.
      {ClassCondition(kOpGreaterOrEqual, 0x20800000, kLinkAnd),
       ClassCondition(kOpLessOrEqual, 0x40888000, kLinkOr),
       ClassCondition(kOpEqual, 0x80000000, kLinkLast)},
      {grouped, ClassCondition(kOpEqual, 0x10000000, kLinkLast)},
  };
  for (size_t i = 0; i < kFilters.size(); ++i) {
    SCOPED_TRACE(i);
    StFINDINFO filter;
    std::memset(&filter, 0, sizeof(filter));
    for (size_t c = 0; c < kFilters[i].size(); ++c) filter.conditions[c] = kFilters[i][c];
    EXPECT_EQ(Walk(filter), Selected(host_.Db(), filter));
  }
  // An account another connection adds is walked next time.
  host_.AddAccount({.accountId = 11, .code = "999", .name = "B", .classCode = 0x10000000});
  StFINDINFO all;
  std::memset(&all, 0, sizeof(all));
  EXPECT_EQ(Walk(all).size(), 11U);
}

FilterCondition DateCondition(int16_t op, int32_t date, int16_t link) {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  c.fieldId = kFieldAssetDate;
  c.op = op;
  c.valueType = kValueInt32;
  c.value = date;
  c.link = link;
  return c;
}

// The assets handed out for a filter, as ids; the status of MoveReady.
int32_t AssetWalk(const StFINDINFO& filter, std::vector<int32_t>* ids) {
  ClRuleGenkashokyaku rule;
  const int32_t status = rule.MoveReady(&filter, 0, 0);
  StKOTEISHISANINFO asset;
  for (int32_t i = 0; status == 0 && rule.Move(i, &asset, nullptr, nullptr) == 0; ++i) {
    ids->push_back(int32_t{asset.assetId});
  }
  rule.MoveFinish();
  return status;
}

// The same filter's SQL over the asset table, in the host's order.
std::vector<int32_t> SelectedAssets(sqlite3* db, const StFINDINFO& filter) {
  return SqlIds(db, filter, mvhost::FilterTarget::kFixedAsset,
                "SELECT f.asset_id FROM fixed_asset f WHERE f.data_no = 1",
                "f.acquisition_date, f.asset_id");
}

TEST_F(KeptReadsTest, TheFixedAssetsKeptSelectWhatTheirSqlSelectsAndFollowTheStore) {
  // Ids out of date order, two on one date; asset 9's name Shift_JIS lacks.
  const int32_t kDates[] = {20140901, 20140401, 20150331, 20140901, 20141015, 20140331, 20150101};
  for (int32_t id = 1; id <= 7; ++id) {
    host_.AddAsset({.assetId = 8 - id,
                    .code = "K" + std::to_string(id),
                    .name = "A" + std::to_string(id),
                    .acquisitionDate = kDates[id - 1],
                    .acquisitionAmount = int64_t{id} * 1000});
  }
  host_.AddAsset({.assetId = 9, .code = "K9", .name = "X", .acquisitionDate = 20160101});
  host_.Exec("UPDATE fixed_asset SET name = '\xF0\x9F\x98\x80' WHERE asset_id = 9");
  host_.SelectForUser("U01", 1);
  {
    // The check kept again holds the assets; a run after it reads none
    // through SQL.
    OtherRun keeper(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(keeper.db(), 1, &finding), 0);
  }
  {
    OtherRun run(host_);
    mvhost::DerivedFinding finding;
    ASSERT_EQ(mvhost::CheckDerivedData(run.db(), 1, &finding), 0);
    mvhost::KeptAssetList kept;
    ASSERT_EQ(mvhost::KeptAssets(run.db(), 1, &kept), 0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->size(), 8U);
    EXPECT_FALSE(run.Ran("FROM fixed_asset")) << "the kept assets were not taken";
  }
  {
    // Damaged, the assets' file is not taken.
    const std::string path = KeptPath() + ".assets";
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // The first asset's amount: after the file's header (40 bytes), the
    // list's (16) and the asset's id, kind and date.
    ASSERT_GT(bytes.size(), 68U);
    bytes[68] ^= 1;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    OtherRun run(host_);
    mvhost::KeptAssetList kept;
    ASSERT_EQ(mvhost::KeptAssets(run.db(), 1, &kept), 0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->size(), 8U);
    EXPECT_TRUE(run.Ran("FROM fixed_asset"));
  }
  FilterCondition range[mvhost::kMaxGroupConditions];
  std::memset(range, 0, sizeof(range));
  range[0] = DateCondition(kOpGreaterOrEqual, 20140901, kLinkAnd);
  range[1] = DateCondition(kOpLess, 20150101, kLinkLast);
  const FilterGroupHandle group(range);
  const FilterCondition grouped = GroupCondition(group, kLinkOr);
  const std::vector<std::vector<FilterCondition>> kFilters = {
      {DateCondition(kOpGreaterOrEqual, 20140401, kLinkAnd),
       DateCondition(kOpLessOrEqual, 20150331, kLinkLast)},
      {DateCondition(kOpEqual, 20140901, kLinkOr), DateCondition(kOpLess, 20140401, kLinkLast)},
      // Left to right: (a and b) or c.
      {DateCondition(kOpGreaterOrEqual, 20141015, kLinkAnd),
       DateCondition(kOpLessOrEqual, 20150101, kLinkOr),
       DateCondition(kOpEqual, 20140331, kLinkLast)},
      {grouped, DateCondition(kOpEqual, 20150331, kLinkLast)},
  };
  for (size_t i = 0; i < kFilters.size(); ++i) {
    SCOPED_TRACE(i);
    StFINDINFO filter;
    std::memset(&filter, 0, sizeof(filter));
    for (size_t c = 0; c < kFilters[i].size(); ++c) filter.conditions[c] = kFilters[i][c];
    std::vector<int32_t> ids;
    ASSERT_EQ(AssetWalk(filter, &ids), 0);
    EXPECT_EQ(ids, SelectedAssets(host_.Db(), filter));
    EXPECT_FALSE(ids.empty());
  }
  // The asset whose name fails is refused when selected, as before.
  StFINDINFO all;
  std::memset(&all, 0, sizeof(all));
  std::vector<int32_t> ids;
  EXPECT_EQ(AssetWalk(all, &ids), mvhost::kErrBadStoreText);
  // A change another connection makes is handed out next time.
  host_.Exec("DELETE FROM fixed_asset WHERE asset_id = 9");
  host_.Exec("UPDATE fixed_asset SET acquisition_date = 20140402 WHERE asset_id = 1");
  ids.clear();
  ASSERT_EQ(AssetWalk(all, &ids), 0);
  EXPECT_EQ(ids, (std::vector<int32_t>{2, 6, 1, 4, 7, 3, 5}));
  EXPECT_EQ(ids, SelectedAssets(host_.Db(), all));
}

}  // namespace
}  // namespace taxlink::testing
