#include "tests/support/ConditionsDialogFixture.h"

#include <filesystem>

#include "resources/ConditionsDialogTemplate.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {

ConditionsDialogTest::ConditionsDialogTest()
    : drives_("TAXLINK_DRIVES", "C=" + dir_.Posix() + ";D=" + dir_.PosixOf("cd") + ",cdrom"),
      home_("MVHOST_HOME", dir_.PosixOf("home")),
      temp_("TAXLINK_TEMP", dir_.PosixOf("tmp")),
      faults_("MVHOST_FAULTS", "") {
  for (const char* name : {"home/folders/out", "home/folders/app", "tmp", "cd", "out"}) {
    std::filesystem::create_directories(dir_.PosixOf(name));
  }
}

void ConditionsDialogTest::Fill(ConditionsDialog& dialog) {
  dialog.userId = "U01";
  dialog.selectedNo1 = 3;
  dialog.selectedNo2 = 1;
  dialog.periodStart = 20140401;
  dialog.periodEnd = 20150331;
  dialog.periodMonths[0] = 4;
  dialog.periodMonths[1] = 103;
  dialog.savedMonths[0] = 6;
  dialog.savedMonths[1] = 9;
  dialog.savedReturnUsable = 1;
  dialog.pastResultsData = 0;
  dialog.displayTexts[0] = "株式会社見本"_sjis;
  dialog.displayTexts[1] = "2014/04/01～2015/03/31"_sjis;
  dialog.displayTexts[2] = "原則課税"_sjis;
  dialog.displayTexts[3] = "課税売上割合"_sjis;
  dialog.displayTexts[4] = "95%以上"_sjis;
  dialog.filingClassCode = 2;
}

void ConditionsDialogTest::OpenWithPath(ConditionsDialog& dialog, const std::string& path) {
  Fill(dialog);
  dialog.Create();
  ASSERT_FALSE(dialog.IsEnded());
  ASSERT_TRUE(dialog.UserSetText(kIdcOutputPath, path));
}

void ConditionsDialogTest::Remember(const std::string& contents) {
  ConditionsWriteFile(dir_.PosixOf("home/folders/app/TaxLinkAlto.env"), contents);
}

std::string ConditionsDialogTest::RememberedFile() const {
  return ConditionsReadFile(dir_.PosixOf("home/folders/app/TaxLinkAlto.env"));
}

void ConditionsDialogTest::ExpectOnlyMessage(const std::string& text, uint32_t style) {
  ASSERT_EQ(ui().messages.size(), 1u);
  EXPECT_EQ(ui().messages[0].text, text);
  EXPECT_EQ(ui().messages[0].caption, "消費税"_sjis);
  EXPECT_EQ(ui().messages[0].style, style);
}

}  // namespace taxlink::testing
