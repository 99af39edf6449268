// Fault injection through MVHOST_FAULTS and the home's faults file.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <memory>
#include <new>
#include <string>

#include "host/ClAccConnect.h"
#include "host/ClAccPeriod.h"
#include "host/ClDataMgr.h"
#include "host/ClFileMgr.h"
#include "host/ClRuleKamoku.h"
#include "host/ClRuleShiwake.h"
#include "host/ClSaveTaxShiryo.h"
#include "host/ClSetBase.h"
#include "host/ClSetShohizei.h"
#include "host/ClSysEnvMgr.h"
#include "host/Host.h"
#include "tests/hosts/FaultTable.h"
#include "tests/support/HostFixture.h"

namespace taxlink::testing {
namespace {

class FaultInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.AddDataSet({});
    host_.SelectForUser("U01", 1);
  }
  void TearDown() override { unsetenv("MVHOST_FAULTS"); }
  HostFixture host_;
};

ClSetShohizei* TaxSettings() {
  return static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
}

TEST_F(FaultInjectionTest, TheVariableNamesCallsAndCreations) {
  StSHOHIZEIINFO settings;
  ASSERT_EQ(TaxSettings()->Get(&settings), 0);
  setenv("MVHOST_FAULTS", "ClSetShohizei::Get=7,ClAccConnect::Initiate=1,new ClRuleShiwake=fail", 1);
  EXPECT_EQ(TaxSettings()->Get(&settings), 7);
  ClAccConnect::Inst()->SetAppType(ClSysEnvMgr::kAppTypeAlto);
  EXPECT_EQ(ClAccConnect::Inst()->Initiate(), 1);
  EXPECT_EQ(new (std::nothrow) ClRuleShiwake, nullptr);
  EXPECT_THROW(delete new ClRuleShiwake, std::bad_alloc);
  EXPECT_THROW(ClRuleShiwake onTheStack, std::bad_alloc);
  // Other calls and classes work as usual.
  std::unique_ptr<ClRuleKamoku> other(new (std::nothrow) ClRuleKamoku);
  EXPECT_NE(other, nullptr);
  EXPECT_EQ(TaxSettings()->GetTaxRateCount(), 4);
  unsetenv("MVHOST_FAULTS");
  EXPECT_EQ(TaxSettings()->Get(&settings), 0);
  std::unique_ptr<ClRuleShiwake> created(new (std::nothrow) ClRuleShiwake);
  EXPECT_NE(created, nullptr);
}

TEST_F(FaultInjectionTest, TheFileWorksAndTheVariableWins) {
  host_.SetFaultsFile(
      "# faults for this home\n"
      "ClSetShohizei::GetTaxRateCount=2\n"
      "new ClAccPeriod=fail   # no periods\n"
      "ClDataMgr::GetSysUserObject=fail; ClFileMgr::GetAppFolderPath=1\n");
  EXPECT_EQ(TaxSettings()->GetTaxRateCount(), 2);
  EXPECT_EQ(new (std::nothrow) ClAccPeriod, nullptr);
  EXPECT_EQ(ClDataMgr::Inst()->GetSysUserObject(), nullptr);
  EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(0), "");
  setenv("MVHOST_FAULTS", "ClSetShohizei::GetTaxRateCount=-3", 1);
  EXPECT_EQ(TaxSettings()->GetTaxRateCount(), -3);
  host_.SetFaultsFile("");
  unsetenv("MVHOST_FAULTS");
  EXPECT_EQ(TaxSettings()->GetTaxRateCount(), 4);
  std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod);
  EXPECT_NE(period, nullptr);
}

TEST_F(FaultInjectionTest, FaultsReachSetObjectsReadersAndTheDataManager) {
  setenv("MVHOST_FAULTS",
         "ClDataMgr::GetSetObject=fail,ClSaveTaxShiryo::GetTaxSaveInfo=-3001,"
         "ClMsgMgr::CheckFatalErrorWithMsg=5",
         1);
  EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1), nullptr);
  EXPECT_NE(ClDataMgr::Inst()->GetSetMgr(), nullptr);
  std::unique_ptr<ClSaveTaxShiryo> reader(new (std::nothrow) ClSaveTaxShiryo);
  StSaveTaxInfo info;
  EXPECT_EQ(reader->GetTaxSaveInfo(&info), -3001);
}

// A host call without a registered host is a fault of the program's set-up.
TEST(HostRegistrationDeathTest, ACallWithoutAHostEndsTheProcessSayingWhy) {
  EXPECT_DEATH(
      {
        host::Register(nullptr);
        ClDataMgr::Inst()->GetSetMgr();
      },
      "^taxlink: a host call was made before a host was registered\n$");
}

TEST(FaultSyntaxTest, EntriesAndMalformedEntries) {
  std::map<std::string, int32_t> entries;
  EXPECT_TRUE(hosts::FaultTable::Parse(" A::B = 7 ;new C=fail,\nD::E=-12", &entries));
  EXPECT_EQ(entries, (std::map<std::string, int32_t>{{"A::B", 7}, {"new C", -1}, {"D::E", -12}}));
  entries.clear();
  EXPECT_FALSE(hosts::FaultTable::Parse("A=,B=x,=3,C,D=99999999999,E=2", &entries));
  EXPECT_EQ(entries, (std::map<std::string, int32_t>{{"E", 2}}));
  // A name no host call has is said, not silently ignored.
  EXPECT_EQ(hosts::FaultTable::Announcement({{"ClSetShohizei::Get", 7}, {"ClSetShohizei::Gett", 1}}),
            "mvhost: injecting faults: ClSetShohizei::Get=7\n"
            "mvhost: no host call has the fault name: ClSetShohizei::Gett\n");
  EXPECT_EQ(hosts::FaultTable::Announcement({}), "");
}

}  // namespace
}  // namespace taxlink::testing
