// The report's reads through the embedded host: the settings behind the
// condition texts and the consumption-tax set object behind DATA and BASIC.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "aggregation/TaxSettings.h"
#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "report/ConditionText.h"
#include "report/ReportDocument.h"
#include "report/TransitionalFigures.h"
#include "tests/support/HostFixture.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CaptureLines;
using testing::DataSetSpec;
using testing::HostFixture;
using testing::HostStorage;
using testing::ValueOf;

StDATAINFO RecordOf(const DataSetSpec& wanted, int32_t dataNo) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  std::strncpy(data.dataId, wanted.dataId.c_str(), sizeof(data.dataId) - 1);
  data.dataNo = dataNo;
  std::strncpy(data.companyName, wanted.companyName.c_str(), sizeof(data.companyName) - 1);
  data.periodStart = wanted.periodStart;
  data.periodEnd = wanted.periodEnd;
  data.entityKind = static_cast<uint8_t>(wanted.entityKind);
  return data;
}

TEST(HostBackedReportTest, ConditionTextsReadTheCompanySettings) {
  struct Case {
    int32_t filingClass;
    int32_t roundingMode;
    int32_t creditMethod;
    int32_t mainBusinessType;
    const char* texts[5];
  };
  const Case cases[] = {
      {1,
       2,
       0,
       5,
       {" テスト商事株式会社"_sjis, " 2014/04/01～2015/03/31"_sjis, " 簡易課税"_sjis,
        "主となる事業分類"_sjis, " 第五種事業 サービス業"_sjis}},
      {2,
       0,
       1,
       0,
       {" テスト商事株式会社"_sjis, " 2014/04/01～2015/03/31"_sjis, " 原則課税"_sjis,
        "課税仕入控除"_sjis, " 一括比例配分方式"_sjis}},
      {0,
       1,
       0,
       0,
       {" テスト商事株式会社"_sjis, " 2014/04/01～2015/03/31"_sjis, " 免税"_sjis, "", ""}},
  };
  for (const Case& c : cases) {
    HostFixture host(HostStorage::kMemory);
    DataSetSpec wanted;
    wanted.filingClass = c.filingClass;
    wanted.roundingMode = c.roundingMode;
    wanted.creditMethod = c.creditMethod;
    wanted.mainBusinessType = c.mainBusinessType;
    int32_t no = host.AddDataSet(wanted);
    host.SelectForUser("U01", no);
    StDATAINFO data = RecordOf(wanted, no);
    TaxSettings settings;
    const Status read = ReadTaxSettings(data, &settings);
    ASSERT_TRUE(read.ok()) << read.ToString();
    for (int kind = 0; kind < 5; ++kind) {
      EXPECT_EQ(ConditionText(kind, data, settings.record), c.texts[kind]) << "kind " << kind;
    }
    EXPECT_EQ(settings.filingClass(), c.filingClass);
    EXPECT_EQ(settings.roundingMode(), c.roundingMode);
    EXPECT_EQ(settings.mainBusinessType(), c.filingClass == 1 ? c.mainBusinessType : 0);
  }
}

TEST(HostBackedReportTest, DataAndTransitionalFlagUseTheHostsTaxSetObject) {
  HostFixture host(HostStorage::kMemory);
  DataSetSpec wanted;
  int32_t no = host.AddDataSet(wanted);
  host.SelectForUser("U01", no);
  StDATAINFO data = RecordOf(wanted, no);
  TaxSummaryTables tables;
  tables.Allocate(3);
  TaxSettings settings;
  ASSERT_TRUE(ReadTaxSettings(data, &settings).ok());
  ASSERT_TRUE(settings.setObjectFound);
  settings.record.filingClass = 2;
  EXPECT_FALSE(HasTransitionalFigures(tables, settings));
  tables.rateInfo[1].badDebtExcl = 10000;  // a 5 % figure
  EXPECT_TRUE(HasTransitionalFigures(tables, settings));

  ReportDocument document(ReportInputs{tables, settings, nullptr, 1});
  bool ok = false;
  std::string text = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteData(w, data, settings.record); }, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ValueOf(text, "KASHIDAOREZEINUKI5"), "1");
  std::string basic = CaptureLines(
      [&](XmlTextWriter& w) { return document.WriteBasic(w, data, kSourceJournals); }, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ValueOf(basic, "KEIKASHOCHIKAZEISHISAN"), "1");
  EXPECT_EQ(ValueOf(basic, "KOMONSAKINAME"), "テスト商事株式会社"_sjis);
}

}  // namespace
}  // namespace taxlink
