// The format table against the report writers, in both modes: whole
// documents written by the section writers must pass the schema made from
// the table (names, order, nesting, value syntax), every element of the
// table must have a label, and the refund statements must read what the
// table says feeds each element.

#include "report/ReportFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "host/StSaveTaxInfo.h"
#include "sheet/ElementLabels.h"
#include "sheet/ReportReader.h"
#include "tests/support/ReportFixtures.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CaptureLines;
using testing::CurrentDirectory;
using testing::FakeTaxSet;
using testing::ReportRun;
using testing::TempFolder;
using testing::TestDocument;

constexpr int64_t kYen = 10000;

StDATAINFO Company(uint8_t entityKind, uint8_t incomeKind) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  std::strcpy(data.companyName, "ABC");
  data.periodStart = 20140401;
  data.periodEnd = 20150331;
  data.entityKind = entityKind;
  data.incomeKind = incomeKind;
  return data;
}

// Distinct whole-yen amounts on every refund line part and saved
// statement amount: a line read from the wrong place shows.
void FillStatementSources(ReportRun& run) {
  int64_t yen = 1000;
  TaxSummaryTables& t = run.tables;
  for (RefundLine* line :
       {&t.corpMerchandisePurchases, &t.corpSellingAdminExpenses, &t.corpNonOperatingExpenses,
        &t.corpOtherItems, &t.indBusinessPurchases, &t.indBusinessExpenses,
        &t.indBusinessFixedAssets, &t.indRealEstateExpenses, &t.indRealEstateFixedAssets,
        &t.indOtherPurchases, &t.indOtherExpenses, &t.indOtherFixedAssets}) {
    line->bookAmount = (yen += 1000) * kYen;
    line->nonTaxablePart = (yen += 1000) * kYen;
  }
  t.corpFixedAssets = (yen += 1000) * kYen;
  t.corpDeferredAssets = (yen += 1000) * kYen;
  run.savedReturn = std::make_unique<StSaveTaxInfo>();
  std::memset(run.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
  for (int i = 0; i < 16; ++i) run.savedReturn->refundAmounts[i] = (100 + i) * kYen;
  run.savedReturn->returnPeriodStart = 20140401;
  run.savedReturn->returnPeriodEnd = 20150331;
}

// A whole report as the file sequence writes it, in one mode.
std::string WholeReport(ReportRun& run, const StDATAINFO& data, bool saved) {
  FakeTaxSet taxSet(4);
  TestDocument document(run, &taxSet);
  bool ok = false;
  std::string text = CaptureLines(
      [&](XmlTextWriter& w) {
        return w.WriteText("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n") &&
               w.WriteStartTag("REPORT", 0) && document.WriteSystem(w) &&
               document.WriteBasic(w, data, saved ? kSourceSavedReturn : kSourceJournals) &&
               (saved ? document.WriteSavedData(w, data)
                      : document.WriteData(w, data, taxSet.settings)) &&
               w.WriteEndTag("REPORT", 0);
      },
      &ok);
  EXPECT_TRUE(ok);
  return text;
}

struct Mode {
  const char* name;
  bool saved;
  uint8_t entityKind;
};

class FormatAgainstWritersTest : public ::testing::TestWithParam<Mode> {};

TEST_P(FormatAgainstWritersTest, DocumentsPassTheSchemaAndStatementsReadTheirFeeds) {
  const Mode& mode = GetParam();
  TempFolder folder;
  CurrentDirectory inFolder(folder.path());  // no support file: the defaults
  ReportRun run;
  run.tables.Allocate(4);
  run.settings.record.filingClass = 2;
  FillStatementSources(run);
  const StDATAINFO data = Company(mode.entityKind, 3);

  sheet::ReportContent content;
  sheet::ReportProblem problem;
  ASSERT_TRUE(sheet::ParseReport(WholeReport(run, data, mode.saved), &content, &problem))
      << problem.Text();

  // The groups in the table's order, each element where the table has it.
  ASSERT_EQ(content.groups.size(), ReportFormat().size());
  for (std::size_t g = 0; g < content.groups.size(); ++g) {
    const GroupFormat& entry = ReportFormat()[g];
    ASSERT_EQ(content.groups[g].name, entry.name);
    ASSERT_EQ(content.groups[g].elements.size(), entry.elements.size()) << entry.name;
  }

  const GroupFormat& statement = mode.entityKind == 1 ? KanpuhFormat() : KanpukFormat();
  for (const ElementFormat& element : statement.elements) {
    const StatementFeed& feed = element.statement;
    int64_t raw = 0;
    if (mode.saved && feed.savedIndex >= 0) {
      raw = run.savedReturn->refundAmounts[feed.savedIndex];
    } else if (!mode.saved && feed.line != nullptr) {
      raw = (run.tables.*(feed.line)).*(feed.part);
    } else if (!mode.saved && feed.amount != nullptr) {
      raw = run.tables.*(feed.amount);
    } else {
      continue;  // a code, or an element this mode leaves empty
    }
    EXPECT_EQ(content.Text(statement.name, element.name), std::to_string(raw / kYen))
        << statement.name << " " << element.name << (mode.saved ? " saved" : " journals");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FormatAgainstWritersTest,
    ::testing::Values(Mode{"JournalsCorporation", false, 1}, Mode{"JournalsIndividual", false, 3},
                      Mode{"SavedCorporation", true, 1}, Mode{"SavedIndividual", true, 3}),
    [](const ::testing::TestParamInfo<Mode>& test) { return test.param.name; });

TEST(ElementLabelsTest, EveryElementHasALabelAndEveryLabelAnElement) {
  std::set<std::string> used;
  for (const GroupFormat& group : ReportFormat()) {
    for (const ElementFormat& element : group.elements) {
      const char* label = sheet::LabelOfElement(group.name, element.name);
      EXPECT_NE(label, nullptr) << group.name << " " << element.name;
      if (label != nullptr) used.insert(label);
      if (element.kind == ValueKind::kCode || element.kind == ValueKind::kCodeOrEmpty) {
        EXPECT_NE(sheet::CodeMeaning(element.name, "1"), nullptr) << element.name;
        EXPECT_NE(sheet::CodeMeaning(element.name, "2"), nullptr) << element.name;
      }
    }
  }
  for (const sheet::ElementLabel& entry : sheet::AllLabels()) {
    EXPECT_TRUE(used.count(entry.label)) << "no element has the label of " << entry.key;
  }
  for (const FormTopic& topic : FormTopics()) {
    EXPECT_NE(sheet::GroupTitle(topic.codeStem), nullptr) << topic.codeStem;
  }
}

}  // namespace
}  // namespace taxlink
