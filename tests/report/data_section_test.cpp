#include "report/ReportDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "aggregation/Decimal4.h"
#include "host/StSaveTaxInfo.h"
#include "tests/support/ReportFixtures.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CaptureLines;
using testing::ElementsOf;
using testing::FakeTaxSet;
using testing::ReadBytes;
using testing::ReportRun;
using testing::TestDocument;
using testing::ValueOf;

std::string Golden(const std::string& name) {
  return ReadBytes(std::string(TAXLINK_SOURCE_DIR) + "/tests/report/golden/" + name);
}

void PutFigure(void* record, std::size_t offset, int64_t value) {
  std::memcpy(static_cast<char*>(record) + offset, &value, sizeof(value));
}

// The figures behind golden/data_journal.xml. Every rate figure encodes its
// row and offset ((row + 1) x 100000 + offset yen and a fraction of .1234
// that mode 0 drops), every business-type figure its row, type and offset
// ((row + 1) x 10000 + type x 100 + offset yen and .5, which rounds up), so
// that a figure read from the wrong place shows in the file.
void FillJournalTables(ReportRun& app) {
  TaxSummaryTables& t = app.tables;
  t.Allocate(3);
  for (int row = 0; row < 3; ++row) {
    for (std::size_t offset = 8; offset <= 440; offset += 8) {
      PutFigure(&t.rateInfo[row], offset, (row + 1) * 1000000000LL + offset * 10000 + 1234);
    }
    for (std::size_t offset : {476, 484}) {
      PutFigure(&t.rateInfo[row], offset, (row + 1) * 1000000000LL + offset * 10000 + 1234);
    }
    for (int type = 1; type <= 6; ++type) {
      for (std::size_t offset : {7, 15, 23, 31, 39, 47}) {
        PutFigure(&t.businessTypeInfo[6 * row + type - 1], offset,
                  (row + 1) * 100000000LL + type * 1000000LL + offset * 10000 + 5000);
      }
    }
  }
  // 1000.6 yen of taxable sales split 400.3 / 600.3 over types 1 and 2.
  t.rateInfo[0].taxableSalesExcl = 10006000;
  t.businessTypeInfo[0].salesExcl = 4003000;
  t.businessTypeInfo[1].salesExcl = 6003000;
  for (int type = 3; type <= 6; ++type) t.businessTypeInfo[type - 1].salesExcl = 0;
  // Type 4 at 8 % has no sales at all.
  t.businessTypeInfo[3].salesTax = 0;
  t.businessTypeInfo[3].salesIncl = 0;
  t.rateInfo[2].salesReturnsExcl = -25000;  // -2.5 yen: cut toward zero
  t.rateInfo[1].taxableSalesTax = 4444;     // rounds to zero: empty

  t.corpMerchandisePurchases = {1234567890, -5000};
  t.corpNonOperatingExpenses = {10000, 0};
  t.corpOtherItems = {0, 99999};
  t.corpFixedAssets = 50000;
  t.indBusinessPurchases = {10000, 10000};  // a corporation has no KANPUK
  app.settings.record.roundingMode = 0;
  app.settings.record.filingClass = 2;
}

StDATAINFO Company(uint8_t entityKind) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  data.entityKind = entityKind;
  return data;
}

StSHOHIZEIINFO Settings(uint8_t taxIncluded) {
  StSHOHIZEIINFO settings;
  std::memset(&settings, 0, sizeof(settings));
  settings.filingClass = 2;
  settings.taxIncluded = taxIncluded;
  return settings;
}

TEST(DataSectionTest, JournalModeMatchesTheGoldenFile) {
  ReportRun app;
  FillJournalTables(app);
  FakeTaxSet taxSet(3);
  TestDocument document(app, &taxSet);
  bool ok = false;
  std::string written = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteData(w, Company(0), Settings(1)); }, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(written, Golden("data_journal.xml"));
}

TEST(DataSectionTest, TheUnclassifiedAmountIsRoundedOnceOnTheDifference) {
  ReportRun app;
  FillJournalTables(app);
  FakeTaxSet taxSet(3);
  TestDocument document(app, &taxSet);
  std::string written = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteData(w, Company(0), Settings(1)); }, nullptr);
  EXPECT_EQ(ValueOf(written, "KAZEIURIAGEZEINUKI8"), "1001");
  EXPECT_EQ(ValueOf(written, "KAZEIURIAGE1SHUZEINUKI8"), "400");
  EXPECT_EQ(ValueOf(written, "KAZEIURIAGE2SHUZEINUKI8"), "600");
  EXPECT_EQ(ValueOf(written, "KAZEIURIAGEZEROZEINUKI8"), "");
  // The tables are read, never changed.
  EXPECT_EQ(app.tables.rateInfo[0].taxableSalesExcl, 10006000);
  EXPECT_EQ(app.tables.businessTypeInfo[0].salesExcl, 4003000);
}

TEST(DataSectionTest, AllZeroTablesGiveEveryElementEmpty) {
  ReportRun app;
  app.tables.Allocate(3);
  FakeTaxSet taxSet(3);
  TestDocument document(app, &taxSet);
  bool ok = false;
  std::string written = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteData(w, Company(0), Settings(1)); }, &ok);
  EXPECT_TRUE(ok);
  // Same lines as the golden file, every value empty.
  std::vector<std::pair<std::string, std::string>> expected =
      ElementsOf(Golden("data_journal.xml"));
  std::vector<std::pair<std::string, std::string>> elements = ElementsOf(written);
  ASSERT_EQ(elements.size(), expected.size());
  for (std::size_t i = 0; i < elements.size(); ++i) {
    EXPECT_EQ(elements[i].first, expected[i].first);
    EXPECT_EQ(elements[i].second, "") << elements[i].first;
  }
}

TEST(DataSectionTest, FailsRightAfterTheOpeningTag) {
  struct Case {
    const char* what;
    bool taxSet;
    bool tables;
  };
  const Case cases[] = {{"no tax set object", false, true}, {"no tables", true, false}};
  for (const Case& c : cases) {
    ReportRun app;
    if (c.tables) app.tables.Allocate(3);
    FakeTaxSet taxSet(3);
    TestDocument document(app, c.taxSet ? &taxSet : nullptr);
    bool ok = true;
    std::string written = CaptureLines(
        [&](XmlTextWriter& w) { return document.WriteData(w, Company(0), Settings(1)); }, &ok);
    EXPECT_FALSE(ok) << c.what;
    EXPECT_EQ(written, "\t<DATA>\r\n") << c.what;
  }
}

TEST(DataSectionTest, AWriteFailureEndsTheSection) {
  ReportRun app;
  FillJournalTables(app);
  app.savedReturn = std::make_unique<StSaveTaxInfo>();
  FakeTaxSet taxSet(3);
  TestDocument document(app, &taxSet);
  XmlTextWriter writer;  // never opened: every line fails
  EXPECT_FALSE(document.WriteData(writer, Company(0), Settings(1)));
  EXPECT_FALSE(document.WriteSavedData(writer, Company(0)));
  EXPECT_FALSE(document.WriteKanpuh(writer, Company(0), Settings(1)));
  EXPECT_FALSE(document.WriteSavedKanpuk(writer, Company(3)));
}

// The saved return behind golden/data_saved_*.xml: every amount the report
// reads holds its own offset in yen plus .9999 (cut by mode 1), the refund
// statement amounts 100, 200, ... yen with the sixth one zero.
void FillSavedReturn(ReportRun& app, uint8_t filingClass) {
  app.savedReturn = std::make_unique<StSaveTaxInfo>();
  std::memset(app.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
  std::ifstream offsets(std::string(TAXLINK_SOURCE_DIR) + "/tests/report/golden/saved_offsets.txt");
  std::size_t offset = 0;
  int count = 0;
  while (offsets >> offset) {
    PutFigure(app.savedReturn.get(), offset, static_cast<int64_t>(offset) * 10000 + 9999);
    ++count;
  }
  ASSERT_GT(count, 250);
  for (int i = 0; i < 16; ++i) {
    PutFigure(app.savedReturn.get(), 9868 + 8 * i, i == 5 ? 0 : (i + 1) * 1000000LL + 9999);
  }
  app.savedReturn->kanpukCode = 2;
  app.savedReturn->kanpuhCode = 2;
  app.settings.record.filingClass = filingClass;
  app.settings.record.roundingMode = 1;
}

TEST(SavedDataSectionTest, MatchesTheGoldenFilePerFilingClass) {
  struct Case {
    uint8_t filingClass;
    const char* golden;
  };
  const Case cases[] = {
      {2, "data_saved_standard.xml"},
      {1, "data_saved_simplified.xml"},
  };
  for (const Case& c : cases) {
    ReportRun app;
    FillSavedReturn(app, c.filingClass);
    TestDocument document(app, nullptr);  // saved mode needs no host object
    bool ok = false;
    std::string written =
        CaptureLines([&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(3)); }, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(written, Golden(c.golden)) << c.golden;
  }
}

TEST(SavedDataSectionTest, FlagsDecideWhichCopyCarriesValues) {
  struct Case {
    uint8_t filingClass;
    const char* element;
    const char* value;
  };
  const Case cases[] = {
      // Standard taxation: sales, purchases, bad debts and adjustments.
      {2, "KAZEIURIAGEZEINUKI8", "12515"},
      {2, "GIMUMENJOKAZEI8", "12467"},
      {2, "TOKUTEISHIIREKAZEIZEINUKI8", "14243"},
      {2, "KAZEIURIAGE1SHUZEINUKI8", ""},
      {2, "KASHIDAOREZEINUKI5", "1357"},  // first copy only
      // Simplified and exempt: the business-type groups and the second copy.
      {1, "KAZEIURIAGEZEINUKI8", ""},
      {1, "MENZEIURIAGEZEINUKI8", ""},  // first occurrence: the sales group
      {1, "KAZEIURIAGE6SHUZEINUKI3", "14019"},
      {0, "KAZEIHENKAN2SHUZEIGAKU5", "1725"},
      {0, "GIMUMENJOKAZEI8", ""},
      {1, "KAZEIURIAGEZEROZEINUKI8", ""},  // never a subtraction here
  };
  for (const Case& c : cases) {
    ReportRun app;
    FillSavedReturn(app, c.filingClass);
    TestDocument document(app, nullptr);
    std::string written = CaptureLines(
        [&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(3)); }, nullptr);
    EXPECT_EQ(ValueOf(written, c.element), c.value)
        << c.element << " filing class " << int(c.filingClass);
  }
}

TEST(SavedDataSectionTest, ExemptSalesCloseTheBusinessTypeGroupUnderFlagB) {
  ReportRun app;
  FillSavedReturn(app, 1);
  TestDocument document(app, nullptr);
  std::string written = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(3)); }, nullptr);
  std::vector<std::string> exempt;
  for (const auto& [name, value] : ElementsOf(written)) {
    if (name == "MENZEIURIAGEZEINUKI8") exempt.push_back(value);
  }
  EXPECT_EQ(exempt, (std::vector<std::string>{"", "12539"}));
}

TEST(SavedDataSectionTest, SecuritiesAreMultipliedByTwenty) {
  struct Case {
    int64_t saved;
    uint8_t mode;
    const char* value;
  };
  const Case cases[] = {
      {1000000, 0, "2000"},              // 100 yen
      {-1, 1, ""},                       // -0.002 yen cut to zero
      {-10000, 1, "-20"},   {1, 0, ""},  // 0.002 yen
      {300, 2, "1"},                     // 0.06 yen rounds up in mode 2
  };
  for (const Case& c : cases) {
    ReportRun app;
    app.savedReturn = std::make_unique<StSaveTaxInfo>();
    std::memset(app.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
    app.savedReturn->hikazeiUriageYuukaZeinuki8 = c.saved;
    app.settings.record.filingClass = 2;
    app.settings.record.roundingMode = c.mode;
    TestDocument document(app, nullptr);
    std::string written = CaptureLines(
        [&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(0)); }, nullptr);
    EXPECT_EQ(ValueOf(written, "HIKAZEIURIAGEYUUKAZEINUKI8"), c.value) << c.saved;
  }
}

TEST(SavedDataSectionTest, ATwentyfoldAmountBeyondARawAmountOverflows) {
  ReportRun app;
  app.savedReturn = std::make_unique<StSaveTaxInfo>();
  std::memset(app.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
  app.savedReturn->hikazeiUriageYuukaZeinuki5 = INT64_MAX / 10;
  app.settings.record.filingClass = 2;
  TestDocument document(app, nullptr);
  EXPECT_THROW(
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(0)); },
                   nullptr),
      Decimal4Overflow);
}

TEST(SavedDataSectionTest, NoSavedReturnFailsAfterTheOpeningTag) {
  ReportRun app;
  app.settings.record.filingClass = 2;
  TestDocument document(app, nullptr);
  bool ok = true;
  std::string written =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSavedData(w, Company(0)); }, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(written, "\t<DATA>\r\n");
}

}  // namespace
}  // namespace taxlink
