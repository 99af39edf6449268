// The link, message, folder and user services against real host state.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "host/ClAccConnect.h"
#include "host/ClDataMgr.h"
#include "host/ClFileMgr.h"
#include "host/ClMsgMgr.h"
#include "host/ClSetBase.h"
#include "host/ClSetBumon.h"
#include "host/ClSetData.h"
#include "host/ClSetKamoku.h"
#include "host/ClSetMgr.h"
#include "host/ClSetShohizei.h"
#include "host/ClSysEnvMgr.h"
#include "host/ClSysUser.h"
#include "host/ClToolTipMgr.h"
#include "host/HostStatus.h"
#include "mvhost/lib/HostCodes.h"
#include "mvhost/lib/HostMessages.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/RecordText.h"
#include "mvhost/lib/ToolTipRegistry.h"
#include "platform/dialog/Dialog.h"
#include "tests/support/HostFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

int32_t Connect(int appType) {
  ClAccConnect* link = ClAccConnect::Inst();
  link->Release();
  link->SetAppType(appType);
  link->SetUseDataType(3);
  return link->Initiate();
}

struct LinkCase {
  const char* name;
  const char* edition;  // host_state 'edition', null: absent
  const char* link;     // host_state 'link', null: absent
  bool selectData;
  int32_t initiate;
  int32_t expSysLink;  // only when Initiate succeeds
};

TEST(ServicesLinkTest, InitiateAndExpSysLinkFollowHostState) {
  const LinkCase cases[] = {
      {"open link, data selected", "3", nullptr, true, 0, 0},
      {"edition by name", "alto", "open", true, 0, 0},
      {"another edition", "4", nullptr, true, mvhost::kErrEditionMismatch, 0},
      {"link closed", nullptr, "closed", true, mvhost::kErrLinkClosed, 0},
      {"data set held by another user", "3", "busy", true, 0, 1},
      {"nothing selected", nullptr, nullptr, false, 0, 1},
  };
  for (const LinkCase& c : cases) {
    SCOPED_TRACE(c.name);
    HostFixture host;
    int32_t no = host.AddDataSet({});
    if (c.selectData) host.SelectForUser("U01", no);
    if (c.edition != nullptr) host.SetState("edition", c.edition);
    if (c.link != nullptr) host.SetState("link", c.link);
    EXPECT_EQ(Connect(ClSysEnvMgr::kAppTypeAlto), c.initiate);
    if (c.initiate == 0) {
      EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), c.expSysLink);
    }
  }
}

TEST(ServicesLinkTest, InitiateFailsWithoutAStore) {
  HostFixture host;
  std::remove((host.Home() + "/host.db").c_str());
  EXPECT_EQ(Connect(ClSysEnvMgr::kAppTypeStd), mvhost::kErrNoStore);
}

// Any of the host's tables missing is a damaged store.
TEST(ServicesLinkTest, ExpSysLinkReportsADamagedStore) {
  for (const char* table : {"host_state", "data_set", "journal_line", "saved_return"}) {
    SCOPED_TRACE(table);
    HostFixture host;
    int32_t no = host.AddDataSet({});
    host.SelectForUser("U01", no);
    ASSERT_EQ(Connect(ClSysEnvMgr::kAppTypeStd), 0);
    ASSERT_EQ(ClAccConnect::Inst()->ExpSysLink(), 0);
    host.Exec(std::string("DROP TABLE ") + table);
    EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), mvhost::kErrDamagedStore);
  }
}

TEST(ServicesLinkTest, ExpSysLinkBeforeInitiateIsAFailure) {
  HostFixture host;
  ClAccConnect::Inst()->Release();
  EXPECT_EQ(ClAccConnect::Inst()->ExpSysLink(), mvhost::kErrNotReady);
}

TEST(ServicesLinkTest, DispMsgNamesTheFilingApplication) {
  HostFixture host;
  HostMessageRecorder recorder(IDOK);
  ClAccConnect::Inst()->DispMsg(77, "ES_APRPACKAGENAMEを確認してください。(ES_APRPACKAGENAME)"_sjis,
                                "消費税"_sjis, 48);
  host.SetState("filing_app_name", "申告ソフト"_sjis);
  ClAccConnect::Inst()->DispMsg(0, "ES_APRPACKAGENAME", "消費税"_sjis, 48);
  ASSERT_EQ(recorder.Messages().size(), 2u);
  EXPECT_EQ(recorder.Messages()[0].text,
            "Velzo消費税申告を確認してください。(Velzo消費税申告)"_sjis);
  EXPECT_EQ(recorder.Messages()[0].caption, "消費税"_sjis);
  EXPECT_EQ(recorder.Messages()[0].owner, 77u);
  EXPECT_EQ(recorder.Messages()[0].style, 48u);
  EXPECT_EQ(recorder.Messages()[1].text, "申告ソフト"_sjis);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ServicesLinkTest, SetLastErrorLogsFailuresAndReturnsEveryCode) {
  HostFixture host;
  ClMsgMgr* messages = ClMsgMgr::Inst();
  EXPECT_EQ(messages->SetLastError(0, nullptr, 0), 0);
  EXPECT_EQ(messages->SetLastError(-1001, "AddTax", 120), -1001);
  // A notice (2001: nothing saved) is no failure: the caller gets it back,
  // the log stays for errors.
  EXPECT_EQ(messages->SetLastError(2001, "SavedReturn", 33), 2001);
  std::string log = ReadFile(host.Home() + "/error.log");
  EXPECT_NE(log.find(" code=-1001 file=AddTax line=120\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("code=2001"), std::string::npos) << log;
  EXPECT_EQ(log.find("code=0"), std::string::npos) << log;
}

TEST(ServicesLinkTest, CheckFatalErrorShowsTheHostMessageForNegativeCodes) {
  HostFixture host;
  HostMessageRecorder recorder;
  ClAccConnect::Inst()->Release();
  ClMsgMgr* messages = ClMsgMgr::Inst();
  EXPECT_EQ(messages->CheckFatalErrorWithMsg(0, -1, 1, 0), 0);
  EXPECT_EQ(messages->CheckFatalErrorWithMsg(kHostEndOfData, -1, 1, 0), 0);
  EXPECT_TRUE(recorder.Messages().empty());
  EXPECT_EQ(messages->CheckFatalErrorWithMsg(-1001, -1, 1, 0), -1001);
  EXPECT_NE(messages->CheckFatalErrorWithMsg(mvhost::kErrSqlBase - 1, -1, 1, 0), 0);
  ASSERT_EQ(recorder.Messages().size(), 2u);
  EXPECT_EQ(recorder.Messages()[0].text,
            "処理に必要なオブジェクトを作成できませんでした。\n\nエラーコード: -1001"_sjis);
  EXPECT_EQ(recorder.Messages()[0].caption, "会計システム"_sjis);
  EXPECT_EQ(recorder.Messages()[0].style, MB_OK | MB_ICONERROR);
  EXPECT_EQ(
      recorder.Messages()[1].text,
      "会計データの読み込み中にデータベースのエラーが発生しました。\n\nエラーコード: -3001"_sjis);
}

TEST(ServicesLinkTest, AppFolderPathsAreWindowsPathsEndingInABackslash) {
  HostFixture host;
  setenv("TAXLINK_DRIVES", ("H=" + host.Home()).c_str(), 1);
  EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(0), "H:\\folders\\out\\");
  EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(1), "H:\\folders\\app\\");
  EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(2), "");
  setenv("TAXLINK_DRIVES", "C=/nonexistent-root-for-test", 1);
  EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(0), "");
  unsetenv("TAXLINK_DRIVES");
}

TEST(ServicesLinkTest, ToolTipsStayWithTheirDialogUntilTheManagerGoes) {
  platform::DialogTemplate dialogTemplate{130, "条件"_sjis, {}, "MS UI Gothic", 9, 0, {}};
  platform::Dialog dialog(dialogTemplate, 0);
  {
    ClToolTipMgr manager;
    TOOLTIPMSG_TABLE table[] = {{1032, "説明"_sjis, 1}};
    EXPECT_EQ(manager.Init(&dialog, table, 1), 0);
    std::vector<mvhost::ToolTip> tips = mvhost::ToolTipsOf(&dialog);
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].controlId, 1032);
    EXPECT_EQ(tips[0].text, "説明"_sjis);
    EXPECT_EQ(tips[0].flag, 1);
  }
  EXPECT_TRUE(mvhost::ToolTipsOf(&dialog).empty());
}

TEST(ServicesLinkTest, CurrentUserAndSelection) {
  HostFixture host;
  host.AddDataSet({.dataNo = 4, .dataId = "D004"});
  host.SelectForUser("U07", 4, 9);
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  char userId[65];
  std::memset(userId, 'x', sizeof(userId));
  ASSERT_EQ(user->GetCurUserID(userId), 0);
  EXPECT_STREQ(userId, "U07");
  int32_t first = 0;
  int32_t second = 0;
  ASSERT_EQ(user->GetSelectedNo(userId, &first, &second), 0);
  EXPECT_EQ(first, 9);
  EXPECT_EQ(second, 4);
  EXPECT_EQ(user->GetSelectedNo("nobody", &first, &second), mvhost::kErrNoUser);
}

// A launch for one data set (mvhost batch) names its user and data set in
// the environment; the home's current user and the stored selections stay.
TEST(ServicesLinkTest, TheRunsOwnUserAndDataSetComeFirst) {
  HostFixture host;
  host.AddDataSet({.dataNo = 4, .dataId = "D004"});
  host.AddDataSet({.dataNo = 5, .dataId = "D005"});
  host.SelectForUser("U07", 4, 9);
  host.SelectForUser("U08", 4, 3);  // the current user now
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  char userId[65] = {};
  int32_t first = 0;
  int32_t second = 0;
  struct Case {
    const char* runUser;
    const char* runDataNo;
    const char* wantUser;
    int32_t wantSecond;
  } cases[] = {
      {"U07", "5", "U07", 5},
      {"U07", nullptr, "U07", 4},  // the user's own selection
      {"U07", "5x", "U07", 4},     // not a number: not taken
      {nullptr, "5", "U08", 4},    // a data set without a user is not taken
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.runUser ? c.runUser : "-") + "/" +
                 (c.runDataNo ? c.runDataNo : "-"));
    c.runUser ? ::setenv("MVHOST_USER", c.runUser, 1) : ::unsetenv("MVHOST_USER");
    c.runDataNo ? ::setenv("MVHOST_DATA_NO", c.runDataNo, 1) : ::unsetenv("MVHOST_DATA_NO");
    ASSERT_EQ(user->GetCurUserID(userId), 0);
    EXPECT_STREQ(userId, c.wantUser);
    ASSERT_EQ(user->GetSelectedNo(userId, &first, &second), 0);
    EXPECT_EQ(second, c.wantSecond);
  }
  ::setenv("MVHOST_USER", "U07", 1);
  ::setenv("MVHOST_DATA_NO", "6", 1);
  int32_t dataNo = 0;
  sqlite3* db = host.Db();
  EXPECT_EQ(mvhost::HostSession::SelectedDataNo(db, &dataNo), mvhost::kErrNoDataSet);
  ::unsetenv("MVHOST_USER");
  ::unsetenv("MVHOST_DATA_NO");
  std::string stored;
  EXPECT_TRUE(mvhost::HostSession::StateValue(db, "current_user", &stored));
  EXPECT_EQ(stored, "U08");
}

TEST(ServicesLinkTest, DataSetsWalkInNumberOrderAndTheSelectionIsFound) {
  HostFixture host;
  host.AddDataSet({.dataNo = 7, .dataId = "D007", .companyName = "七番商店"_sjis});
  host.AddDataSet({.dataNo = 2,
                   .dataId = "D002",
                   .periodStart = 20140101,
                   .periodEnd = 20141231,
                   .interimClosing = true,
                   .recordKind = 99,
                   .entityKind = 3,
                   .incomeKind = 3});
  host.SelectForUser("U01", 7);
  auto* sets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  ASSERT_NE(sets, nullptr);
  int32_t cursor = 0;
  ASSERT_EQ(sets->GetDatCursor(&cursor), 0);
  StDATAINFO info;
  EXPECT_EQ(sets->WalkDat(&info, cursor), mvhost::kErrNotReady);
  ASSERT_EQ(sets->ReadyDat(cursor, 0), 0);
  ASSERT_EQ(sets->WalkDat(&info, cursor), 0);
  EXPECT_EQ(info.dataNo, 2);
  EXPECT_STREQ(info.dataId, "D002");
  EXPECT_EQ(info.periodStart, 20140101);
  EXPECT_EQ(info.periodEnd, 20141231);
  EXPECT_EQ(info.interimClosing, 1);
  EXPECT_EQ(info.recordKind, 99);
  EXPECT_EQ(info.entityKind, 3);
  EXPECT_EQ(info.incomeKind, 3);
  ASSERT_EQ(sets->WalkDat(&info, cursor), 0);
  EXPECT_EQ(info.dataNo, 7);
  EXPECT_STREQ(info.companyName, "七番商店"_sjis);
  EXPECT_EQ(sets->WalkDat(&info, cursor), kHostEndOfData);
  sets->ReleaseDatCursor(cursor);

  std::memset(&info, 0, sizeof(info));
  ASSERT_EQ(sets->GetSelectedInfo(&info), 0);
  EXPECT_EQ(info.dataNo, 7);
}

TEST(ServicesLinkTest, TaxSettingsAndRateRowsWithTheirTotalsRow) {
  HostFixture host;
  host.AddDataSet({.dataNo = 1,
                   .dataId = "A",
                   .filingClass = 1,
                   .roundingMode = 3,
                   .creditMethod = 1,
                   .mainBusinessType = 5,
                   .taxIncluded = true});
  host.AddDataSet({.dataNo = 2, .dataId = "B", .rates = {800, 500}});
  host.SelectForUser("U01", 1);
  auto* tax = static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindTaxSettings, 1));
  ASSERT_NE(tax, nullptr);
  StSHOHIZEIINFO settings;
  std::memset(&settings, 0xAA, sizeof(settings));
  ASSERT_EQ(tax->Get(&settings), 0);
  EXPECT_EQ(settings.filingClass, 1);
  EXPECT_EQ(settings.roundingMode, 3);
  EXPECT_EQ(settings.creditMethod, 1);
  EXPECT_EQ(settings.mainBusinessType, 5);
  EXPECT_EQ(settings.taxIncluded, 1);
  EXPECT_EQ(settings.reserved6[0], 0);
  // The rows of 8, 5 and 3 % plus the totals row, whatever rates a data set
  // lists.
  EXPECT_EQ(tax->GetTaxRateCount(), 4);
  ASSERT_EQ(tax->SetCurDataID("B"), 0);
  EXPECT_EQ(tax->GetTaxRateCount(), 4);
  EXPECT_EQ(tax->SetCurDataID("missing"), mvhost::kErrNoDataSet);
  EXPECT_EQ(tax->Get(&settings), mvhost::kErrNoDataSet);
}

TEST(ServicesLinkTest, AccountWalkFiltersOnTheAccountClass) {
  HostFixture host;
  host.AddDataSet({});
  host.AddAccount({.accountId = 3, .code = "500", .name = "仕入高"_sjis, .classCode = 0x20400000});
  host.AddAccount({.accountId = 1,
                   .code = "400",
                   .name = "売上高"_sjis,
                   .classCode = 0x40888000,
                   .balanceSide = 2});
  host.AddAccount({.accountId = 2,
                   .code = "410",
                   .name = "雑収入"_sjis,
                   .classCode = 0x40848000,
                   .excluded = true});
  host.SelectForUser("U01", 1);
  auto* accounts = static_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindAccounts, 1));
  StFINDINFO filter;
  std::memset(&filter, 0, sizeof(filter));
  filter.conditions[0] = {kFieldAccountClass,
                          0,
                          kOpEqual,
                          {},
                          kValueAccountClass,
                          {},
                          static_cast<int32_t>(0x40888000),
                          {},
                          0,
                          kLinkOr,
                          {}};
  filter.conditions[1] = {kFieldAccountClass,
                          0,
                          kOpEqual,
                          {},
                          kValueAccountClass,
                          {},
                          static_cast<int32_t>(0x40848000),
                          {},
                          0,
                          kLinkLast,
                          {}};
  int32_t cursor = 0;
  accounts->GetCursor(&cursor);
  accounts->ReadyCursor(cursor);
  StKAMOKUINFO account;
  ASSERT_EQ(accounts->WalkFind(&filter, &account, cursor), 0);
  EXPECT_EQ(account.accountId, 1);
  EXPECT_STREQ(account.code, "400");
  EXPECT_STREQ(account.name, "売上高"_sjis);
  EXPECT_EQ(account.balanceSide, 2);
  EXPECT_EQ(account.classCode, 0x40888000u);
  ASSERT_EQ(accounts->WalkFind(&filter, &account, cursor), 0);
  EXPECT_EQ(account.accountId, 2);
  EXPECT_EQ(account.excluded, 1);
  EXPECT_EQ(accounts->WalkFind(&filter, &account, cursor), kHostEndOfData);

  // Readied again, the walk starts over; a filter changed mid-walk goes on
  // after the last account handed out, with the new filter.
  accounts->ReadyCursor(cursor);
  filter.conditions[0].link = kLinkLast;
  ASSERT_EQ(accounts->WalkFind(&filter, &account, cursor), 0);
  EXPECT_EQ(account.accountId, 1);
  StFINDINFO all;
  std::memset(&all, 0, sizeof(all));
  ASSERT_EQ(accounts->WalkFind(&all, &account, cursor), 0);
  EXPECT_EQ(account.accountId, 2);
  ASSERT_EQ(accounts->WalkFind(&all, &account, cursor), 0);
  EXPECT_EQ(account.accountId, 3);
  EXPECT_EQ(accounts->WalkFind(&all, &account, cursor), kHostEndOfData);
  accounts->ReleaseCursor(cursor);
}

// A store edited outside the import may hold a text that Shift_JIS lacks:
// the record is refused as a host error naming it, and the walk goes on.
TEST(ServicesLinkTest, AStoreTextThatShiftJisLacksIsAHostErrorNamingTheRecord) {
  HostFixture host;
  host.AddDataSet({.dataNo = 2, .dataId = "D002"});
  host.AddDataSet({.dataNo = 7, .dataId = "D007"});
  host.AddAccount(7,
                  {.accountId = 3, .code = "500", .name = "仕入高"_sjis, .classCode = 0x20400000});
  host.AddAccount(7, {.accountId = 4, .code = "510", .name = "雑費"_sjis, .classCode = 0x20400000});
  host.SelectForUser("U01", 7);
  host.Exec("UPDATE data_set SET company_name = 'caf\xC3\xA9' WHERE data_no = 2");
  host.Exec("UPDATE account SET name = '\xF0\x9F\x98\x80' WHERE account_id = 3");

  auto* sets = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindDataSets, 1));
  int32_t cursor = 0;
  sets->GetDatCursor(&cursor);
  sets->ReadyDat(cursor, 0);
  StDATAINFO info;
  EXPECT_EQ(sets->WalkDat(&info, cursor), mvhost::kErrBadStoreText);
  EXPECT_EQ(mvhost::LastStoreTextRecord(), "data set 2: company_name");
  EXPECT_NE(mvhost::HostErrorText(mvhost::kErrBadStoreText).find("data set 2: company_name"),
            std::string::npos);
  ASSERT_EQ(sets->WalkDat(&info, cursor), 0);
  EXPECT_EQ(info.dataNo, 7);
  sets->ReleaseDatCursor(cursor);

  auto* accounts = static_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindAccounts, 1));
  StFINDINFO all;
  std::memset(&all, 0, sizeof(all));
  accounts->GetCursor(&cursor);
  accounts->ReadyCursor(cursor);
  StKAMOKUINFO account;
  EXPECT_EQ(accounts->WalkFind(&all, &account, cursor), mvhost::kErrBadStoreText);
  EXPECT_EQ(mvhost::LastStoreTextRecord(), "data set 7: account 3 name");
  ASSERT_EQ(accounts->WalkFind(&all, &account, cursor), 0);
  EXPECT_STREQ(account.name, "雑費"_sjis);
  accounts->ReleaseCursor(cursor);
}

TEST(ServicesLinkTest, DepartmentsWalkAndLookUpByCode) {
  HostFixture host;
  host.AddDataSet({.entityKind = 3, .incomeKind = 3});
  host.AddDepartment(
      {.code = 20, .name = "賃貸"_sjis, .kind = 1, .parentCode = 0, .incomeKind = 3});
  host.AddDepartment(
      {.code = 10, .name = "本店"_sjis, .kind = 2, .parentCode = 5, .incomeKind = 1});
  host.SelectForUser("U01", 1);
  auto* departments = static_cast<ClSetBumon*>(
      ClDataMgr::Inst()->GetSetMgr()->GetSetObject(kSetKindDepartments, 1));
  ASSERT_NE(departments, nullptr);
  EXPECT_EQ(departments->GetBmnCount(0), 2);
  int32_t cursor = 0;
  departments->GetCursor(&cursor);
  departments->ReadyCursor(cursor);
  StBUMONINFO department;
  ASSERT_EQ(departments->Walk(&department, cursor), 0);
  EXPECT_EQ(department.code, 10);
  EXPECT_EQ(department.parentCode, 5);
  EXPECT_EQ(department.kind, 2);
  EXPECT_STREQ(department.name, "本店"_sjis);
  ASSERT_EQ(departments->Walk(&department, cursor), 0);
  EXPECT_EQ(department.code, 20);
  EXPECT_EQ(department.incomeKind, 3);
  EXPECT_EQ(departments->Walk(&department, cursor), kHostEndOfData);
  department.code = -5;
  EXPECT_NE(departments->GetInfoByCode(cursor, 99, &department), 0);
  EXPECT_EQ(department.code, -5);  // untouched
  ASSERT_EQ(departments->GetInfoByCode(cursor, 10, &department), 0);
  EXPECT_EQ(department.code, 10);
  departments->ReleaseCursor(cursor);
}

}  // namespace
}  // namespace taxlink::testing
