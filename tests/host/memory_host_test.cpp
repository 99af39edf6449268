// The in-memory host: data sets written through the import's model and
// checks, read by the embedded host's own services.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/ClDataMgr.h"
#include "host/ClRuleShohizeiShinkoku.h"
#include "host/ClSetBase.h"
#include "host/ClSetData.h"
#include "mvhost/lib/DataModel.h"
#include "tests/hosts/MemoryHost.h"

namespace taxlink::testing {
namespace {

constexpr int64_t kYen = 10000;

// Model texts are UTF-8; these are ASCII, the same in the program's code page.
mvhost::DataSetModel OneSale(int64_t yen, int64_t taxYen) {
  mvhost::DataSetModel m;
  m.info.dataNo = 7;
  m.info.dataId = "D007";
  m.info.companyName = "Memory Trading";
  m.info.periodStart = 20140401;
  m.info.periodEnd = 20150331;
  m.taxRates = {8, 5, 3};
  m.accountClasses.push_back({"classes[0]", 0x40000000, "Sales", std::nullopt, false});
  mvhost::Account sales;
  sales.origin = "accounts[0]";
  sales.code = "500";
  sales.name = "Sales";
  sales.classCode = 0x40000000;
  sales.balanceSide = 2;
  m.accounts.push_back(sales);
  mvhost::JournalLine line;
  line.origin = "journals[0]";
  line.journalNo = 1;
  line.date = 20140410;
  line.monthKind = 1;  // the first month of the accounting year
  line.credit = {"500", 0, yen * kYen, taxYen * kYen, 1};
  line.rate = 8;
  m.journals.push_back(line);
  m.users.push_back({"users[0]", "U01", "", 1});
  return m;
}

TEST(MemoryHostTest, TheServicesReadWhatTheModelHolds) {
  hosts::MemoryHost host;
  std::string error;
  ASSERT_TRUE(host.Add(OneSale(1000, 80), &error)) << error;

  auto* dataSets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  StDATAINFO selected{};
  ASSERT_EQ(dataSets->GetSelectedInfo(&selected), 0);
  EXPECT_EQ(selected.dataNo, 7);

  std::vector<StTAXREPORTRATEINFO> rates(4);
  std::vector<StTAXREPORTBUSINESSTYPEINFO> types(24);
  std::memset(rates.data(), 0, rates.size() * sizeof(rates[0]));
  std::memset(types.data(), 0, types.size() * sizeof(types[0]));
  std::unique_ptr<ClRuleShohizeiShinkoku> rule(new (std::nothrow) ClRuleShohizeiShinkoku);
  ASSERT_EQ(rule->SumTax(2, nullptr, rates.data(), types.data()), 0);
  EXPECT_EQ(rates[0].taxableSalesExcl, 1000 * kYen);  // the 8 % row
  EXPECT_EQ(rates[0].taxableSalesTax, 80 * kYen);
  EXPECT_EQ(rates[3].taxableSalesIncl, 1080 * kYen);  // the totals row

  // Replacing the data set replaces its lines.
  ASSERT_TRUE(host.Add(OneSale(500, 40), &error)) << error;
  ASSERT_EQ(rule->SumTax(2, nullptr, rates.data(), types.data()), 0);
  EXPECT_EQ(rates[3].taxableSalesIncl, 540 * kYen);
}

TEST(MemoryHostTest, AModelTheImportRefusesIsRefused) {
  hosts::MemoryHost host;
  mvhost::DataSetModel m = OneSale(1000, 80);
  m.journals[0].credit.account = "999";
  std::string error;
  EXPECT_FALSE(host.Add(m, &error));
  EXPECT_NE(error.find("999"), std::string::npos) << error;
}

}  // namespace
}  // namespace taxlink::testing
