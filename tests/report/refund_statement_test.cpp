#include "report/ReportDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/StSaveTaxInfo.h"
#include "tests/support/ReportFixtures.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CaptureLines;
using testing::ElementsOf;
using testing::ReportRun;
using testing::TestDocument;

using Values = std::map<std::string, std::string>;

StDATAINFO Company(uint8_t entityKind, uint8_t incomeKind = 0) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  data.entityKind = entityKind;
  data.incomeKind = incomeKind;
  return data;
}

StSHOHIZEIINFO Settings(uint8_t taxIncluded) {
  StSHOHIZEIINFO settings;
  std::memset(&settings, 0, sizeof(settings));
  settings.taxIncluded = taxIncluded;
  return settings;
}

// The non-empty elements of a written sub-section; checks the frame and
// the element count on the way.
Values Written(const std::string& text, const char* form, std::size_t count) {
  EXPECT_EQ(text.rfind(std::string("\t\t<") + form + ">\r\n", 0), 0u) << text;
  std::string close = std::string("\t\t</") + form + ">\r\n";
  EXPECT_TRUE(text.size() >= close.size() &&
              text.compare(text.size() - close.size(), close.size(), close) == 0);
  auto elements = ElementsOf(text);
  EXPECT_EQ(elements.size(), count);
  Values values;
  for (const auto& [name, value] : elements) {
    if (!value.empty()) values[name] = value;
  }
  return values;
}

Values Kanpuh(ReportRun& app, const StDATAINFO& data, const StSHOHIZEIINFO& settings) {
  TestDocument document(app, nullptr);
  bool ok = false;
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteKanpuh(w, data, settings); }, &ok);
  EXPECT_TRUE(ok);
  return Written(text, "KANPUH", 16);
}

Values Kanpuk(ReportRun& app, const StDATAINFO& data, const StSHOHIZEIINFO& settings) {
  TestDocument document(app, nullptr);
  bool ok = false;
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteKanpuk(w, data, settings); }, &ok);
  EXPECT_TRUE(ok);
  return Written(text, "KANPUK", 17);
}

Values SavedKanpuh(ReportRun& app, const StDATAINFO& data) {
  TestDocument document(app, nullptr);
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSavedKanpuh(w, data); }, nullptr);
  return Written(text, "KANPUH", 16);
}

Values SavedKanpuk(ReportRun& app, const StDATAINFO& data) {
  TestDocument document(app, nullptr);
  std::string text =
      CaptureLines([&](XmlTextWriter& w) { return document.WriteSavedKanpuk(w, data); }, nullptr);
  return Written(text, "KANPUK", 17);
}

void FillCorporateLines(TaxSummaryTables& t) {
  t.corpMerchandisePurchases = {10000, 20000};
  t.corpSellingAdminExpenses = {30000, 0};
  t.corpNonOperatingExpenses = {0, -40000};
  t.corpOtherItems = {50000, 60000};
  t.corpFixedAssets = 70000;
  t.corpDeferredAssets = 80000;
}

TEST(KanpuhTest, JournalModeFillsEveryNonIndividual) {
  const Values filled = {
      {"KESSANZEIKUBUN", "1"},  {"SHOHINSHIIRE1", "1"},   {"SHOHINSHIIRE2", "2"},
      {"HANBAIIPPAN1", "3"},    {"EIGYOGAIHIYOU2", "-4"}, {"SONOTASONEKI1", "5"},
      {"SONOTASONEKI2", "6"},   {"SHISANZEIKUBUN", "1"},  {"KOTEISHISAN1", "7"},
      {"KURINOBESHISAN1", "8"},
  };
  struct Case {
    uint8_t entityKind;
    uint8_t filingClass;
    bool filled;
  };
  const Case cases[] = {
      {0, 2, true},  {1, 1, true},  {1, 0, true},  // whatever the filing class
      {2, 2, true},                                // neither kind: still filled
      {3, 2, false}, {4, 1, false},
  };
  for (const Case& c : cases) {
    ReportRun app;
    FillCorporateLines(app.tables);
    app.settings.record.filingClass = c.filingClass;
    EXPECT_EQ(Kanpuh(app, Company(c.entityKind), Settings(1)), c.filled ? filled : Values{})
        << "entity " << int(c.entityKind);
  }
}

TEST(KanpuhTest, JournalCodesFollowSettingsByteFive) {
  struct Case {
    uint8_t taxIncluded;
    bool lines;
    bool assets;
    const char* code;
    const char* assetsCode;
  };
  const Case cases[] = {
      {1, true, true, "1", "1"},           {0, true, true, "2", "2"},
      {7, true, false, "1", nullptr},      {0, false, true, nullptr, "2"},
      {1, false, false, nullptr, nullptr},  // nothing at all: both codes empty
  };
  for (const Case& c : cases) {
    ReportRun app;
    if (c.lines) app.tables.corpOtherItems = {0, 1};  // a fraction still counts
    if (c.assets) app.tables.corpDeferredAssets = -1;
    Values v = Kanpuh(app, Company(0), Settings(c.taxIncluded));
    EXPECT_EQ(v.count("KESSANZEIKUBUN") ? v["KESSANZEIKUBUN"] : "", c.code ? c.code : "");
    EXPECT_EQ(v.count("SHISANZEIKUBUN") ? v["SHISANZEIKUBUN"] : "",
              c.assetsCode ? c.assetsCode : "");
  }
}

TEST(KanpukTest, JournalModeRowsFollowTheIncomeKind) {
  const Values business = {{"JIGYOSHIIRE1", "0"},
                           {"JIGYOSHIIRE2", "0"},
                           {"JIGYOHITSUYOU1", "0"},
                           {"JIGYOHITSUYOU2", "0"},
                           {"JIGYOKOTEISHISAN1", "0"}};
  const Values realEstate = {
      {"FUDOUSANHITSUYOU1", "0"}, {"FUDOUSANHITSUYOU2", "0"}, {"FUDOUSANKOTEISHISAN1", "0"}};
  const Values other = {{"SONOTASHIIRE1", "0"},
                        {"SONOTASHIIRE2", "0"},
                        {"SONOTAHITSUYOU1", "0"},
                        {"SONOTAHITSUYOU2", "0"}};
  Values all = business;
  all.insert(realEstate.begin(), realEstate.end());
  all.insert(other.begin(), other.end());
  struct Case {
    uint8_t entityKind;
    uint8_t incomeKind;
    uint8_t filingClass;
    Values expected;
  };
  const std::vector<Case> cases = {
      {3, 1, 2, business}, {3, 2, 2, realEstate}, {4, 3, 2, all}, {3, 0, 2, all},
      {3, 9, 2, all},      {2, 2, 2, realEstate},  // neither kind: filled under standard taxation
      {3, 2, 1, {}},                               // only standard taxation has the statement
      {0, 2, 2, {}},       {1, 3, 2, {}},
  };
  for (const Case& c : cases) {
    ReportRun app;  // all lines zero: the written rows show "0"
    app.settings.record.filingClass = c.filingClass;
    EXPECT_EQ(Kanpuk(app, Company(c.entityKind, c.incomeKind), Settings(1)), c.expected)
        << "entity " << int(c.entityKind) << " income " << int(c.incomeKind);
  }
}

TEST(KanpukTest, JournalModeAmountsAndCode) {
  ReportRun app;
  app.settings.record.filingClass = 2;
  TaxSummaryTables& t = app.tables;
  t.indBusinessPurchases = {10000, 20000};
  t.indBusinessExpenses = {30000, 40000};
  t.indBusinessFixedAssets = {50000, 99990000};  // the second part is never written
  t.indRealEstateExpenses = {60000, 70000};
  t.indRealEstateFixedAssets = {80000, 0};
  t.indOtherPurchases = {90000, -100000};
  t.indOtherExpenses = {110000, 4444};
  app.settings.record.roundingMode = 0;
  Values expected = {
      {"KESSANZEIKUBUN", "2"},    {"JIGYOSHIIRE1", "1"},      {"JIGYOSHIIRE2", "2"},
      {"JIGYOHITSUYOU1", "3"},    {"JIGYOHITSUYOU2", "4"},    {"JIGYOKOTEISHISAN1", "5"},
      {"FUDOUSANHITSUYOU1", "6"}, {"FUDOUSANHITSUYOU2", "7"}, {"FUDOUSANKOTEISHISAN1", "8"},
      {"SONOTASHIIRE1", "9"},     {"SONOTASHIIRE2", "-10"},   {"SONOTAHITSUYOU1", "11"},
      {"SONOTAHITSUYOU2", "0"},
  };
  EXPECT_EQ(Kanpuk(app, Company(3, 3), Settings(0)), expected);

  // Only the other fixed assets' line: still a code.
  ReportRun other;
  other.settings.record.filingClass = 2;
  other.tables.indOtherFixedAssets = {1, 0};
  EXPECT_EQ(Kanpuk(other, Company(3, 1), Settings(5))["KESSANZEIKUBUN"], "1");
}

void FillSavedStatement(ReportRun& app) {
  app.savedReturn = std::make_unique<StSaveTaxInfo>();
  std::memset(app.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
  for (int i = 0; i < 16; ++i) app.savedReturn->refundAmounts[i] = (i + 1) * int64_t{10000};
}

TEST(SavedKanpuTest, OnlyStandardTaxationAndTheRightEntityKind) {
  struct Case {
    uint8_t entityKind;
    uint8_t filingClass;
    bool kanpuh;
    bool kanpuk;
  };
  const Case cases[] = {
      {0, 2, true, false},  {1, 1, false, false}, {3, 2, false, true},
      {4, 0, false, false}, {2, 2, true, true},
  };
  for (const Case& c : cases) {
    ReportRun app;
    FillSavedStatement(app);
    app.settings.record.filingClass = c.filingClass;
    EXPECT_EQ(SavedKanpuh(app, Company(c.entityKind)).empty(), !c.kanpuh)
        << "entity " << int(c.entityKind) << " class " << int(c.filingClass);
    EXPECT_EQ(SavedKanpuk(app, Company(c.entityKind)).empty(), !c.kanpuk)
        << "entity " << int(c.entityKind) << " class " << int(c.filingClass);
  }
}

TEST(SavedKanpuTest, ElementsReadTheSharedStatementArea) {
  ReportRun app;
  FillSavedStatement(app);
  app.settings.record.filingClass = 2;
  app.savedReturn->kanpuhCode = 2;
  Values kanpuh = SavedKanpuh(app, Company(0));
  EXPECT_EQ(kanpuh, (Values{{"KESSANZEIKUBUN", "2"},
                            {"SHOHINSHIIRE1", "1"},
                            {"SHOHINSHIIRE2", "2"},
                            {"HANBAIIPPAN1", "3"},
                            {"HANBAIIPPAN2", "4"},
                            {"EIGYOGAIHIYOU1", "5"},
                            {"EIGYOGAIHIYOU2", "6"},
                            {"SONOTASONEKI1", "7"},
                            {"SONOTASONEKI2", "8"},
                            {"SHISANZEIKUBUN", "1"},
                            {"KOTEISHISAN1", "9"},
                            {"KOTEISHISAN2", "10"},
                            {"KURINOBESHISAN1", "11"},
                            {"KURINOBESHISAN2", "12"},
                            {"SONOTASISAN1", "13"},
                            {"SONOTASISAN2", "14"}}));
  Values kanpuk = SavedKanpuk(app, Company(3, 1));  // no income-kind mask here
  EXPECT_EQ(kanpuk.size(), 17u);
  EXPECT_EQ(kanpuk["KESSANZEIKUBUN"], "1");
  EXPECT_EQ(kanpuk["JIGYOSHIIRE1"], "1");
  EXPECT_EQ(kanpuk["SONOTAKOTEISHISAN2"], "16");
}

TEST(SavedKanpuTest, CodeBytes) {
  struct Case {
    uint8_t code;
    const char* text;
  };
  const Case cases[] = {{2, "2"}, {0, "1"}, {1, "1"}, {3, "1"}, {255, "1"}};
  for (const Case& c : cases) {
    ReportRun app;
    FillSavedStatement(app);
    app.settings.record.filingClass = 2;
    app.savedReturn->kanpuhCode = c.code;
    app.savedReturn->assetsCode = c.code;
    app.savedReturn->kanpukCode = c.code;
    Values h = SavedKanpuh(app, Company(1));
    EXPECT_EQ(h["KESSANZEIKUBUN"], c.text);
    EXPECT_EQ(h["SHISANZEIKUBUN"], c.text);
    EXPECT_EQ(SavedKanpuk(app, Company(4))["KESSANZEIKUBUN"], c.text);
  }
}

TEST(SavedKanpuTest, CodesNeedANonZeroAmountInTheirRange) {
  ReportRun app;
  FillSavedStatement(app);
  app.settings.record.filingClass = 2;
  for (int i = 0; i < 8; ++i) app.savedReturn->refundAmounts[i] = 0;
  Values h = SavedKanpuh(app, Company(0));
  EXPECT_EQ(h.count("KESSANZEIKUBUN"), 0u);
  EXPECT_EQ(h["SHISANZEIKUBUN"], "1");
  for (int i = 8; i < 16; ++i) app.savedReturn->refundAmounts[i] = 0;
  EXPECT_TRUE(SavedKanpuh(app, Company(0)).empty());
  EXPECT_TRUE(SavedKanpuk(app, Company(3)).empty());
  // Amounts 15 and 16 belong to KANPUK alone.
  app.savedReturn->refundAmounts[15] = 10000;
  EXPECT_TRUE(SavedKanpuh(app, Company(0)).empty());
  EXPECT_EQ(SavedKanpuk(app, Company(3))["KESSANZEIKUBUN"], "1");
}

}  // namespace
}  // namespace taxlink
