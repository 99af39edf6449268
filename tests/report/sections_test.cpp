#include "report/ReportDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/StSaveTaxInfo.h"
#include "report/TransitionalFigures.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CaptureLines;
using testing::CurrentDirectory;
using testing::FakeTaxSet;
using testing::ReportRun;
using testing::SettingsWithTaxSet;
using testing::TempFolder;
using testing::TestDocument;
using testing::ValueOf;
using testing::WriteBytes;

StDATAINFO Company(const char* name, uint8_t entityKind) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  std::strncpy(data.companyName, name, sizeof(data.companyName) - 1);
  data.periodStart = 20150401;
  data.periodEnd = 20160331;
  data.entityKind = entityKind;
  return data;
}

TEST(SystemSectionTest, DefaultsWithoutSupportFile) {
  TempFolder folder;
  CurrentDirectory inFolder(folder.path());
  ReportRun app;
  app.functionId = 7;
  TestDocument document(app, nullptr);
  bool ok = false;
  std::string text = CaptureLines([&](XmlTextWriter& w) { return document.WriteSystem(w); }, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(text,
            "\t<SYSTEM>\r\n"
            "\t\t<GYOUMUPREFIX>SY26</GYOUMUPREFIX>\r\n"
            "\t\t<VERSION>1</VERSION>\r\n"
            "\t\t<FUNCTIONID>7</FUNCTIONID>\r\n"
            "\t\t<CONNECTEDPROGRAMVER>18.00.00</CONNECTEDPROGRAMVER>\r\n"
            "\t\t<PROGRAMNAME>Marvesta１８ Alto</PROGRAMNAME>\r\n"
            "\t\t<PROGRAMVER>18.00.0X</PROGRAMVER>\r\n"
            "\t</SYSTEM>\r\n"_sjis);
}

TEST(SystemSectionTest, SupportFileValuesAreEscaped) {
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"),
             "[=製品名=]会計 & 税務\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]18.01.02\r\n"_sjis);
  CurrentDirectory inFolder(folder.path());
  ReportRun app;
  app.functionId = -3;
  TestDocument document(app, nullptr);
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSystem(w); }, nullptr);
  EXPECT_EQ(ValueOf(text, "FUNCTIONID"), "-3");
  EXPECT_EQ(ValueOf(text, "PROGRAMNAME"), "会計 &amp; 税務"_sjis);
  EXPECT_EQ(ValueOf(text, "PROGRAMVER"), "18.01.02");
}

TEST(SystemSectionTest, AnEmptyNameFallsBackAlone) {
  TempFolder folder;
  WriteBytes(folder.File("SUPPORT.INF"), "[=製品名=]\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]9\r\n"_sjis);
  CurrentDirectory inFolder(folder.path());
  ReportRun app;
  TestDocument document(app, nullptr);
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSystem(w); }, nullptr);
  EXPECT_EQ(ValueOf(text, "FUNCTIONID"), "1");
  EXPECT_EQ(ValueOf(text, "PROGRAMNAME"), "Marvesta１８ Alto"_sjis);
  EXPECT_EQ(ValueOf(text, "PROGRAMVER"), "9");
}

TEST(BasicSectionTest, JournalMode) {
  struct Case {
    uint8_t entityKind;
    uint8_t filingClass;
    bool transitional;
    const char* entity;
    const char* kazei;
    const char* keika;
    const char* shiire;
  };
  const Case cases[] = {
      {0, 2, false, "1", "1", "2", "1"}, {1, 1, true, "1", "2", "1", ""},
      {3, 0, false, "2", "2", "2", ""},  {4, 2, true, "2", "1", "1", "1"},
      {2, 2, false, "", "1", "2", "1"},  {5, 1, false, "", "2", "2", ""},
  };
  for (const Case& c : cases) {
    ReportRun app;
    app.settings.record.filingClass = c.filingClass;
    app.tables.Allocate(3);
    if (c.transitional) app.tables.legacyRateSums[1] = 1;
    FakeTaxSet taxSet(3);
    TestDocument document(app, &taxSet);
    bool ok = false;
    std::string text = CaptureLines(
        [&](XmlTextWriter& w) {
          return document.WriteBasic(w, Company("abc", c.entityKind), kSourceJournals);
        },
        &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(text,
              std::string("\t<BASIC>\r\n"
                          "\t\t<KOMONSAKINAME>ａｂｃ</KOMONSAKINAME>\r\n"
                          "\t\t<JIGYOUNENDOFROM>20150401</JIGYOUNENDOFROM>\r\n"
                          "\t\t<JIGYOUNENDOTO>20160331</JIGYOUNENDOTO>\r\n"
                          "\t\t<HOUJINKOJINKUBUN>"_sjis) +
                  c.entity + "</HOUJINKOJINKUBUN>\r\n\t\t<KAZEIKUBUN>" + c.kazei +
                  "</KAZEIKUBUN>\r\n\t\t<KEIKASHOCHIKAZEISHISAN>" + c.keika +
                  "</KEIKASHOCHIKAZEISHISAN>\r\n\t\t<URIAGEZEIGAKUKEISAN>1</URIAGEZEIGAKUKEISAN>"
                  "\r\n\t\t<SHIIREZEIGAKUKEISAN>" +
                  c.shiire + "</SHIIREZEIGAKUKEISAN>\r\n\t</BASIC>\r\n")
        << "entity " << int(c.entityKind) << " class " << int(c.filingClass);
  }
}

TEST(BasicSectionTest, SavedReturnMode) {
  struct Case {
    uint8_t filingClass;
    uint8_t transitional;
    uint8_t sales;
    uint8_t purchase;
    const char* keika;
    const char* uriage;
    const char* shiire;
  };
  const Case cases[] = {
      {2, 0, 0, 0, "2", "1", "1"},
      {2, 1, 3, 1, "1", "2", "2"},
      {1, 9, 0, 1, "1", "1", ""},  // simplified: no purchase method
      {0, 0, 1, 0, "2", "2", ""},
  };
  for (const Case& c : cases) {
    ReportRun app;
    app.settings.record.filingClass = c.filingClass;
    app.savedReturn = std::make_unique<StSaveTaxInfo>();
    std::memset(app.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
    app.savedReturn->returnPeriodStart = 20190101;
    app.savedReturn->returnPeriodEnd = 20191231;
    app.savedReturn->transitional = c.transitional;
    app.savedReturn->salesTaxMethod = c.sales;
    app.savedReturn->purchaseTaxMethod = c.purchase;
    // Figures in the tables do not count in this mode.
    app.tables.Allocate(3);
    app.tables.legacyRateSums[1] = 1;
    FakeTaxSet taxSet(3);
    TestDocument document(app, &taxSet);
    std::string text = CaptureLines(
        [&](XmlTextWriter& w) {
          return document.WriteBasic(w, Company("x", 0), kSourceSavedReturn);
        },
        nullptr);
    EXPECT_EQ(ValueOf(text, "JIGYOUNENDOFROM"), "20190101");
    EXPECT_EQ(ValueOf(text, "JIGYOUNENDOTO"), "20191231");
    EXPECT_EQ(ValueOf(text, "KEIKASHOCHIKAZEISHISAN"), c.keika);
    EXPECT_EQ(ValueOf(text, "URIAGEZEIGAKUKEISAN"), c.uriage);
    EXPECT_EQ(ValueOf(text, "SHIIREZEIGAKUKEISAN"), c.shiire);
  }
}

TEST(BasicSectionTest, SavedModeWithoutSavedReturnFails) {
  ReportRun app;
  TestDocument document(app, nullptr);
  bool ok = true;
  std::string text = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteBasic(w, Company("x", 0), kSourceSavedReturn); },
      &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(text, "");
}

TEST(BasicSectionTest, CompanyNameIsFullWidthCutAndEscaped) {
  ReportRun app;
  TestDocument document(app, nullptr);
  std::string text = CaptureLines(
      [&](XmlTextWriter& w) {
        return document.WriteBasic(w, Company("A&B <Co>", 0), kSourceJournals);
      },
      nullptr);
  // Half-width symbols become full-width, which need no escaping.
  EXPECT_EQ(ValueOf(text, "KOMONSAKINAME"), "Ａ＆Ｂ　＜Ｃｏ＞"_sjis);
  // No tax set object: no transitional figures.
  EXPECT_EQ(ValueOf(text, "KEIKASHOCHIKAZEISHISAN"), "2");
}

// The rate-table positions HasTransitionalFigures looks at.
TEST(TransitionalFiguresTest, OlderRateRowsLegacySumAndBusinessTypes) {
  struct Case {
    const char* what;
    int rateCount;
    int row;             // rate row to set, -1 none
    std::size_t offset;  // within the row
    int record;          // business-type record to set, -1 none
    std::size_t recordOffset;
    bool legacy3;
    bool legacy5;
    bool expected;
  };
  const Case cases[] = {
      {"nothing", 3, -1, 0, -1, 0, false, false, false},
      {"5 % row, first figure", 3, 1, 8, -1, 0, false, false, true},
      {"5 % row, last figure", 3, 1, 440, -1, 0, false, false, true},
      {"5 % row, host bytes after the figures", 3, 1, 476, -1, 0, false, false, false},
      {"8 % row", 3, 0, 8, -1, 0, false, false, false},
      {"last row (3 % of three)", 3, 2, 8, -1, 0, false, false, false},
      {"3 % row of four", 4, 2, 8, -1, 0, false, false, true},
      {"3 % legacy sum", 3, -1, 0, -1, 0, true, false, true},
      {"5 % legacy sum is not consulted", 3, -1, 0, -1, 0, false, true, false},
      {"5 % business type", 3, -1, 0, 6, 7, false, false, true},
      {"5 % business type 6, returns", 3, -1, 0, 11, 47, false, false, true},
      {"5 % business type, host figure", 3, -1, 0, 6, 55, false, false, false},
      {"8 % business type", 3, -1, 0, 5, 7, false, false, false},
      {"3 % business type of three", 3, -1, 0, 12, 7, false, false, false},
      {"two rates: no older row", 2, 1, 8, 6, 7, false, false, false},
  };
  for (const Case& c : cases) {
    TaxSummaryTables tables;
    tables.Allocate(4);
    if (c.row >= 0) {
      int64_t one = 1;
      std::memcpy(reinterpret_cast<char*>(&tables.rateInfo[c.row]) + c.offset, &one, 8);
    }
    if (c.record >= 0) {
      int64_t minus = -1;
      std::memcpy(reinterpret_cast<char*>(&tables.businessTypeInfo[c.record]) + c.recordOffset,
                  &minus, 8);
    }
    if (c.legacy3) tables.legacyRateSums[1] = 5;
    if (c.legacy5) tables.legacyRateSums[0] = 5;
    FakeTaxSet taxSet(c.rateCount);
    EXPECT_EQ(HasTransitionalFigures(tables, SettingsWithTaxSet({}, &taxSet)), c.expected)
        << c.what;
  }
}

TEST(TransitionalFiguresTest, NoTaxSetObjectOrNoTables) {
  TaxSummaryTables tables;
  tables.Allocate(3);
  tables.legacyRateSums[1] = 1;
  EXPECT_FALSE(HasTransitionalFigures(tables, SettingsWithTaxSet({}, nullptr)));
  // A host that reports more rates than were allocated: only allocated rows
  // are read.
  TaxSummaryTables empty;
  empty.legacyRateSums[1] = 0;
  FakeTaxSet taxSet(40);
  const TaxSettings many = SettingsWithTaxSet({}, &taxSet);
  EXPECT_FALSE(HasTransitionalFigures(empty, many));
  TaxSummaryTables three;
  three.Allocate(3);
  three.businessTypeInfo[17].salesExcl = 1;
  EXPECT_TRUE(HasTransitionalFigures(three, many));
}

}  // namespace
}  // namespace taxlink
