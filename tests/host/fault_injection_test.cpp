// Fault injection through MVHOST_FAULTS and the home's faults file.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

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
  setenv("MVHOST_FAULTS", "ClSetShohizei::Get=7,ClAccConnect::Initiate=1,new ClRuleShiwake=fail",
         1);
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

TEST(FaultSyntaxTest, EntriesAndTheirProblems) {
  struct Case {
    const char* text;
    std::map<std::string, int32_t> entries;
    std::vector<std::string> problems;
  } cases[] = {
      {" ClSetShohizei::Get = 7 ;new ClRuleShiwake=fail,\nClSetBumon::Walk=-12",
       {{"ClSetShohizei::Get", 7}, {"new ClRuleShiwake", -1}, {"ClSetBumon::Walk", -12}},
       {}},
      {"ClSetShohizei::Gett=1,ClSetShohizei::Get=2",
       {{"ClSetShohizei::Get", 2}},
       {"no host call has the fault name ClSetShohizei::Gett"}},
      {"ClSetBumon::Walk=,ClSetBumon::Walk=x,=3,ClSetBumon::Walk,ClSetBumon::Walk=99999999999",
       {},
       {"\"ClSetBumon::Walk=\" is not NAME=CODE (CODE an integer or fail)",
        "\"ClSetBumon::Walk=x\" is not NAME=CODE (CODE an integer or fail)",
        "\"=3\" is not NAME=CODE (CODE an integer or fail)",
        "\"ClSetBumon::Walk\" is not NAME=CODE (CODE an integer or fail)",
        "\"ClSetBumon::Walk=99999999999\" is not NAME=CODE (CODE an integer or fail)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::map<std::string, int32_t> entries;
    std::vector<std::string> problems;
    EXPECT_EQ(hosts::FaultTable::Parse(c.text, &entries, &problems), c.problems.empty());
    EXPECT_EQ(entries, c.entries);
    EXPECT_EQ(problems, c.problems);
  }
  EXPECT_EQ(hosts::FaultTable::Refusal("MVHOST_FAULTS", {"a", "b"}),
            "mvhost: fault setting MVHOST_FAULTS refused, none of its faults injected: a; b\n");
}

// A setting with a misspelt entry injects nothing: a run would otherwise pass
// for one that met the faults it names.
TEST_F(FaultInjectionTest, ARefusedSettingInjectsNothing) {
  host_.SetFaultsFile("ClSetShohizei::GetTaxRateCount=2\n");
  setenv("MVHOST_FAULTS", "ClSetShohizei::Get=7,ClSetShohizei::Gett=1", 1);
  StSHOHIZEIINFO settings;
  EXPECT_EQ(TaxSettings()->Get(&settings), 0);
  EXPECT_TRUE(hosts::FaultTable::Instance().refused());
  // The file's own setting still holds.
  EXPECT_EQ(TaxSettings()->GetTaxRateCount(), 2);
  host_.SetFaultsFile("");
}

}  // namespace
}  // namespace taxlink::testing
