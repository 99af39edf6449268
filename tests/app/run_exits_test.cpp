// The exits of a run of the real program against a host home: the host's
// launch line and notification, cancel, the link's refusals and fatal host
// errors in the pre-checks and the aggregation passes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;
const char* const kCancelled = "｢消費税｣の集計を中止します。"_sjis;

class RunExitsTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    AddSelectedCompany(host_);
    host_.AddJournal(Sale(20140410, 1000, 80));
  }
};

struct LaunchCase {
  const char* name;
  // The command line with "{path}" standing for the report's Windows path;
  // nullptr: no argument at all.
  const char* line;
  bool hosted;     // the host window is disabled and notified
  int functionId;  // as written in SYSTEM and posted
  bool pathFixed;  // the fourth field fixes the output path
};

class LaunchLineTest : public RunExitsTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchLineTest, WritesTheReportAndNotifiesOnlyAHostLaunch) {
  const LaunchCase& c = GetParam();
  const std::string path = OutWindows("tax.xml");
  std::vector<std::string> args;
  if (c.line != nullptr) {
    std::string line = c.line;
    size_t at = line.find("{path}");
    if (at != std::string::npos) line.replace(at, 6, path);
    args.push_back(line);
  }
  Program().ListenAsWindow(4660);
  std::vector<std::string> steps = JournalRunSteps(c.pathFixed ? "" : path);
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult result = RunWith(steps, args);

  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result), std::vector<std::string>{Utf8(kClosing)});
  if (c.hosted) {
    EXPECT_EQ(result.windowMessages, HostedRunDatagrams(c.functionId, 0));
  } else {
    EXPECT_TRUE(result.windowMessages.empty());
  }

  nlohmann::json dialog = ConditionsDialogEvent(result);
  EXPECT_EQ(FieldEnabled(dialog, kOutputPathEdit), !c.pathFixed);
  EXPECT_EQ(dialog["fields"]["1008"].value("text", ""), path);

  std::string report = ReadFileBytes(OutPosix("tax.xml"));
  EXPECT_EQ(ElementText(report, "FUNCTIONID"), std::to_string(c.functionId));
  // A hosted run keeps no path of its own: the record holds the one read
  // when the dialog opened, none here.
  std::string remembered = c.hosted ? "" : path;
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "U01/1/1:0/4/3/" + remembered + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LaunchLineTest,
    ::testing::Values(LaunchCase{"FourFields", "4660,1025,7,{path}", true, 7, true},
                      LaunchCase{"EmptyFourthField", "4660,1025,7,", true, 7, false},
                      LaunchCase{"TwoFields", "4660,1025", false, 1, false},
                      LaunchCase{"NoCommandLine", nullptr, false, 1, false}),
    [](const ::testing::TestParamInfo<LaunchCase>& test) { return test.param.name; });

// A hosted run keeps the path of the earlier record while the months and
// the method are those of the run.
TEST_F(RunExitsTest, HostedRunKeepsTheRememberedPath) {
  const std::string old = "C:\\earlier\\a.xml";
  std::ofstream(host_.Home() + "/folders/app/TaxLinkAlto.env")
      << "U02/1/1:0/4/3/C:\\other.xml\nU01/1/1:0/4/3/" << old << "\n";
  const std::string path = OutWindows("tax.xml");
  std::vector<std::string> steps = JournalRunSteps(path, 5, 9);
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult result = RunWith(steps, {"4660,1025,7,"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")), "");
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"),
            "U02/1/1:0/4/3/C:\\other.xml\nU01/1/1:0/5/9/" + old + "\n");
}

TEST_F(RunExitsTest, RunByHandRemembersItsPath) {
  std::ofstream(host_.Home() + "/folders/app/TaxLinkAlto.env")
      << "U01/1/1:0/6/8/C:\\earlier\\a.xml\n";
  const std::string path = OutWindows("tax.xml");
  std::vector<std::string> steps = JournalRunSteps(path, 5, 9);
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult result = RunWith(steps);
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "U01/1/1:0/5/9/" + path + "\n");
}

TEST_F(RunExitsTest, DialogOffersTheRememberedConditions) {
  std::ofstream(host_.Home() + "/folders/app/TaxLinkAlto.env")
      << "U01/1/1:0/6/8/C:\\earlier\\a.xml\n";
  ProgramRunResult result = RunWith({KeyStep("Esc"), AnswerStep("ok", kCancelled)});
  EXPECT_EQ(result.exitCode, 1);
  nlohmann::json fields = ConditionsDialogEvent(result)["fields"];
  EXPECT_EQ(fields["1014"].value("text", ""), "6");
  EXPECT_EQ(fields["1016"].value("text", ""), "8");
  EXPECT_EQ(fields["1008"].value("text", ""), "C:\\earlier\\a.xml");
  // Cancelling changes nothing.
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "U01/1/1:0/6/8/C:\\earlier\\a.xml\n");
}

// The host passes the launch line in Shift_JIS, as a Windows command line,
// and the program takes its bytes as they are; `mvhost launch --path` turns
// what was typed in UTF-8 into Shift_JIS. 表 ends in the byte 0x5C; ﾐ植
// (D0 90 41) starts like the UTF-8 of another character.
TEST_F(RunExitsTest, HostPathInShiftJisNamesTheReport) {
  for (const std::string name : {"出力表.xml"_sjis, "ﾐ植.xml"_sjis}) {
    for (bool typed : {false, true}) {
      SCOPED_TRACE(Utf8(name) + (typed ? " typed at mvhost launch" : " from the host"));
      std::vector<std::string> args;
      if (typed) {
        Program().LaunchThroughHost(std::vector<std::string>{"--path", Utf8(OutWindows(name))});
      } else {
        Program().LaunchThroughHost(std::nullopt);
        Program().ListenAsWindow(4660);
        args = {"4660,1025,7," + OutWindows(name)};
      }
      ProgramRunResult result = RunWith({ClickStep(kRunButton), AnswerStep("ok", kClosing)}, args);
      EXPECT_EQ(result.exitCode, 0) << result.standardError;
      EXPECT_EQ(Mismatches(result), "");
      if (!typed) {
        EXPECT_EQ(result.windowMessages, HostedRunDatagrams(7, 0));
      }
      EXPECT_EQ(ConditionsDialogEvent(result)["fields"]["1008"].value("text", ""),
                Utf8(OutWindows(name)));
      EXPECT_NE(ReadFileBytes(OutPosix(Utf8(name))), "");
      ::unlink(OutPosix(Utf8(name)).c_str());
    }
  }
}

TEST_F(RunExitsTest, CancelStopsTheRunAndTellsTheHost) {
  Program().ListenAsWindow(4660);
  ProgramRunResult result =
      RunWith({KeyStep("Esc"), AnswerStep("ok", kCancelled)}, {"4660,1025,7,"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result), std::vector<std::string>{Utf8(kCancelled)});
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(7, 1));
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
  EXPECT_EQ(result.standardError,
            "taxlink: the conditions dialog ended without a run (cancelled, or the data set was "
            "refused): result 1\n");
}

// The host says why it refused the link; the program exits with 3, which
// tells "nothing was done" from a written report.
TEST_F(RunExitsTest, AFailedInitiateShowsNothingAndPostsNothing) {
  host_.SetState("link", "closed");
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith({}, {"4660,1025,7," + OutWindows("tax.xml")});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.standardError,
            "mvhost: the accounting link cannot be opened: the host's link is closed (host state "
            "'link') (code -2007)\n");
  EXPECT_NE(ReadFileBytes(host_.Home() + "/error.log")
                .find(" code=-2007 link=\"cannot be opened: the host's link is closed (host state "
                      "'link')\"\n"),
            std::string::npos);
  EXPECT_TRUE(result.transcript.empty());
  // The launch line was never read, so the window was not even disabled.
  EXPECT_TRUE(result.windowMessages.empty());
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
}

struct LinkCase {
  const char* name;
  const char* sql;  // prepares the home
  int result;
  const char* reason;                 // what the host says on standard error and logs
  const char* hostMessage = nullptr;  // the host's own message, if it shows one
};

class LinkRefusalTest : public RunExitsTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkRefusalTest, EndsBeforeTheDialogWithTheLinksVerdict) {
  host_.Exec(GetParam().sql);
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith({}, {"4660,1025,3,"});
  EXPECT_EQ(result.exitCode, GetParam().result);
  // The program shows nothing of its own; the host names a damaged store.
  std::vector<std::string> expected;
  if (GetParam().hostMessage != nullptr) expected.push_back(Utf8(GetParam().hostMessage));
  EXPECT_EQ(MessageTexts(result), expected);
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(3, GetParam().result));
  // Never a stop without a word: the host names the reason and logs it.
  std::string reason = GetParam().reason;
  EXPECT_TRUE(result.standardError.ends_with(reason + "\n")) << result.standardError;
  std::string prefix = "mvhost: the host asks the program to stop: ";
  if (reason.rfind(prefix, 0) == 0) {
    EXPECT_NE(ReadFileBytes(host_.Home() + "/error.log")
                  .find(" code=1 link=\"stop: " + reason.substr(prefix.size()) + "\"\n"),
              std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    States, LinkRefusalTest,
    ::testing::Values(
        LinkCase{"DataSetHeldElsewhere",
                 "INSERT OR REPLACE INTO host_state (key, value) VALUES ('link', 'busy')", 1,
                 "mvhost: the host asks the program to stop: the data set is in use elsewhere "
                 "(host state 'link' is busy)"},
        LinkCase{"NoCurrentUser", "DELETE FROM host_state WHERE key = 'current_user'", 1,
                 "mvhost: the host asks the program to stop: the host has no current user "
                 "(mvhost state current_user USER)"},
        LinkCase{"UnknownCurrentUser", "UPDATE host_state SET value = 'ghost'", 1,
                 "mvhost: the host asks the program to stop: the current user ghost is not a "
                 "user of the store"},
        LinkCase{"SelectionNamesNoDataSet", "UPDATE app_user SET selected_data_no = 99", 1,
                 "mvhost: the host asks the program to stop: the current user U01 selects data "
                 "set 99, which the store does not hold (mvhost select U01 DATA-NUMBER)"},
        LinkCase{"EmptyStore", "DELETE FROM data_set", 1,
                 "mvhost: the host asks the program to stop: the store holds no data set (mvhost "
                 "import FILE.json)"},
        LinkCase{"DamagedStore", "DROP TABLE fixed_asset", 2,
                 "mvhost: the accounting link cannot be opened: the store is damaged (code -2008)",
                 "会計データが見つからないか、破損しています。\n\nエラーコード: -2008"_sjis}),
    [](const ::testing::TestParamInfo<LinkCase>& test) { return test.param.name; });

// A script that was asked for but cannot be read stops the program before
// it does anything, instead of cancelling every dialog.
TEST_F(RunExitsTest, AMissingUiScriptStopsAtOnce) {
  Program().ListenAsWindow(4660);
  const std::string missing = Program().workFolder() + "/no-such-script.jsonl";
  ProgramRunResult result = RunWith({}, {"4660,1025,7,"}, {"TAXLINK_UI_SCRIPT=" + missing});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.standardError, "taxlink: cannot read the user interface script " + missing +
                                      " (TAXLINK_UI_SCRIPT): No such file or directory\n");
  EXPECT_TRUE(result.transcript.empty());
  EXPECT_TRUE(result.windowMessages.empty());
}

// Without a drive for its own folder the program cannot find the filing
// application's definition file beside it: it says which folder and map.
TEST_F(RunExitsTest, AProgramFolderOnNoDriveIsNamed) {
  std::vector<std::string> steps = {AnswerStep("ok", "動作環境が不正です"_sjis)};
  ProgramRunResult result = RunWith(steps, {}, {"TAXLINK_DRIVES=Q=/nonexistent-drive"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.standardError.substr(0, result.standardError.find('\n') + 1),
            "taxlink: the program's folder " + Program().programFolder() +
                " has no drive letter in the drive map (TAXLINK_DRIVES=Q=/nonexistent-drive): "
                "map a drive to it or to a folder above it\n");
}

// A faults file left in a home: the programs of bin/ read no fault
// settings; those of bin-faults inject the faults and say which.
TEST_F(RunExitsTest, OnlyTheFaultBuildReadsAFaultsFile) {
  std::ofstream(host_.Home() + "/faults") << "ClAccConnect::Initiate=fail\n";
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
  steps.push_back(AnswerStep("ok", kClosing));
  ProgramRunResult release = RunWith(steps);
  EXPECT_EQ(release.exitCode, 0) << release.standardError;
  EXPECT_EQ(release.standardError, "");
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")), "");

  UseProgram("TaxLinkAlto", ProgramBuild::kFaults);
  ProgramRunResult faults = RunWith(steps);
  EXPECT_EQ(faults.exitCode, 3);
  EXPECT_EQ(faults.standardError, "mvhost: injecting faults: ClAccConnect::Initiate=-1\n");
  EXPECT_TRUE(faults.transcript.empty());
}

// A misspelt fault ends the fault build's program before the run: a run
// without the fault would pass for one that met it.
TEST_F(RunExitsTest, TheFaultBuildRefusesAMisspeltFault) {
  UseProgram("TaxLinkAlto", ProgramBuild::kFaults);
  Program().ListenAsWindow(4660);
  ProgramRunResult result =
      RunWith({}, {"4660,1025,7,"}, {"MVHOST_FAULTS=ClSetShohizei::Gett=1,ClSetShohizei::Get=x"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.standardError,
            "mvhost: fault setting MVHOST_FAULTS refused, none of its faults injected: no host "
            "call has the fault name ClSetShohizei::Gett; \"ClSetShohizei::Get=x\" is not "
            "NAME=CODE (CODE an integer or fail)\n");
  EXPECT_TRUE(result.transcript.empty());
  EXPECT_TRUE(result.windowMessages.empty());
}

struct PreCheckFaultCase {
  const char* name;
  const char* fault;
  int result;
  const char* hostMessage;  // the host's fatal message, nullptr for none
};

class HostFaultRunTest : public RunExitsTest,
                         public ::testing::WithParamInterface<PreCheckFaultCase> {
 protected:
  HostFaultRunTest() { UseProgram("TaxLinkAlto", ProgramBuild::kFaults); }
};

// A fatal host error in a pre-check or an aggregation pass fails the run with
// the host's message: figures without what could not be read never reach a
// report.
TEST_P(HostFaultRunTest, OnlyAFatalHostErrorEndsTheRun) {
  const PreCheckFaultCase& c = GetParam();
  std::vector<std::string> steps = JournalRunSteps(OutWindows("tax.xml"));
  if (c.result == 0) steps.push_back(AnswerStep("ok", kClosing));
  if (c.hostMessage != nullptr) steps.push_back(AnswerStep("ok"));
  Program().ListenAsWindow(4660);
  ProgramRunResult result =
      RunWith(steps, {"4660,1025,7,"}, {std::string("MVHOST_FAULTS=") + c.fault});

  EXPECT_EQ(result.exitCode, c.result) << result.standardError;
  EXPECT_EQ(result.windowMessages, HostedRunDatagrams(7, c.result));
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  if (c.hostMessage != nullptr) {
    EXPECT_EQ(messages[0].value("text", ""), Utf8(c.hostMessage));
    EXPECT_EQ(messages[0].value("icon", ""), "error");
    EXPECT_EQ(messages[0].value("caption", ""), Utf8("消費税"_sjis));
    // Nothing is written and nothing remembered.
    EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
    EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
  } else {
    EXPECT_EQ(messages[0].value("text", ""), Utf8(kClosing));
    EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HostFaultRunTest,
    ::testing::Values(
        PreCheckFaultCase{"SixthTypeCountFails", "ClRuleShiwake::CheckExistSwkByJigyoBunrui=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"RateFlagsFail", "ClRuleShiwake::CheckExistSwkByZeiRate=-3011", 2,
                          "会計データが破損しています。\n\nエラーコード: -3011"_sjis},
        PreCheckFaultCase{
            "RateRowsUnknown", "ClSetShohizei::GetTaxRateCount=-3005", 2,
            "会計データは他の処理で使用中です。\nしばらくしてから、もう一度実行してください。"
            "\n\nエラーコード: -3005"_sjis},
        PreCheckFaultCase{"TaxReturnFails", "ClRuleShohizeiShinkoku::SumTax=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"LegacyRateWalkFails", "ClRuleShohizei::MoveReady=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"AccountListFails", "ClSetKamoku::WalkFind=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"AccountSumsFail", "ClRuleKamoku::MoveNext=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"JournalWalkFails", "ClRuleShiwake::MoveNext=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{"FixedAssetsFail", "ClRuleGenkashokyaku::MoveReady=-5", 2,
                          "会計システムでエラーが発生しました。\n\nエラーコード: -5"_sjis},
        PreCheckFaultCase{
            "RuleObjectNotCreated", "new ClRuleShiwake=fail", 2,
            "処理に必要なオブジェクトを作成できませんでした。\n\nエラーコード: -1001"_sjis},
        // A code the host does not judge fatal lets the run go on.
        PreCheckFaultCase{"NonFatalCode", "ClRuleShiwake::CheckExistSwkByZeiRate=7", 0, nullptr}),
    [](const ::testing::TestParamInfo<PreCheckFaultCase>& test) { return test.param.name; });

}  // namespace
}  // namespace taxlink::testing
