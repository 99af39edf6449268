#include "report/ReportFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/StSaveTaxInfo.h"
#include "platform/text/WinTypes.h"
#include "tests/support/ReportFixtures.h"
#include "tests/support/SjisLiteral.h"
#include "xml/XmlTextWriter.h"

namespace taxlink {
namespace {

using testing::CurrentDirectory;
using testing::FakeTaxSet;
using testing::ReadBytes;
using testing::RecordingUi;
using testing::ReportRun;
using testing::TempFolder;
using testing::TestDocument;

constexpr HWND kOwner = 4660;
constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

// Section writers that fail on request (after writing their opening tag).
class FailingDocument : public TestDocument {
 public:
  using TestDocument::TestDocument;
  bool failSystem = false;
  bool failBasic = false;

  bool WriteSystem(XmlTextWriter& writer) override {
    if (failSystem) return writer.WriteStartTag("SYSTEM", 1) && false;
    return TestDocument::WriteSystem(writer);
  }
  bool WriteBasic(XmlTextWriter& writer, const StDATAINFO& dataSet, int sourceMode) override {
    if (failBasic) return false;
    return TestDocument::WriteBasic(writer, dataSet, sourceMode);
  }
};

class ReportFileTest : public ::testing::Test {
 protected:
  ReportFileTest() : inFolder_(folder_.path()), taxSet_(3) {
    std::memset(&data_, 0, sizeof(data_));
    std::strcpy(data_.companyName, "ﾃｽﾄ商事 & Co."_sjis);
    data_.periodStart = 20150401;
    data_.periodEnd = 20160331;
    app_.settings.record.filingClass = 2;
    app_.tables.Allocate(3);
    app_.tables.rateInfo[0].taxableSalesExcl = 123450000;
    app_.savedReturn = std::make_unique<StSaveTaxInfo>();
    std::memset(app_.savedReturn.get(), 0, sizeof(StSaveTaxInfo));
    app_.savedReturn->kazeiUriageZeinuki8 = 98760000;
    path_ = folder_.WindowsFile("report.xml");
  }

  Status::Code Write(ReportDocument& document, bool fromSaved = false) {
    return WriteReportFile(document, kOwner, path_.c_str(), data_,
                           fromSaved ? ReportSource::kSavedReturn : ReportSource::kJournals)
        .code();
  }
  std::string Written() { return ReadBytes(folder_.File("report.xml")); }
  void WriteOld() { std::ofstream(folder_.File("report.xml"), std::ios::binary) << "old report"; }
  // The folder holds the report and nothing else (no temporary file).
  bool OnlyTheReport() {
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      if (entry.path().filename() != "report.xml") return false;
    }
    return true;
  }

  void ExpectQuestion(std::size_t index, const char* text) {
    ASSERT_LT(index, ui_.log().messages.size());
    const testing::ShownMessage& m = ui_.log().messages[index];
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.caption, "消費税"_sjis);
    EXPECT_EQ(m.style, MB_ICONWARNING | MB_YESNO);
    EXPECT_EQ(m.owner, kOwner);
  }

  TempFolder folder_;
  CurrentDirectory inFolder_;  // no support file: SYSTEM uses its defaults
  RecordingUi::Scope ui_;
  ReportRun app_;
  FakeTaxSet taxSet_;
  StDATAINFO data_;
  std::string path_;
};

TEST_F(ReportFileTest, MessageTexts) {
  EXPECT_STREQ(kSystemSectionFailed,
               "システム情報の出力に失敗しました。\n\n出力を続けますか？"_sjis);
  EXPECT_STREQ(kBasicSectionFailed, "基本情報の出力に失敗しました。\n\n出力を続けますか？"_sjis);
  EXPECT_STREQ(kDataSectionFailed, "連動情報の出力に失敗しました。\n\n出力を続けますか？"_sjis);
}

TEST_F(ReportFileTest, JournalReportIsCompleteAndWellFormed) {
  TestDocument document(app_, &taxSet_);
  EXPECT_EQ(Write(document), Status::Code::kOk);
  EXPECT_TRUE(ui_.log().messages.empty());
  std::string text = Written();
  EXPECT_EQ(text.rfind(std::string(kDeclaration) + "<REPORT>\r\n\t<SYSTEM>\r\n", 0), 0u);
  EXPECT_NE(text.find("\t</SYSTEM>\r\n\t<BASIC>\r\n"), std::string::npos);
  EXPECT_NE(text.find("\t</BASIC>\r\n\t<DATA>\r\n"), std::string::npos);
  EXPECT_NE(text.find("<KAZEIURIAGEZEINUKI8>12345</KAZEIURIAGEZEINUKI8>"), std::string::npos);
  EXPECT_EQ(text.size() - text.rfind("\t</DATA>\r\n</REPORT>\r\n"),
            std::string("\t</DATA>\r\n</REPORT>\r\n").size());
  if (std::system("command -v xmllint > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint is not installed; the well-formedness check was skipped";
  }
  std::string command = "xmllint --noout '" + folder_.File("report.xml") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << text;
}

TEST_F(ReportFileTest, SavedReturnReportUsesTheSavedValues) {
  TestDocument document(app_, nullptr);  // saved mode asks no host object
  EXPECT_EQ(Write(document, true), Status::Code::kOk);
  EXPECT_TRUE(ui_.log().messages.empty());
  std::string text = Written();
  EXPECT_NE(text.find("<KAZEIURIAGEZEINUKI8>9876</KAZEIURIAGEZEINUKI8>"), std::string::npos);
  if (std::system("command -v xmllint > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint is not installed; the well-formedness check was skipped";
  }
  std::string command = "xmllint --noout '" + folder_.File("report.xml") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << text;
}

TEST_F(ReportFileTest, FailedDataSectionAnsweredYesCountsAsWritten) {
  TestDocument document(app_, nullptr);  // no consumption-tax set object
  ui_.log().answers = {IDYES};
  EXPECT_EQ(Write(document), Status::Code::kOk);
  ASSERT_EQ(ui_.log().messages.size(), 1u);
  ExpectQuestion(0, kDataSectionFailed);
  std::string text = Written();
  std::string tail = "\t</BASIC>\r\n\t<DATA>\r\n</REPORT>\r\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(ReportFileTest, FailedDataSectionAnsweredNoIsAbandoned) {
  TestDocument document(app_, nullptr);
  ui_.log().answers = {IDNO};
  EXPECT_EQ(Write(document), Status::Code::kAbandoned);
  ASSERT_EQ(ui_.log().messages.size(), 1u);
  std::string text = Written();
  std::string tail = "\t<DATA>\r\n</REPORT>\r\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(ReportFileTest, FailedSystemSectionAnsweredNo) {
  FailingDocument document(app_, &taxSet_);
  document.failSystem = true;
  WriteOld();  // giving up replaces it with what was written
  ui_.log().answers = {IDNO};
  EXPECT_EQ(Write(document), Status::Code::kAbandoned);
  ASSERT_EQ(ui_.log().messages.size(), 1u);
  ExpectQuestion(0, kSystemSectionFailed);
  EXPECT_EQ(Written(), std::string(kDeclaration) + "<REPORT>\r\n\t<SYSTEM>\r\n</REPORT>\r\n");
  EXPECT_TRUE(OnlyTheReport());
}

TEST_F(ReportFileTest, EveryFailedSectionAsksInTurn) {
  FailingDocument document(app_, nullptr);
  document.failSystem = true;
  document.failBasic = true;
  ui_.log().answers = {IDYES, IDYES, IDYES};
  EXPECT_EQ(Write(document), Status::Code::kOk);
  ASSERT_EQ(ui_.log().messages.size(), 3u);
  ExpectQuestion(0, kSystemSectionFailed);
  ExpectQuestion(1, kBasicSectionFailed);
  ExpectQuestion(2, kDataSectionFailed);
  // A No to the second question ends it there.
  ui_.log().messages.clear();
  ui_.log().answers = {IDYES, IDNO};
  EXPECT_EQ(Write(document), Status::Code::kAbandoned);
  EXPECT_EQ(ui_.log().messages.size(), 2u);
}

TEST_F(ReportFileTest, AFileThatCannotBeCreatedIsReportedAfterTheQuestions) {
  TestDocument document(app_, &taxSet_);
  path_ = folder_.WindowsFile("missing") + "\\report.xml";
  ui_.log().answers = {IDYES, IDYES, IDYES};
  EXPECT_EQ(Write(document), Status::Code::kIOError);
  ASSERT_EQ(ui_.log().messages.size(), 4u);
  ExpectQuestion(0, kSystemSectionFailed);
  ExpectQuestion(1, kBasicSectionFailed);
  ExpectQuestion(2, kDataSectionFailed);
  const testing::ShownMessage& error = ui_.log().messages[3];
  EXPECT_EQ(error.text, "出力ファイルを作成できませんでした。\n\n"_sjis + path_);
  EXPECT_EQ(error.caption, "消費税"_sjis);
  EXPECT_EQ(error.style, MB_ICONWARNING | MB_OK);
  EXPECT_EQ(error.owner, kOwner);
}

TEST_F(ReportFileTest, AFileThatCannotBeCreatedAnsweredNoIsAbandoned) {
  TestDocument document(app_, &taxSet_);
  path_ = folder_.WindowsFile("missing") + "\\report.xml";
  ui_.log().answers = {IDNO};
  EXPECT_EQ(Write(document), Status::Code::kAbandoned);
  EXPECT_EQ(ui_.log().messages.size(), 1u);  // no second message after a No
}

// Exit codes of the child below.
enum ChildResult { kChildOk = 0, kWrongOutcome = 20, kWrongMessages, kWrongErrorText };

int WriteIntoAFullFile(ReportFileTest* test, ReportDocument& document, const std::string& path,
                       RecordingUi::Log& log) {
  (void)test;
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  Status outcome = WriteReportFile(document, kOwner, path.c_str(), data, ReportSource::kJournals);
  if (outcome.code() != Status::Code::kIOError) return kWrongOutcome;
  // DATA ran into the limit and asked; then the error names the file.
  if (log.messages.size() != 2 || log.messages[0].text != kDataSectionFailed) {
    return kWrongMessages;
  }
  if (log.messages[1].text != "出力ファイルへの書き込みに失敗しました。\n\n"_sjis + path ||
      log.messages[1].style != (MB_ICONWARNING | MB_OK) ||
      log.messages[1].caption != "消費税"_sjis) {
    return kWrongErrorText;
  }
  return kChildOk;
}

TEST_F(ReportFileTest, AWriteFailureIsNotReportedAsWrittenAndKeepsTheOldFile) {
  TestDocument document(app_, &taxSet_);
  WriteOld();
  constexpr rlim_t kLimit = 3000;  // SYSTEM and BASIC fit, DATA does not
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{kLimit, kLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(99);
    ui_.log().answers = {IDYES};
    _exit(WriteIntoAFullFile(this, document, path_, ui_.log()));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kChildOk);
  EXPECT_EQ(Written(), "old report");
  EXPECT_TRUE(OnlyTheReport());
}

// Section writers that raise, as an amount past the fixed-point range does.
class ThrowingDocument : public TestDocument {
 public:
  using TestDocument::TestDocument;
  bool WriteBasic(XmlTextWriter&, const StDATAINFO&, int) override {
    throw std::runtime_error("raised inside a section");
  }
};

TEST_F(ReportFileTest, AnExceptionLeavesTheOldFileAndNoTemporary) {
  ThrowingDocument document(app_, &taxSet_);
  WriteOld();
  EXPECT_THROW(Write(document), std::runtime_error);
  EXPECT_EQ(Written(), "old report");
  EXPECT_TRUE(OnlyTheReport());
}

}  // namespace
}  // namespace taxlink
