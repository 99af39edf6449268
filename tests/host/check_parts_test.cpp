// The bookkeeping check from the parts kept per chunk: after any change it
// lists and counts what the walk of every line gives, and it reads only the
// chunks that changed.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/StoredDataCheck.h"
#include "tests/support/HostToolHome.h"

namespace {

// Accounts for every rule that looks across lines: an account whose class
// feeds no refund line (681), a fixed-asset account (212).
const char kBooks[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 9, "data_id": "KASHI", "company_name": "Kashi Works",
               "period_start": "2014-04-01", "period_end": "2015-03-31", "entity_kind": 1},
  "tax_settings": {"filing_class": 2, "rounding_mode": 1},
  "tax_rates": [8, 5],
  "account_classes": [{"code": "0x01100000", "name": "Cash"},
                      {"code": "0x01800000", "name": "Fixed assets", "total": true},
                      {"code": "0x60880000", "name": "Sales", "total": true},
                      {"code": "0x40884400", "name": "Cost of sales", "total": true},
                      {"code": "0x45000000", "name": "Own purchases"}],
  "accounts": [{"code": "111", "name": "Cash", "class": "0x01100000"},
               {"code": "212", "name": "Machines", "class": "0x01800000"},
               {"code": "511", "name": "Sales", "class": "0x60880000", "balance_side": "credit"},
               {"code": "611", "name": "Purchases", "class": "0x40884400"},
               {"code": "681", "name": "Materials", "class": "0x45000000"}],
  "journals": [],
  "fixed_assets": [{"code": "M1", "name": "Lathe", "acquired": "2014-06-10", "amount": 300000}]
})";

// 5000 lines over the year in journals of three lines (so that journals
// cross the chunks' borders), with findings of every kind spread over them:
// taxes that do not match, import classes, unbalanced journals, purchases
// on an account without a refund line and on the fixed-asset account.
const char kLinesSql[] =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000), "
    "l(i, m) AS (SELECT i, 1 + (i - 1) * 12 / 5000 FROM n) "
    "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, debit_account, "
    "debit_amount, debit_tax, debit_tax_class, credit_account, credit_amount, credit_tax_class, "
    "tax_rate) SELECT 9, i, (i + 2) / 3, "
    "(2014 + (m >= 10)) * 10000 + ((m + 2) % 12 + 1) * 100 + 10, m, "
    "(SELECT account_id FROM account WHERE code = CASE WHEN i % 11 = 0 THEN '681' "
    "WHEN i % 97 = 0 THEN '212' ELSE '611' END), 100000, "
    "CASE WHEN i % 7 = 0 THEN 5000 ELSE 8000 END, CASE WHEN i % 13 = 0 THEN 31 ELSE 21 END, "
    "(SELECT account_id FROM account WHERE code = '111'), "
    "CASE WHEN i % 15 = 0 THEN 107000 ELSE 108000 END, 0, 800 FROM l";

class CheckPartsTest : public taxlink_test::HostToolHome {
 protected:
  void SetUp() override {
    HostToolHome::SetUp();
    int32_t no = 0;
    std::string error;
    ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBooks, "kashi.json", home_, true, &no, &error))
        << error;
    // Built again from the lines, so that they lie in chunks, not in notes.
    Exec(std::string(kLinesSql) + "; UPDATE journal_derived_state SET built = 0");
    Check({0, 0}, 0);  // builds them, and makes the tables of kept findings
  }

  void Exec(const std::string& sql) {
    std::string error;
    ASSERT_TRUE(store_.Exec(sql.c_str(), &error)) << error;
  }

  struct Listed {
    std::vector<std::string> findings;
    int64_t total = 0;
  };
  // A check that lists at most `wanted` findings (0: all of them).
  Listed Check(std::pair<int, int> months, size_t wanted) {
    Listed listed;
    mvhost::CheckCounts counts;
    mvhost::CheckRequest request{9, months.first, months.second};
    std::string error;
    mvhost::BookkeepingCheck::Wants wants;
    if (wanted > 0) wants = [&] { return listed.findings.size() < wanted; };
    EXPECT_EQ(mvhost::CheckStoredDataSet(
                  store_, request,
                  [&](const mvhost::CheckFinding& f) { listed.findings.push_back(f.Text()); },
                  &error, wants, &counts),
              mvhost::CheckStatus::kChecked)
        << error;
    listed.total = counts.Total();
    return listed;
  }

  // The walk of every line (no findings kept), then the check from the
  // parts and again from what that kept: the same first findings and count.
  void ExpectPartsGiveTheWalk(const char* after) {
    SCOPED_TRACE(after);
    for (const std::pair<int, int>& months : {std::pair{0, 0}, {7, 9}, {1, 3}}) {
      SCOPED_TRACE(std::to_string(months.first) + "-" + std::to_string(months.second));
      Exec("DELETE FROM check_findings");
      const Listed walked = Check(months, 0);
      ASSERT_GT(walked.findings.size(), 200u);
      Exec("DELETE FROM check_findings");
      for (const size_t wanted : {size_t{200}, size_t{1000}}) {
        const Listed fromParts = Check(months, wanted);
        EXPECT_EQ(fromParts.total, walked.total);
        const size_t listed = std::min(wanted, walked.findings.size());
        EXPECT_EQ(fromParts.findings,
                  std::vector<std::string>(walked.findings.begin(),
                                           walked.findings.begin() + static_cast<long>(listed)));
      }
    }
  }
};

TEST_F(CheckPartsTest, AfterAnyChangeThePartsGiveWhatTheWalkGives) {
  ExpectPartsGiveTheWalk("the first check");
  const std::pair<const char*, const char*> changes[] = {
      {"a line's tax", "UPDATE journal_line SET debit_tax = 1 WHERE line_id = 2500"},
      {"a journal balanced across a chunk's border",
       "UPDATE journal_line SET credit_amount = 108000 WHERE line_id = 1020"},
      {"an early finding gone", "UPDATE journal_line SET debit_tax = 8000 WHERE line_id = 7"},
      {"a line removed", "DELETE FROM journal_line WHERE line_id = 30"},
      {"1 % of the lines",
       "UPDATE journal_line SET debit_tax_class = 31 WHERE line_id % 100 = 42"},
      {"a line added at the end",
       "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, debit_account, "
       "debit_amount, debit_tax, debit_tax_class, tax_rate) VALUES (9, 6000, 3000, 20150310, 12, "
       "(SELECT account_id FROM account WHERE code = '681'), 1000, 80, 21, 800)"},
      {"the changes folded into their chunks", "UPDATE journal_derived_state SET built = 0"},
      {"a line changed while its derived data wait to be built again",
       "UPDATE journal_derived_state SET built = 0; "
       "UPDATE journal_line SET debit_tax = 2 WHERE line_id = 4700"},
      {"an account's class", "UPDATE account SET class_code = 1 WHERE code = '681'"},
      {"the parts cut short", "UPDATE check_parts SET parts = substr(parts, 1, 1000)"},
      {"an amount too large to add in parts",
       "UPDATE journal_line SET debit_amount = 1 << 50 WHERE line_id = 4000"},
      {"a journal out of order", "UPDATE journal_line SET journal_no = 1 WHERE line_id = 4500"},
  };
  for (const auto& [name, sql] : changes) {
    Exec(sql);
    ExpectPartsGiveTheWalk(name);
  }
}

// After a change, a chunk nobody changed is not read: its damage, which
// the walk of every line meets, goes unseen until that chunk changes.
TEST_F(CheckPartsTest, OnlyTheChangedChunksAreRead) {
  const std::pair<int, int> whole{0, 0};
  Exec("DELETE FROM check_findings");
  const Listed before = Check(whole, 1000);
  // The first line's debit amount in chunk 3 changed in place: only a walk
  // that reads the chunk meets it (its sum is not what the totals say).
  Exec("UPDATE journal_chunk SET lines = CAST(substr(lines, 1, " +
       std::to_string(offsetof(mvhost::PackedLine, debitAmount)) +
       ") || x'0100000000000000' || substr(lines, " +
       std::to_string(offsetof(mvhost::PackedLine, debitAmount) + 9) +
       ") AS BLOB) WHERE chunk_no = 3");
  // One more finding (an import class) in chunk 2.
  Exec("UPDATE journal_line SET debit_tax_class = 31 WHERE line_id = 2500");
  const Listed after = Check(whole, 1000);
  EXPECT_EQ(after.total, before.total + 1);
  EXPECT_EQ(after.findings.size(), 1000u);
  Exec("UPDATE journal_line SET debit_tax_class = 31 WHERE line_id = 3500");
  mvhost::CheckRequest request{9, 0, 0};
  std::string error;
  size_t listed = 0;
  EXPECT_EQ(mvhost::CheckStoredDataSet(
                store_, request, [&](const mvhost::CheckFinding&) { ++listed; }, &error,
                [&] { return listed < 10; }),
            mvhost::CheckStatus::kFailed);
}

}  // namespace
