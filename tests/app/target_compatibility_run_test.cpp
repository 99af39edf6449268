// The filing application's definition file next to the program decides
// whether a run may start; refusals are shown through the host link.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kBadInstallation =
    "動作環境が不正です。\nVelzo消費税申告が正しくインストールされているか確認してください。"_sjis;
const char* const kUpdateFilingApp =
    "ご利用の連動コンポーネントは、インストールされているVelzo消費税申告では使用できません。\n"
    "Velzo消費税申告の最新版を入手してインストールしてからご利用ください。"_sjis;
const char* const kUpdateLinkComponent =
    "ご利用の連動コンポーネントは、インストールされているVelzo消費税申告では使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。"_sjis;
const char* const kCancelled = "｢消費税｣の集計を中止します。"_sjis;

struct DefinitionCase {
  const char* name;
  // The whole definition file, nullptr for no file.
  const char* file;
  const char* message;  // the refusal, nullptr when the run goes on
};

class TargetCompatibilityRunTest : public ProgramRunTest,
                                   public ::testing::WithParamInterface<DefinitionCase> {
 protected:
  void SetUp() override { AddSelectedCompany(host_); }
};

TEST_P(TargetCompatibilityRunTest, RefusesOrGoesOnToTheDialog) {
  const DefinitionCase& c = GetParam();
  if (c.file == nullptr) {
    Program().SetDefinitionLevel(std::nullopt);
  } else {
    Program().WriteProgramFile("VelzoDef.ini", c.file);
  }
  // A run that goes on is cancelled in the dialog.
  std::vector<std::string> steps;
  if (c.message != nullptr) {
    steps.push_back(AnswerStep("ok"));
  } else {
    steps = {KeyStep("Esc"), AnswerStep("ok", kCancelled)};
  }
  Program().ListenAsWindow(4660);
  ProgramRunResult result = RunWith(steps, {"4660,1025,2,"});

  EXPECT_EQ(Mismatches(result), "");
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  if (c.message != nullptr) {
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(messages[0].value("text", ""), Utf8(c.message));
    EXPECT_EQ(messages[0].value("icon", ""), "warning");
    EXPECT_EQ(messages[0].value("buttons", ""), "ok");
    EXPECT_EQ(messages[0].value("caption", ""), Utf8("消費税"_sjis));
    EXPECT_EQ(messages[0].value("owner", 0), 4660);
    EXPECT_TRUE(EventsOf(result, "dialog").empty());
    EXPECT_EQ(result.windowMessages, HostedRunDatagrams(2, 2));
  } else {
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(messages[0].value("text", ""), Utf8(kCancelled));
    EXPECT_EQ(EventsOf(result, "dialog").size(), 1u);
    EXPECT_EQ(result.windowMessages, HostedRunDatagrams(2, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, TargetCompatibilityRunTest,
    ::testing::Values(DefinitionCase{"Missing", nullptr, kBadInstallation},
                      DefinitionCase{"NoSection", "[Other]\r\nSY26=3\r\n", nullptr},
                      DefinitionCase{"NoKey", "[ProgramLevel]\r\nSY25=3\r\n", nullptr},
                      DefinitionCase{"EmptyValue", "[ProgramLevel]\r\nSY26=\r\n", kBadInstallation},
                      DefinitionCase{"One", "[ProgramLevel]\r\nSY26=1\r\n", nullptr},
                      DefinitionCase{"LeadingZero", "[ProgramLevel]\r\nSY26=01\r\n", nullptr},
                      DefinitionCase{"OneWithText", "[ProgramLevel]\r\nSY26=1a\r\n", nullptr},
                      DefinitionCase{"Zero", "[ProgramLevel]\r\nSY26=0\r\n", kUpdateFilingApp},
                      DefinitionCase{"Negative", "[ProgramLevel]\r\nSY26=-1\r\n", kUpdateFilingApp},
                      DefinitionCase{"NotANumber", "[ProgramLevel]\r\nSY26=abc\r\n",
                                     kUpdateFilingApp},
                      DefinitionCase{"Two", "[ProgramLevel]\r\nSY26=2\r\n", kUpdateLinkComponent},
                      DefinitionCase{"Ten", "[ProgramLevel]\r\nSY26=10\r\n", kUpdateLinkComponent}),
    [](const ::testing::TestParamInfo<DefinitionCase>& test) { return test.param.name; });

// Started by hand, the refusal has no owner window and nothing is posted.
TEST(TargetCompatibilityRunByHandTest, RefusalHasNoOwner) {
  HostFixture host;
  AddSelectedCompany(host);
  ProgramRun program;
  program.SetDefinitionLevel(std::nullopt);
  program.SetUiScript({AnswerStep("ok")});
  program.ListenAsWindow(4660);
  ProgramRunResult result = program.Run(host.Home(), {});
  EXPECT_EQ(result.exitCode, 2);
  std::vector<nlohmann::json> messages = EventsOf(result, "message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].value("owner", -1), 0);
  EXPECT_EQ(messages[0].value("text", ""), Utf8(kBadInstallation));
  EXPECT_TRUE(result.windowMessages.empty());
}

// The host may name the filing application differently.
TEST(TargetCompatibilityRunByHandTest, HostNamesTheFilingApplication) {
  HostFixture host;
  AddSelectedCompany(host);
  host.SetState("filing_app_name", "申告アプリ"_sjis);
  ProgramRun program;
  program.SetDefinitionLevel("2");
  program.SetUiScript({AnswerStep("ok")});
  ProgramRunResult result = program.Run(host.Home(), {});
  EXPECT_EQ(result.exitCode, 2);
  std::vector<std::string> texts = MessageTexts(result);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(
      texts[0],
      Utf8("ご利用の連動コンポーネントは、インストールされている申告アプリでは使用できません。\n"
           "連動コンポーネントの最新版を入手してインストールしてからご利用ください。"_sjis));
}

}  // namespace
}  // namespace taxlink::testing
