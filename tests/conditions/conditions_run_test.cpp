#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "conditions/ConditionsDialog.h"
#include "platform/text/WinTypes.h"
#include "resources/ConditionsDialogTemplate.h"
#include "tests/support/ConditionsDialogFixture.h"
#include "tests/support/ConditionsTestSupport.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

using testing::ConditionsDialogTest;
using testing::ConditionsWriteFile;
namespace fs = std::filesystem;

constexpr uint32_t kRefusal = testing::kRefusalStyle;
constexpr uint32_t kQuestion = testing::kQuestionStyle;

struct RunCase {
  const char* name;
  const char* start;
  const char* end;
  std::string path;
  const char* message;
  uint32_t style;
  int focus;
  const char* existingFile = nullptr;  // a file put in place first (below the drive)
};

std::string TooLongFolderPath() {
  std::string name;
  for (int i = 0; i < 86; ++i) name += "あ"_sjis;
  return "C:\\out\\new\\" + name + "\\x.xml";
}

// 261 bytes: one more than the run's path buffers hold.
std::string TooLongPath() { return "C:\\out\\" + std::string(250, 'a') + ".xml"; }

const RunCase kRunRefusals[] = {
    {"StartMonthOutOfRange", "0", "3", "C:\\out\\x.xml",
     "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis, kRefusal,
     kIdcStartMonth},
    {"EndMonthOutOfRange", "4", "13", "C:\\out\\x.xml",
     "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis, kRefusal,
     kIdcEndMonth},
    {"EndBeforeStart", "5", "4", "C:\\out\\x.xml",
     "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis, kRefusal,
     kIdcEndMonth},
    {"EmptyMonth", "", "3", "C:\\out\\x.xml",
     "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"_sjis, kRefusal,
     kIdcStartMonth},
    {"NoPath", "4", "3", "",
     "データ出力先が指定されていません。\n\n出力先を指定してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"DefaultName", "4", "3", "C:\\out\\*.xml",
     "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"DoubledSeparator", "4", "3", "C:\\a\\\\b.xml",
     "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"DigitDrive", "4", "3", "1:\\a.xml",
     "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"CdRomDrive", "4", "3", "D:\\a.xml",
     "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"FolderOnly", "4", "3", "C:\\out\\", "ファイル名が指定されていません。"_sjis, kRefusal,
     kIdcOutputPath},
    {"ExistingFolderAsName", "4", "3", "C:\\out", "ファイル名が指定されていません。"_sjis, kRefusal,
     kIdcOutputPath},
    {"FolderCannotBeCreated", "4", "3", TooLongFolderPath(), nullptr, 0, kIdcOutputPath},
    // Said as it is, not as a wrong character.
    {"PathTooLong", "4", "3", TooLongPath(),
     "データの出力先が長すぎます。\n\n出力先を再入力してください。"_sjis, kRefusal, kIdcOutputPath},
    // A drive letter without a root: said before the folder question,
    // whose Yes could create nothing there.
    {"DriveWithoutRoot", "4", "3", "Q:\\out\\x.xml",
     "指定されたドライブが見つかりません。\n\n有効なドライブを指定してください。"_sjis, kRefusal,
     kIdcOutputPath},
    {"DriveWithoutRootNoFolder", "4", "3", "Q:x.xml",
     "指定されたドライブが見つかりません。\n\n有効なドライブを指定してください。"_sjis, kRefusal,
     kIdcOutputPath},
    // A folder part that names a file is a missing folder that cannot be
    // made, never the file itself.
    {"FileAsFolder", "4", "3", "C:\\out\\exists.xml\\a.xml", nullptr, 0, kIdcOutputPath,
     "out/exists.xml"},
    {"FileAsFolderWithDot", "4", "3", "C:\\out\\exists.xml\\.", nullptr, 0, kIdcOutputPath,
     "out/exists.xml"},
};

class ConditionsRunRefusalTest : public ConditionsDialogTest,
                                 public ::testing::WithParamInterface<RunCase> {};

TEST_P(ConditionsRunRefusalTest, RefusesAndFocusesTheField) {
  const RunCase& c = GetParam();
  if (c.existingFile != nullptr) ConditionsWriteFile(dir_.PosixOf(c.existingFile), "old");
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, c.path);
  // A path past the typing limit comes from browsing or the remembered file.
  dialog.SetItemText(kIdcOutputPath, c.path);
  dialog.SetItemText(kIdcStartMonth, c.start);
  dialog.SetItemText(kIdcEndMonth, c.end);
  ASSERT_TRUE(dialog.UserClick(kIdcRunButton));
  EXPECT_FALSE(dialog.IsEnded());
  if (c.message != nullptr) {
    ExpectOnlyMessage(c.message, c.style);
  } else {
    // The folder question, answered Yes, then the failure.
    ASSERT_EQ(ui().messages.size(), 2u);
    EXPECT_EQ(ui().messages[0].text,
              "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？"_sjis);
    EXPECT_EQ(ui().messages[0].style, kQuestion);
    EXPECT_EQ(ui().messages[1].text,
              "フォルダの作成に失敗しました。\n\n出力先を再入力してください。"_sjis);
    EXPECT_EQ(ui().messages[1].style, kRefusal);
    EXPECT_FALSE(fs::exists(dir_.PosixOf("out/new")));
    if (c.existingFile != nullptr) {
      EXPECT_TRUE(fs::is_regular_file(dir_.PosixOf(c.existingFile)));
    }
  }
  EXPECT_EQ(dialog.GetFocusId(), c.focus);
  EXPECT_EQ(dialog.GetControl(c.focus)->selStart, 0);
  EXPECT_EQ(dialog.GetControl(c.focus)->selEnd, -1);
  EXPECT_TRUE(dialog.GetControl(c.focus)->caretVisible);
}

INSTANTIATE_TEST_SUITE_P(Checks, ConditionsRunRefusalTest, ::testing::ValuesIn(kRunRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ConditionsDialogTest, MissingFolderIsCreatedOnlyAfterYes) {
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, "C:\\out\\a\\b\\x.xml");
  ui().answers = {IDNO};
  ASSERT_TRUE(dialog.UserClick(kIdcRunButton));
  EXPECT_FALSE(dialog.IsEnded());
  EXPECT_FALSE(fs::exists(dir_.PosixOf("out/a")));
  EXPECT_EQ(dialog.GetFocusId(), kIdcOutputPath);
  ui().answers = {IDYES};
  ASSERT_TRUE(dialog.UserClick(kIdcRunButton));
  EXPECT_TRUE(fs::is_directory(dir_.PosixOf("out/a/b")));
  EXPECT_TRUE(dialog.IsEnded());
  EXPECT_EQ(dialog.Result(), kConditionsRun);
  ASSERT_EQ(ui().messages.size(), 2u);
  EXPECT_EQ(ui().messages[1].text,
            "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？"_sjis);
  EXPECT_EQ(ui().messages[1].style, kQuestion);
}

TEST_F(ConditionsDialogTest, ExistingFileIsOverwrittenOnlyAfterYes) {
  ConditionsWriteFile(dir_.PosixOf("out/x.xml"), "old");
  ConditionsDialog dialog(0);
  OpenWithPath(dialog, "C:\\out\\x.xml");
  dialog.SetItemText(kIdcStartMonth, "5");
  dialog.SetItemText(kIdcEndMonth, "2");
  ui().answers = {IDNO, IDYES};
  ASSERT_TRUE(dialog.UserClick(kIdcRunButton));
  EXPECT_FALSE(dialog.IsEnded());
  EXPECT_EQ(dialog.GetFocusId(), kIdcOutputPath);
  ASSERT_TRUE(dialog.UserClick(kIdcRunButton));
  ASSERT_EQ(ui().messages.size(), 2u);
  for (const auto& message : ui().messages) {
    EXPECT_EQ(message.text, "同名のファイルが存在します。\n\n上書きしてもよろしいですか？"_sjis);
    EXPECT_EQ(message.style, kQuestion);
    EXPECT_EQ(message.caption, "消費税"_sjis);
  }
  EXPECT_EQ(dialog.Result(), kConditionsRun);
  RunConditions conditions = dialog.GetRunConditions();
  EXPECT_EQ(conditions.startMonth, 5);
  EXPECT_EQ(conditions.endMonth, 2);
  EXPECT_EQ(conditions.outputPath, "C:\\out\\x.xml");
  EXPECT_EQ(conditions.aggregationMethod, kByJournals);
}

}  // namespace
}  // namespace taxlink
