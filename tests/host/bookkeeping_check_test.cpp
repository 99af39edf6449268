// The bookkeeping check: one data set per rule with the exact finding, the
// examples with only their true findings, and the months a run takes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <vector>

#include "aggregation/AggregationFilter.h"
#include "conditions/MonthRangeCheck.h"
#include "conditions/PeriodMonthRange.h"
#include "host/RefundStatementClasses.h"
#include "mvhost/lib/CheckMonths.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/DataValues.h"
#include "mvhost/lib/MonthOrder.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/SqlStatement.h"
#include "mvhost/lib/StoredDataCheck.h"
#include "mvhost/lib/StoredFindings.h"
#include "tests/support/HostToolHome.h"
#include "tests/support/SheetFindingsJson.h"

namespace {

using Json = nlohmann::ordered_json;

// A small corporation under standard taxation whose books are right: a
// sale, a purchase and a machine with its fixed-asset record.
const char kClean[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 9, "data_id": "HINOKI", "company_name": "Hinoki Works",
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
  "journals": [
    {"journal": 1, "date": "2014-04-10", "month": 1, "rate": 8,
     "debit": {"account": "111", "amount": 108000, "tax_class": 0},
     "credit": {"account": "511", "amount": 100000, "tax": 8000, "tax_class": 1}},
    {"journal": 2, "date": "2014-05-12", "month": 2, "rate": 8,
     "debit": {"account": "611", "amount": 50000, "tax": 4000, "tax_class": 21},
     "credit": {"account": "111", "amount": 54000, "tax_class": 0}},
    {"journal": 3, "date": "2014-06-10", "month": 3, "rate": 8,
     "debit": {"account": "212", "amount": 300000, "tax": 24000, "tax_class": 23},
     "credit": {"account": "111", "amount": 324000, "tax_class": 0}}],
  "fixed_assets": [{"code": "M1", "name": "Lathe", "acquired": "2014-06-10", "amount": 300000}]
})";

// A fourth journal of one line, dated 2014-07-15 (month 4) at 8 %.
Json Journal4(const char* debit, const char* credit) {
  return Json::parse(std::string(R"({"journal": 4, "date": "2014-07-15", "month": 4, "rate": 8,
                                     "debit": )") +
                     debit + R"(, "credit": )" + credit + "}");
}

struct RuleCase {
  const char* name;
  Json patch;  // merged into the clean data set (arrays are replaced)
  std::vector<std::string> findings;
};

Json WithJournal4(const char* debit, const char* credit) {
  Json journals = Json::parse(kClean)["journals"];
  journals.push_back(Journal4(debit, credit));
  return Json{{"journals", journals}};
}

std::vector<RuleCase> RuleCases() {
  const std::string line4 = "data set 9:journal 4/line 4: ";
  return {
      {"TaxMismatch",
       WithJournal4(R"({"account": "611", "amount": 100000, "tax": 5000, "tax_class": 21})",
                    R"({"account": "111", "amount": 105000, "tax_class": 0})"),
       {line4 + "tax-mismatch: debit 611: tax 5000 on 100000 at 8 % should be 8000; correct the "
                "tax, the amount or the rate"}},
      // Amount times rate past 64 bits: the expected tax is still exact.
      {"TaxMismatchPast64Bits",
       WithJournal4(
           R"({"account": "611", "amount": 3000000000000, "tax": 240000000002, "tax_class": 21})",
           R"({"account": "111", "amount": 3240000000002, "tax_class": 0})"),
       {line4 + "tax-mismatch: debit 611: tax 240000000002 on 3000000000000 at 8 % should be "
                "240000000000; correct the tax, the amount or the rate"}},
      {"TaxableWithoutTax",
       WithJournal4(R"({"account": "611", "amount": 800000, "tax_class": 21})",
                    R"({"account": "111", "amount": 800000, "tax_class": 0})"),
       {line4 + "taxable-without-tax: debit 611: no tax on 800000 at 8 % under tax class 21 "
                "(taxable purchases for taxable sales), which takes 64000; enter the tax, or "
                "book the line under a class without tax"}},
      // A purchase whose tax class was left empty.
      {"TaxOnAnEmptyClass",
       WithJournal4(R"({"account": "611", "amount": 800000, "tax": 64000, "tax_class": 0})",
                    R"({"account": "111", "amount": 864000, "tax_class": 0})"),
       {line4 + "tax-on-untaxed-class: debit 611: tax 64000 under tax class 0 (outside the "
                "scope), which takes no tax; book the line under the taxable class it belongs "
                "to, or remove the tax"}},
      {"TaxOnNonTaxablePurchases",
       WithJournal4(R"({"account": "611", "amount": 1000, "tax": 80, "tax_class": 24})",
                    R"({"account": "111", "amount": 1080, "tax_class": 0})"),
       {line4 + "tax-on-untaxed-class: debit 611: tax 80 under tax class 24 (non-taxable "
                "purchases), which takes no tax; book the line under the taxable class it "
                "belongs to, or remove the tax"}},
      // A refund of a sale booked under the sales class.
      {"SalesClassOnTheDebitSide",
       WithJournal4(R"({"account": "511", "amount": 540000, "tax": 43200, "tax_class": 1})",
                    R"({"account": "111", "amount": 583200, "tax_class": 0})"),
       {line4 + "unusual-side: debit 511: tax class 1 (taxable sales) on the debit side, where "
                "it subtracts from the figures; book sales returns and allowances under tax "
                "classes 6 to 9, or correct the side"}},
      {"PurchaseClassOnTheCreditSide",
       WithJournal4(R"({"account": "111", "amount": -1080, "tax_class": 0})",
                    R"({"account": "611", "amount": -1000, "tax": -80, "tax_class": 21})"),
       {line4 + "unusual-side: credit 611: tax class 21 (taxable purchases for taxable sales) on "
                "the credit side, where it subtracts from the figures; book purchase returns and "
                "allowances under tax classes 25 to 27, or correct the side"}},
      {"AccountClassWithoutRefundLine",
       WithJournal4(R"({"account": "681", "amount": 70000, "tax": 5600, "tax_class": 21})",
                    R"({"account": "111", "amount": 75600, "tax_class": 0})"),
       {line4 + "no-refund-line: account 681 (Materials) of class 0x45000000 feeds no line of "
                "the refund statement: 1 line of taxable purchases, 70000 in all, is left out of "
                "it; give the account a class that feeds one (docs/data-format.md lists them)"}},
      // Below a class whose total the corporate statement takes.
      {"OwnClassBelowATotal",
       [] {
         Json patch =
             WithJournal4(R"({"account": "682", "amount": 70000, "tax": 5600, "tax_class": 21})",
                          R"({"account": "111", "amount": 75600, "tax_class": 0})");
         Json clean = Json::parse(kClean);
         patch["account_classes"] = clean["account_classes"];
         patch["account_classes"].push_back(
             Json::parse(R"({"code": "0x40884401", "name": "Parts", "parent": "0x40884400"})"));
         patch["accounts"] = clean["accounts"];
         patch["accounts"].push_back(
             Json::parse(R"({"code": "682", "name": "Parts", "class": "0x40884401"})"));
         return patch;
       }(),
       {}},
      {"MachineWithoutRecord",
       WithJournal4(R"({"account": "212", "amount": 500000, "tax": 40000, "tax_class": 23})",
                    R"({"account": "111", "amount": 540000, "tax_class": 0})"),
       {line4 + "asset-not-listed: debit 212: a purchase of 500000 on 2014-07-15 on this "
                "fixed-asset account has no fixed_assets record, so the refund statement leaves "
                "it out; add the asset to fixed_assets"}},
      {"RecordWithoutPurchase",
       Json{{"fixed_assets",
             Json::parse(R"([{"code": "M1", "name": "Lathe", "acquired": "2014-06-10",
                              "amount": 324000},
                             {"code": "M2", "name": "Drill", "acquired": "2014-09-01",
                              "amount": 200000},
                             {"code": "D1", "name": "Start-up costs", "kind": 9,
                              "acquired": "2014-04-01", "amount": 90000},
                             {"code": "M0", "name": "Old press", "acquired": "2013-05-01",
                              "amount": 200000}])")}},
       {"data set 9:fixed asset M2: asset-not-booked: fixed asset M2 (Drill), 200000 acquired "
        "2014-09-01, has no purchase on a fixed-asset account in the journals; book its "
        "purchase, or correct the record's date or amount"}},
      {"TenPercentLine",
       Json::parse(R"({"data_set": {"period_start": "2019-04-01", "period_end": "2020-03-31"},
                       "tax_rates": [10, 8], "fixed_assets": [],
                       "journals": [{"journal": 1, "date": "2019-10-15", "month": 7,
                         "debit": {"account": "111", "amount": 110000, "tax_class": 0},
                         "credit": {"account": "511", "amount": 100000, "tax": 10000,
                                    "tax_class": 1}}]})"),
       {"data set 9:journal 1/line 1: rate-refused: a line at the 10 % rate on 2019-10-15, "
        "which the filing application does not take: a run over these months is refused; "
        "leave these months out, or correct the rate or the date"}},
      {"SixthTypeBeforeApril2015",
       Json::parse(R"({"tax_settings": {"filing_class": 1}, "journals": [
                       {"journal": 1, "date": "2014-04-10", "month": 1, "rate": 8,
                        "business_type": 6,
                        "debit": {"account": "111", "amount": 108000, "tax_class": 0},
                        "credit": {"account": "511", "amount": 100000, "tax": 8000,
                                   "tax_class": 1}}], "fixed_assets": []})"),
       {"data set 9:journal 1/line 1: sixth-type-refused: business type 6 under simplified "
        "taxation in months that start before 2015-04-01: a run over these months is refused; "
        "correct the business type (1 to 5 in these months)"}},
      {"UndeterminedImportClass",
       WithJournal4(R"({"account": "611", "amount": 200000, "tax": 16000, "tax_class": 31})",
                    R"({"account": "111", "amount": 216000, "tax_class": 0})"),
       {line4 + "import-class-left-out: debit 611: tax class 31 (imports not yet split) is left "
                "out of the figures; split it into its national (41 to 46) and local (34, 38) "
                "import tax classes"}},
      {"UnbalancedJournal",
       WithJournal4(R"({"account": "111", "amount": 1000, "tax_class": 0})",
                    R"({"account": "511", "amount": 1000, "tax": 80, "tax_class": 1})"),
       {line4 + "unbalanced-journal: the debit total 1000 and the credit total 1080 differ by "
                "80; correct the lines so that both sides agree"}},
  };
}

class BookkeepingCheckTest : public taxlink_test::HostToolHome {
 protected:
  std::vector<std::string> Check(int32_t dataNo, int startMonth = 0, int endMonth = 0) {
    mvhost::CheckRequest request;
    request.dataNo = dataNo;
    request.startMonth = startMonth;
    request.endMonth = endMonth;
    std::vector<std::string> findings;
    std::string error;
    mvhost::CheckStatus status = mvhost::CheckStoredDataSet(
        store_, request, [&](const mvhost::CheckFinding& f) { findings.push_back(f.Text()); },
        &error);
    EXPECT_EQ(status, mvhost::CheckStatus::kChecked) << error;
    return findings;
  }

  void Import(const Json& data) {
    int32_t no = 0;
    std::string error;
    ASSERT_TRUE(
        mvhost::ImportDataSetText(store_, data.dump(), "hinoki.json", home_, true, &no, &error))
        << error;
  }
};

TEST_F(BookkeepingCheckTest, CleanBooksGiveNoFinding) {
  Import(Json::parse(kClean));
  EXPECT_EQ(Check(9), std::vector<std::string>{});
}

TEST_F(BookkeepingCheckTest, EachRuleNamesItsLine) {
  for (const RuleCase& c : RuleCases()) {
    Json data = Json::parse(kClean);
    data.merge_patch(c.patch);
    Import(data);
    EXPECT_EQ(Check(9), c.findings) << c.name;
  }
}

// Findings kept in the store are read back only under the rules they were
// made by: a change of the rules' texts above must come with a new
// StoredFindings::kRules, or stores would show the old texts.
TEST(StoredFindingsRulesTest, TextsChangeOnlyWithTheRulesNumber) {
  uint64_t digest = 0xcbf29ce484222325ULL;
  for (const RuleCase& c : RuleCases()) {
    for (const std::string& finding : c.findings) {
      for (const char byte : finding + "\n") {
        digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
      }
    }
  }
  const std::pair<int64_t, uint64_t> rulesAndTexts{mvhost::StoredFindings::kRules, digest};
  EXPECT_EQ(rulesAndTexts, (std::pair<int64_t, uint64_t>{3, 7647109424473662752ULL}))
      << "the findings' texts changed: raise StoredFindings::kRules and set both here";
}

// The examples' books are right but for two fixed-asset records whose
// purchases are not in the journals.
TEST_F(BookkeepingCheckTest, ExamplesGiveOnlyTheirTrueFindings) {
  struct {
    const char* file;
    int32_t dataNo;
    std::vector<std::string> findings;
  } examples[] = {
      {"standard-corporation/sakura.json", 1, {}},
      {"simplified-corporation/midori.json",
       2,
       {"data set 2:fixed asset K001: asset-not-booked: fixed asset K001 (\xE6\x9C\xA8\xE5\xB7\xA5"
        "\xE6\xA9\x9F\xE6\xA2\xB0), 1650000 acquired 2014-07-15, has no purchase on a "
        "fixed-asset account in the journals; book its purchase, or correct the record's date "
        "or amount"}},
      {"individual/aoba.json",
       3,
       {"data set 3:fixed asset R001: asset-not-booked: fixed asset R001 (\xE3\x82\xA2\xE3\x83"
        "\x91\xE3\x83\xBC\xE3\x83\x88\xE5\xA4\x96\xE5\xA3\x81\xE6\x94\xB9\xE4\xBF\xAE), 1800000 "
        "acquired 2014-10-20, has no purchase on a fixed-asset account in the journals; book "
        "its purchase, or correct the record's date or amount"}},
  };
  for (const auto& example : examples) {
    int32_t no = 0;
    std::string error;
    ASSERT_TRUE(mvhost::ImportDataSetFile(
        store_, std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example.file, false, &no, &error))
        << error;
    EXPECT_EQ(Check(example.dataNo), example.findings) << example.file;
  }
}

// docs/mvhost.md lists every rule, and shows the findings of the two that
// its example session cannot show as the check makes them; docs/data-format.md
// lists the account classes of the refund statements.
TEST_F(BookkeepingCheckTest, DocsShowEveryRuleAndClass) {
  const std::string format = ReadFile(std::string(TAXLINK_SOURCE_DIR) + "/docs/data-format.md");
  for (const RefundStatementClass& entry : kRefundStatementClasses) {
    const std::string code = mvhost::FormatClassCodeText(entry.code);
    EXPECT_NE(format.find("| `" + code + "` |"), std::string::npos) << code;
  }
  const std::string doc = ReadFile(std::string(TAXLINK_SOURCE_DIR) + "/docs/mvhost.md");
  for (size_t i = 0; i < mvhost::kCheckRuleCount; ++i) {
    const std::string id = mvhost::CheckRuleId(static_cast<mvhost::CheckRule>(i));
    EXPECT_NE(doc.find("| `" + id + "` |"), std::string::npos) << id;
  }
  for (const RuleCase& c : RuleCases()) {
    const std::string name = c.name;
    if (name == "TenPercentLine" || name == "SixthTypeBeforeApril2015") {
      EXPECT_NE(doc.find(c.findings.front() + "\n"), std::string::npos) << c.name;
    }
  }
}

// The clean books with a tax that does not match in July and a fixed-asset
// record of September without its purchase.
Json MistakesFromJuly() {
  Json data = Json::parse(kClean);
  data.merge_patch(
      WithJournal4(R"({"account": "611", "amount": 100000, "tax": 5000, "tax_class": 21})",
                   R"({"account": "111", "amount": 105000, "tax_class": 0})"));
  data["fixed_assets"].push_back(
      Json::parse(R"({"code": "M2", "name": "Drill", "acquired": "2014-09-01", "amount": 1})"));
  return data;
}

// Lines outside the months are not looked at; a record outside them is
// not missed.
TEST_F(BookkeepingCheckTest, MonthsLimitTheLinesAndRecords) {
  Import(MistakesFromJuly());
  EXPECT_EQ(Check(9, 4, 6), std::vector<std::string>{});
  EXPECT_EQ(Check(9, 7, 7).size(), 1u);
  EXPECT_EQ(Check(9, 7, 9).size(), 2u);
  mvhost::CheckRequest request{9, 9, 4};
  std::string error;
  EXPECT_EQ(mvhost::CheckStoredDataSet(
                store_, request, [](const mvhost::CheckFinding&) {}, &error),
            mvhost::CheckStatus::kBadMonths);
  EXPECT_EQ(error,
            "months 9-4: the period 2014-04-01..2015-03-31 of data set 9 runs from month 4 to "
            "month 3; give two of its months, the first not after the second");
}

// The check reads the packed lines the walks read: damage in them fails
// the check with the host's message, never a check of other lines.
TEST_F(BookkeepingCheckTest, DamagedPackedLinesFailTheCheck) {
  Import(MistakesFromJuly());
  std::string error;
  ASSERT_TRUE(store_.Exec(("UPDATE journal_chunk SET lines = CAST(substr(lines, 1, " +
                           std::to_string(offsetof(mvhost::PackedLine, monthKind)) +
                           ") || x'0D000000' || substr(lines, " +
                           std::to_string(offsetof(mvhost::PackedLine, monthKind) + 5) +
                           ") AS BLOB) WHERE data_no = 9 AND chunk_no = 0")
                              .c_str(),
                          &error))
      << error;
  mvhost::CheckRequest request{9, 0, 0};
  size_t findings = 0;
  EXPECT_EQ(mvhost::CheckStoredDataSet(
                store_, request, [&](const mvhost::CheckFinding&) { ++findings; }, &error),
            mvhost::CheckStatus::kFailed);
  EXPECT_EQ(error.rfind("cannot read the journal lines of data set 9: ", 0), 0u) << error;
  EXPECT_NE(error.find("data set 9: chunk 0: packed line 1 has month kind 13"), std::string::npos)
      << error;
  EXPECT_NE(error.find("-2015"), std::string::npos) << error;
  EXPECT_EQ(findings, 0u);
}

// Lines edited into the store with values no import writes: a rate of
// -100 % in books that include tax (the expected tax would divide by zero)
// and a tax class past 255 (not the class of its low byte, 24, which takes
// no tax). Next to them, the tax a yen off and just past it.
TEST_F(BookkeepingCheckTest, EditedLinesAreCheckedAsTheyAre) {
  struct Case {
    const char* name;
    const char* settings;  // merged into tax_settings
    const char* edit;      // on journal 2 (611 at 8 %: 50000 with tax 4000)
    std::vector<std::string> findings;
  };
  const std::string line2 = "data set 9:journal 2/line 2: ";
  const std::vector<Case> cases = {
      {"RateMinus100Included", R"({"tax_included": true})", "tax_rate = -10000", {}},
      {"ClassPast255", "{}", "debit_tax_class = 280", {}},
      {"TaxAYenOff", "{}", "debit_tax = 40010000, credit_amount = 540010000", {}},
      {"TaxJustPastAYen",
       "{}",
       "debit_tax = 40010001, credit_amount = 540010001",
       {line2 + "tax-mismatch: debit 611: tax 4001.0001 on 50000 at 8 % should be 4000; correct "
                "the tax, the amount or the rate"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Json data = Json::parse(kClean);
    data["tax_settings"].merge_patch(Json::parse(c.settings));
    Import(data);
    std::string error;
    ASSERT_TRUE(store_.Exec(
        (std::string("UPDATE journal_line SET ") + c.edit + " WHERE data_no = 9 AND journal_no = 2")
            .c_str(),
        &error))
        << error;
    EXPECT_EQ(Check(9), c.findings);
  }
}

// A journal found by the query over the stored lines (the journals out of
// journal order) names its first line by its place among the lines, as the
// other findings do, also once a line before it was removed.
TEST_F(BookkeepingCheckTest, JournalsOutOfOrderNameTheirLineByItsPlace) {
  Json data = Json::parse(kClean);
  data.merge_patch(WithJournal4(R"({"account": "111", "amount": 1000, "tax_class": 0})",
                                R"({"account": "511", "amount": 1000, "tax": 80, "tax_class": 1})"));
  Import(data);
  std::string error;
  ASSERT_TRUE(store_.Exec("DELETE FROM journal_line WHERE data_no = 9 AND line_id = 1; "
                          "UPDATE journal_line SET journal_no = 99 WHERE data_no = 9 AND "
                          "line_id = 2",
                          &error))
      << error;
  EXPECT_EQ(Check(9), std::vector<std::string>{
                          "data set 9:journal 4/line 3: unbalanced-journal: the debit total 1000 "
                          "and the credit total 1080 differ by 80; correct the lines so that both "
                          "sides agree"});
}

// Accounts numbered apart from the import's 1, 2, 3 ... are found all the
// same, near or far apart; a line naming an account the data set lacks is
// refused.
TEST_F(BookkeepingCheckTest, AccountsAreFoundHoweverTheyAreNumbered) {
  Import(MistakesFromJuly());
  const std::vector<std::string> before = Check(9, 7, 9);
  ASSERT_EQ(before.size(), 2u);
  std::string error;
  for (const std::string shift : {" + 7", " * 1000003"}) {
    SCOPED_TRACE(shift);
    ASSERT_TRUE(
        store_.Exec(("UPDATE account SET account_id = account_id" + shift +
                     " WHERE data_no = 9; UPDATE journal_line SET debit_account = "
                     "debit_account" +
                     shift + ", credit_account = credit_account" + shift + " WHERE data_no = 9;")
                        .c_str(),
                    &error))
        << error;
    EXPECT_EQ(Check(9, 7, 9), before);
  }
  ASSERT_TRUE(
      store_.Exec("UPDATE account SET account_id = account_id + 1 WHERE data_no = 9 AND "
                  "account_id = (SELECT debit_account FROM journal_line WHERE data_no = 9 AND "
                  "debit_account IS NOT NULL LIMIT 1)",
                  &error))
      << error;
  mvhost::CheckRequest request{9, 0, 0};
  EXPECT_EQ(mvhost::CheckStoredDataSet(
                store_, request, [](const mvhost::CheckFinding&) {}, &error),
            mvhost::CheckStatus::kFailed);
  EXPECT_NE(error.find(" of data set 9 names an account that does not exist"), std::string::npos)
      << error;
}

// The findings file of a run's sheet: every finding counted, the first
// listed; a check that cannot be made says why instead of "no findings".
TEST_F(BookkeepingCheckTest, SheetFindingsCountAllAndSayWhyNoCheck) {
  Import(MistakesFromJuly());
  const std::vector<std::string> all = Check(9, 7, 9);
  ASSERT_EQ(all.size(), 2u);

  const Json file = Json::parse(mvhost::SheetFindingsJson(home_, 7, 9, 1));
  EXPECT_EQ(file.value("data_set", 0), 9);
  EXPECT_EQ(file.value("months", ""), "7-9");
  EXPECT_EQ(file.value("checked", false), true);
  EXPECT_EQ(file.value("total", 0), 2);
  EXPECT_EQ(file["counts"], Json::parse(R"({"tax-mismatch": 1, "asset-not-booked": 1})"));
  ASSERT_EQ(file["findings"].size(), 1u);
  EXPECT_EQ(file["findings"][0].value("place", "") + ": " + file["findings"][0].value("rule", "") +
                ": " + file["findings"][0].value("what", "") + "; " +
                file["findings"][0].value("todo", ""),
            all[0]);

  const Json badMonths = Json::parse(mvhost::SheetFindingsJson(home_, 9, 4));
  EXPECT_EQ(badMonths.value("checked", true), false);
  EXPECT_EQ(badMonths.value("error", ""),
            "months 9-4: the period 2014-04-01..2015-03-31 of data set 9 runs from month 4 to "
            "month 3; give two of its months, the first not after the second");
  EXPECT_FALSE(badMonths.contains("findings"));
  const Json noStore = Json::parse(mvhost::SheetFindingsJson(home_ + "/nothing", 4, 3));
  Json expected;
  expected["months"] = "4-3";
  expected["checked"] = false;
  expected["error"] = "no host store in " + home_ + "/nothing (run mvhost init)";
  EXPECT_EQ(noStore, expected);
}

// Replaces the first kept finding's text of data set 9 over start..end,
// so that a check that reads the kept findings shows it.
void PlantKeptFinding(sqlite3* db, int start, int end, const std::string& what) {
  mvhost::SqlStatement read(db,
                            "SELECT findings FROM check_findings WHERE data_no = 9 AND "
                            "start_month = ? AND end_month = ?");
  read.Bind(1, start).Bind(2, end);
  ASSERT_TRUE(read.Row()) << "no findings kept for " << start << "-" << end;
  mvhost::StoredFindings kept;
  ASSERT_TRUE(kept.Decode(read.Blob(0)));
  ASSERT_FALSE(kept.findings.empty());
  kept.findings[0].what = what;
  const std::string bytes = kept.Encode();
  ASSERT_TRUE(mvhost::SqlStatement(db,
                                   "UPDATE check_findings SET findings = ? WHERE data_no = 9 AND "
                                   "start_month = ? AND end_month = ?")
                  .BindBlob(1, std::vector<uint8_t>(bytes.begin(), bytes.end()))
                  .Bind(2, start)
                  .Bind(3, end)
                  .Run());
}

// A check of books nobody changed reads the findings kept by the one
// before; every change of what they are made of clears them in its own
// transaction, so the next check walks the lines again.
TEST_F(BookkeepingCheckTest, KeptFindingsNeverOutliveWhatTheyAreMadeOf) {
  const std::pair<const char*, const char*> edits[] = {
      {"a line's tax", "UPDATE journal_line SET debit_tax = 8000 WHERE line_id = 4"},
      {"a line removed", "DELETE FROM journal_line WHERE line_id = 1"},
      {"a line added",
       "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, debit_account, "
       "debit_amount, debit_tax_class, tax_rate) VALUES (9, 9, 9, 20140801, 5, 1, 10, 0, 800)"},
      {"an account's code", "UPDATE account SET code = '612' WHERE code = '611'"},
      {"an account's class", "UPDATE account SET class_code = 1 WHERE code = '611'"},
      {"an account class", "UPDATE account_class SET total = 0"},
      {"a fixed asset", "UPDATE fixed_asset SET acquisition_amount = 2 WHERE code = 'M2'"},
      {"the settings", "UPDATE data_set SET tax_included = 1"},
      {"the rates", "DELETE FROM tax_rate"},
      {"the derived data marked", "UPDATE journal_derived_state SET built = 0"},
  };
  const std::pair<int, int> ranges[] = {{0, 0}, {7, 9}, {4, 6}};
  for (const auto& [name, sql] : edits) {
    SCOPED_TRACE(name);
    Import(MistakesFromJuly());
    for (const auto& [start, end] : ranges) {
      const std::vector<std::string> walked = Check(9, start, end);
      if (walked.empty()) continue;
      EXPECT_EQ(walked[0].find("planted"), std::string::npos) << "kept past the import";
      PlantKeptFinding(store_.db(), start, end, "planted");
      std::vector<std::string> read = Check(9, start, end);
      ASSERT_EQ(read.size(), walked.size());
      EXPECT_NE(read[0].find("planted"), std::string::npos) << read[0];
      EXPECT_EQ(std::vector<std::string>(read.begin() + 1, read.end()),
                std::vector<std::string>(walked.begin() + 1, walked.end()));
    }
    std::string error;
    ASSERT_TRUE(store_.Exec(sql, &error)) << error;
    for (const auto& [start, end] : ranges) {
      for (const std::string& finding : Check(9, start, end)) {
        EXPECT_EQ(finding.find("planted"), std::string::npos) << finding;
      }
    }
  }
}

// Findings made before a change are never kept after it: a change of what
// they are made of between the stamp and the write keeps nothing; a write
// of anything else (a description, a chunk rewritten as it was, the host's
// state) does not stop them.
TEST_F(BookkeepingCheckTest, FindingsMadeBeforeAChangeAreNotKept) {
  Import(MistakesFromJuly());
  ASSERT_EQ(Check(9).size(), 2u);  // the first kept findings make the tables
  const std::pair<const char*, int64_t> writes[] = {
      {"UPDATE journal_line SET debit_tax = 8000 WHERE line_id = 4", 0},
      {"UPDATE account SET name = 'Goods' WHERE code = '611'", 0},
      {"UPDATE journal_derived_state SET built = 1", 0},
      {"UPDATE fixed_asset SET name = 'Press' WHERE code = 'M2'", 0},
      {"UPDATE journal_line SET description = 'x' WHERE line_id = 4", 1},
      {"UPDATE journal_chunk SET lines = lines", 1},
      {"INSERT OR REPLACE INTO host_state (key, value) VALUES ('x', 'y')", 1},
  };
  for (const auto& [sql, kept] : writes) {
    SCOPED_TRACE(sql);
    std::string error;
    ASSERT_TRUE(store_.Exec("DELETE FROM check_findings", &error)) << error;
    const mvhost::StoredFindings::Stamp stamp = mvhost::StoredFindings::Take(store_.db(), 9);
    ASSERT_TRUE(store_.Exec(sql, &error)) << error;
    mvhost::StoredFindings().Write(store_.db(), 9, 0, 0, stamp);
    EXPECT_EQ(QueryInt("SELECT count(*) FROM check_findings"), kept);
  }
}

// Past the findings kept with their texts the walk hands out the rest: a
// caller that wants more than are kept gets each finding once, in order; a
// kept form that does not read back is walked past.
// A check that ends while another connection reads the store cannot keep
// its findings then (a check beside the program ends before the program);
// they are kept when the caller tries again with the store free, and the
// next check reads them.
TEST_F(BookkeepingCheckTest, FindingsNotKeptAtOnceAreKeptWhenTheStoreIsFree) {
  Import(MistakesFromJuly());
  const std::vector<std::string> walked = Check(9);
  std::string error;
  ASSERT_TRUE(store_.Exec("DELETE FROM check_findings", &error)) << error;
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open((home_ + "/host.db").c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM data_set;", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  mvhost::UnkeptFindings unkept;
  mvhost::CheckRequest request{9, 0, 0};
  EXPECT_EQ(mvhost::CheckStoredDataSet(
                store_, request, [](const mvhost::CheckFinding&) {}, &error, {}, nullptr, &unkept),
            mvhost::CheckStatus::kChecked);
  EXPECT_TRUE(unkept.pending);
  EXPECT_EQ(QueryInt("SELECT count(*) FROM check_findings"), 0);
  sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  unkept.Keep(store_.db());
  EXPECT_FALSE(unkept.pending);
  mvhost::StoredFindings kept;
  ASSERT_TRUE(kept.Read(store_.db(), 9, 0, 0));
  EXPECT_EQ(kept.counts.Total(), static_cast<int64_t>(walked.size()));
  EXPECT_EQ(Check(9), walked);
}

// A caller's rows written with the findings (the batch's run log entry)
// go in whether the findings are kept or not, and are said to be written
// only when they are in the store.
TEST_F(BookkeepingCheckTest, CallersRowsGoInWithTheFindingsOrAreSaidNotWritten) {
  Import(MistakesFromJuly());
  ASSERT_EQ(Check(9).size(), 2u);  // the first kept findings make the tables
  struct Case {
    const char* name;
    const char* between;  // run on another connection after the stamp
    bool holdLock;        // that connection keeps its transaction open
    bool rowsWritten;
    int64_t kept;
  } cases[] = {
      {"free store", nullptr, false, true, 1},
      {"a line changed", "UPDATE journal_line SET debit_tax = 8000 WHERE line_id = 4", false, true,
       0},
      {"a reader", "BEGIN; SELECT count(*) FROM data_set;", true, false, 0},
      {"a writer", "BEGIN IMMEDIATE;", true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    ASSERT_TRUE(store_.Exec("DELETE FROM check_findings; DELETE FROM host_state WHERE key = 'x'",
                            &error))
        << error;
    const mvhost::StoredFindings::Stamp stamp = mvhost::StoredFindings::Take(store_.db(), 9);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((home_ + "/host.db").c_str(), &other), SQLITE_OK);
    if (c.between != nullptr) {
      ASSERT_EQ(sqlite3_exec(other, c.between, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    bool written = !c.rowsWritten;
    const bool kept = mvhost::StoredFindings().Write(
        store_.db(), 9, 0, 0, stamp, std::string(),
        [&] {
          return store_.Exec("INSERT INTO host_state (key, value) VALUES ('x', 'y')", &error);
        },
        &written);
    if (c.holdLock) sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(written, c.rowsWritten);
    EXPECT_EQ(kept, c.kept == 1);
    EXPECT_EQ(QueryInt("SELECT count(*) FROM host_state WHERE key = 'x'"), c.rowsWritten ? 1 : 0);
    EXPECT_EQ(QueryInt("SELECT count(*) FROM check_findings"), c.kept);
  }
}

TEST_F(BookkeepingCheckTest, KeptFindingsGoOnFromTheWalkPastThoseKept) {
  Import(MistakesFromJuly());
  std::string error;
  // 1200 more journals of one line with a tax that does not match.
  ASSERT_TRUE(store_.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 5 UNION ALL SELECT i + 1 FROM n WHERE i < 1204) "
      "INSERT INTO journal_line (data_no, line_id, journal_no, date, month_kind, debit_account, "
      "debit_amount, debit_tax, debit_tax_class, credit_account, credit_amount, "
      "credit_tax_class, tax_rate) SELECT 9, i, i, 20140715, 4, "
      "(SELECT account_id FROM account WHERE code = '611'), 1000000000, 50000000, 21, "
      "(SELECT account_id FROM account WHERE code = '111'), 1050000000, 0, 800 FROM n",
      &error))
      << error;
  const std::vector<std::string> all = Check(9);
  ASSERT_GT(all.size(), mvhost::StoredFindings::kKept);
  ASSERT_EQ(QueryInt("SELECT count(*) FROM check_findings"), 1);
  EXPECT_EQ(Check(9), all);
  for (const size_t wanted :
       {size_t{200}, mvhost::StoredFindings::kKept, mvhost::StoredFindings::kKept + 1}) {
    SCOPED_TRACE(wanted);
    std::vector<std::string> listed;
    mvhost::CheckCounts counts;
    mvhost::CheckRequest request{9, 0, 0};
    EXPECT_EQ(
        mvhost::CheckStoredDataSet(
            store_, request, [&](const mvhost::CheckFinding& f) { listed.push_back(f.Text()); },
            &error, [&] { return listed.size() < wanted; }, &counts),
        mvhost::CheckStatus::kChecked);
    EXPECT_EQ(listed, std::vector<std::string>(all.begin(), all.begin() + wanted));
    EXPECT_EQ(counts.Total(), static_cast<int64_t>(all.size()));
  }
  ASSERT_TRUE(store_.Exec("UPDATE check_findings SET findings = substr(findings, 1, 200)", &error))
      << error;
  EXPECT_EQ(Check(9), all);
}

// The check takes the month kinds that the program's month-range filter
// selects, for every range the conditions dialog lets through.
TEST(CheckMonthsTest, SelectsWhatTheRunsFilterSelects) {
  struct Period {
    int32_t start, end;
    bool interim;
  } periods[] = {{20140401, 20150331, true}, {20140101, 20141231, false},
                 {20140101, 20141231, true}, {20140121, 20150120, false},
                 {20140701, 20141231, true}, {20141001, 20150331, false}};
  const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18};
  for (const Period& p : periods) {
    mvhost::DataSetInfo info;
    info.periodStart = p.start;
    info.periodEnd = p.end;
    info.interimClosing = p.interim;
    int16_t first = 0;
    int16_t last = 0;
    taxlink::GetPeriodMonthRange(p.start, p.end, &first, &last);
    for (int s = 1; s <= 12; ++s) {
      for (int e = 1; e <= 12; ++e) {
        mvhost::MonthSelection selection;
        std::string error;
        const bool accepted = mvhost::MonthSelection::OfMonths(info, s, e, &selection, &error);
        EXPECT_EQ(accepted,
                  taxlink::FindMonthRangeFault(static_cast<int16_t>(s), static_cast<int16_t>(e),
                                               first, last) == taxlink::MonthField::kNone)
            << p.start << " months " << s << "-" << e;
        if (!accepted) continue;
        StFINDINFO filter;
        taxlink::FillMonthRangeFilter(&filter, first, last, p.interim, s, e);
        const taxlink::MonthRange range = taxlink::ReadMonthRange(filter);
        for (int kind : kinds) {
          const int64_t order = mvhost::MonthOrder(kind);
          const bool filtered = (order >= mvhost::MonthOrder(range.startKind) &&
                                 order <= mvhost::MonthOrder(range.endKind)) ||
                                (kind == 15 && range.includesInterim) ||
                                (kind == 18 && range.includesYearEnd);
          EXPECT_EQ(selection.Contains(kind), filtered)
              << p.start << " months " << s << "-" << e << " kind " << kind;
        }
      }
    }
  }
}

}  // namespace
