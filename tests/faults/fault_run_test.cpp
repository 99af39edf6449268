// Faults on the real program: an output folder that cannot be written, a
// full file system, a kill in the middle of the report and of the
// remembered-path file's rewrite, two runs saving at once, a locked and a
// truncated store, a store text that Shift_JIS lacks. Whatever happens, no
// old file is lost or cut, and nothing half-written is left behind.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

namespace fs = std::filesystem;

const char* const kClosing = "消費税情報の出力が終了しました。"_sjis;
const char* const kOverwrite = "上書き"_sjis;
const char* const kSystemFailed = "システム情報の出力に失敗しました。"_sjis;
const char* const kBasicFailed = "基本情報の出力に失敗しました。"_sjis;
const char* const kDataFailed = "連動情報の出力に失敗しました。"_sjis;
const std::string kOldReport = "<?xml version=\"1.0\"?>\r\n<REPORT>old</REPORT>\r\n";

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// The names that are not the given ones (temporaries left behind).
std::set<std::string> Others(const std::string& folder, const std::set<std::string>& known) {
  std::set<std::string> others;
  for (const std::string& name : Names(folder)) {
    if (known.count(name) == 0) others.insert(name);
  }
  return others;
}

// A small tmpfs at a folder for the test's life; where mounting is not
// allowed, reason says why.
class TmpfsMount {
 public:
  TmpfsMount(const std::string& folder, const char* options) : folder_(folder) {
    ::mkdir(folder.c_str(), 0755);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options) == 0) {
      mounted_ = true;
    } else {
      reason_ = std::string("mounting a tmpfs failed: ") + std::strerror(errno);
    }
  }
  ~TmpfsMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }
  bool MakeReadOnly() {
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};

// The fault suite runs the programs of bin-faults.
class FaultRunTest : public ProgramRunTest {
 protected:
  FaultRunTest() : ProgramRunTest("TaxLinkAlto", ProgramBuild::kFaults) {
    dataNo_ = AddSelectedCompany(host_);
    host_.AddJournal(Sale(20140410, 100000, 8000));
    host_.AddJournal(Purchase(20140520, 50000, 4000));
    appFolder_ = host_.Home() + "/folders/app";
    envPath_ = appFolder_ + "/TaxLinkAlto.env";
  }

  // A run by journals into path that answers the overwrite question when
  // asked to, then the closing message.
  std::vector<std::string> WrittenRun(const std::string& path, bool overwrite) {
    std::vector<std::string> steps = JournalRunSteps(path);
    if (overwrite) steps.push_back(AnswerStep("yes", kOverwrite));
    steps.push_back(AnswerStep("ok", kClosing));
    return steps;
  }
  // A run by journals into path whose file cannot be written whole: it
  // answers the overwrite question, goes on after each failed section and
  // acknowledges the final message.
  std::vector<std::string> FailingRun(const std::string& path,
                                      std::initializer_list<const char*> failedSections,
                                      const char* finalMessage) {
    std::vector<std::string> steps = JournalRunSteps(path);
    steps.push_back(AnswerStep("yes", kOverwrite));
    for (const char* question : failedSections) steps.push_back(AnswerStep("yes", question));
    steps.push_back(AnswerStep("ok", finalMessage));
    return steps;
  }
  std::string Key() const { return "U01/1/" + std::to_string(dataNo_) + ":"; }
  // Another user's record and an old one of U01.
  std::string OldEnv() const {
    return "U02/1/1:0/4/3/C:\\u02.xml\n" + Key() + "0/4/3/C:\\old.xml\n";
  }

  int32_t dataNo_ = 0;
  std::string appFolder_;
  std::string envPath_;
};

// The old report and the remembered file stay as they were, and the folder
// holds no temporary file.
#define EXPECT_NOTHING_CHANGED(folder)                           \
  do {                                                           \
    EXPECT_EQ(ReadFileBytes((folder) + "/tax.xml"), kOldReport); \
    EXPECT_EQ(Names(folder), std::set<std::string>{"tax.xml"});  \
    EXPECT_EQ(ReadFileBytes(envPath_), OldEnv());                \
  } while (0)

TEST_F(FaultRunTest, AnOutputFolderThatCannotBeWrittenKeepsTheOldReport) {
  const std::string folder = OutPosix("ro");
  TmpfsMount mount(folder, "size=64k");
  WriteBytes(folder + "/tax.xml", kOldReport);
  if (mount.mounted()) {
    ASSERT_TRUE(mount.MakeReadOnly()) << std::strerror(errno);
  } else if (::geteuid() != 0) {
    ::chmod(folder.c_str(), 0555);  // holds for every user but root
  } else {
    GTEST_SKIP() << "needs a user other than root (root ignores file permissions) or the "
                    "right to mount a tmpfs (CAP_SYS_ADMIN); "
                 << mount.reason();
  }
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  const std::string path = WindowsPathOf(folder + "/tax.xml");
  ProgramRunResult result = RunWith(FailingRun(path, {kSystemFailed, kBasicFailed, kDataFailed},
                                               "出力ファイルを作成できませんでした。"_sjis));
  ::chmod(folder.c_str(), 0755);

  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result).back(),
            Utf8("出力ファイルを作成できませんでした。\n\n"_sjis + path));
  EXPECT_NOTHING_CHANGED(folder);
}

TEST_F(FaultRunTest, AFullFileSystemKeepsTheOldReport) {
  const std::string folder = OutPosix("full");
  TmpfsMount mount(folder, "size=32k");
  if (!mount.mounted()) {
    GTEST_SKIP() << "needs the right to mount a tmpfs (root with CAP_SYS_ADMIN); "
                 << mount.reason();
  }
  // 24 KiB taken: SYSTEM and BASIC fit into the rest, DATA does not.
  WriteBytes(folder + "/tax.xml",
             kOldReport + std::string(size_t{24} * 1024 - kOldReport.size(), ' '));
  const std::string old = ReadFileBytes(folder + "/tax.xml");
  const std::string path = WindowsPathOf(folder + "/tax.xml");
  ProgramRunResult result =
      RunWith(FailingRun(path, {kDataFailed}, "出力ファイルへの書き込みに失敗しました。"_sjis));

  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(ReadFileBytes(folder + "/tax.xml"), old);
  EXPECT_EQ(Names(folder), std::set<std::string>{"tax.xml"});
  EXPECT_EQ(RememberedPathFileOf(host_, "TaxLinkAlto.env"), "");
}

TEST_F(FaultRunTest, AKillDuringTheReportLosesNothingAndTheNextRunCleansUp) {
  WriteBytes(OutPosix("tax.xml"), kOldReport);
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  Program().WatchRenames([](const std::string& to) { return EndsWith(to, "/tax.xml"); });
  ProgramRunResult killed = RunWith(WrittenRun(OutWindows("tax.xml"), true));
  if (!killed.untraceable.empty()) GTEST_SKIP() << killed.untraceable;
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL);
  // Killed before its rename: the temporary is complete but left.
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), kOldReport);
  EXPECT_EQ(ReadFileBytes(envPath_), OldEnv());
  std::set<std::string> left = Others(OutPosix(""), {"tax.xml"});
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left.begin()->rfind("TaxLinkReport.", 0), 0u);

  Program().WatchRenames(nullptr);
  ProgramRunResult next = RunWith(WrittenRun(OutWindows("tax.xml"), true));
  EXPECT_EQ(next.exitCode, 0) << next.standardError;
  EXPECT_EQ(Names(OutPosix("")), std::set<std::string>{"tax.xml"});
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")).find("</REPORT>"), std::string::npos);
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")), kOldReport);
}

TEST_F(FaultRunTest, AKillDuringTheRememberedFileRewriteKeepsItAndTheNextRunCleansUp) {
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  Program().WatchRenames([](const std::string& to) { return EndsWith(to, "/TaxLinkAlto.env"); });
  ProgramRunResult killed = RunWith(WrittenRun(OutWindows("tax.xml"), false));
  if (!killed.untraceable.empty()) GTEST_SKIP() << killed.untraceable;
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL);
  EXPECT_NE(ReadFileBytes(OutPosix("tax.xml")).find("</REPORT>"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(envPath_), OldEnv());
  std::set<std::string> left = Others(appFolder_, {"TaxLinkAlto.env", "TaxLinkAlto.env.lock"});
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left.begin()->rfind("TaxLinkAlto.env.", 0), 0u);

  Program().WatchRenames(nullptr);
  ProgramRunResult next = RunWith(WrittenRun(OutWindows("tax.xml"), true));
  EXPECT_EQ(next.exitCode, 0) << next.standardError;
  EXPECT_EQ(Others(appFolder_, {"TaxLinkAlto.env", "TaxLinkAlto.env.lock"}),
            std::set<std::string>{});
  EXPECT_EQ(ReadFileBytes(envPath_),
            "U02/1/1:0/4/3/C:\\u02.xml\n" + Key() + "0/4/3/" + OutWindows("tax.xml") + "\n");
}

// Two runs of two users that share the remembered-path file save at the
// same moment: the first stands still at its rename while the second comes
// to its save, which must wait for the first and keep its record.
TEST_F(FaultRunTest, TwoRunsSavingAtOnceKeepBothRecords) {
  HostFixture otherHome;
  int32_t otherNo = AddSelectedCompany(otherHome);
  otherHome.SelectForUser("U02", otherNo);
  fs::remove_all(otherHome.Home() + "/folders/app");
  fs::create_directories(appFolder_);
  fs::create_directory_symlink(appFolder_, otherHome.Home() + "/folders/app");

  ProgramRun other("TaxLinkAlto", ProgramBuild::kFaults);
  const std::string otherOut = other.workFolder() + "/out";
  ::mkdir(otherOut.c_str(), 0755);
  other.SetUiScript(WrittenRun(WindowsPathOf(otherOut + "/tax.xml"), false));
  ProgramRunResult otherResult;
  std::thread otherRun;
  Program().WatchRenames([&](const std::string& to) {
    if (otherRun.joinable() || !EndsWith(to, "/TaxLinkAlto.env")) return false;
    otherRun = std::thread([&] { otherResult = other.Run(otherHome.Home(), {}); });
    // The other run writes its report, then comes to its save.
    for (int i = 0; i < 400 && !fs::exists(otherOut + "/tax.xml"); ++i) {
      ::usleep(50 * 1000);
    }
    ::usleep(300 * 1000);
    return false;
  });
  ProgramRunResult first = RunWith(WrittenRun(OutWindows("tax.xml"), false));
  if (otherRun.joinable()) otherRun.join();
  if (!first.untraceable.empty()) GTEST_SKIP() << first.untraceable;

  EXPECT_EQ(first.exitCode, 0) << first.standardError;
  EXPECT_EQ(otherResult.exitCode, 0) << otherResult.standardError;
  EXPECT_EQ(ReadFileBytes(envPath_), Key() + "0/4/3/" + OutWindows("tax.xml") + "\nU02/1/" +
                                         std::to_string(otherNo) + ":0/4/3/" +
                                         WindowsPathOf(otherOut + "/tax.xml") + "\n");
}

// A store the host cannot read: the host refuses the link with its own
// message (the run's result stays 0, as for every refused link), and
// nothing is touched.
TEST_F(FaultRunTest, ALockedOrTruncatedStoreEndsTheRunAndChangesNothing) {
  WriteBytes(OutPosix("tax.xml"), kOldReport);
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  const std::string store = host_.Home() + "/host.db";
  struct {
    const char* message;
    std::function<void()> breakStore;
  } cases[] = {
      {"会計データは他の処理で使用中です。"_sjis,
       [&] { host_.Exec("BEGIN EXCLUSIVE; UPDATE host_state SET value = value;"); }},
      {"会計データが破損しています。"_sjis,
       [&] {
         host_.Exec("ROLLBACK;");
         ASSERT_EQ(::truncate(store.c_str(), static_cast<off_t>(fs::file_size(store) / 2)), 0);
       }},
  };
  for (const auto& c : cases) {
    c.breakStore();
    ProgramRunResult result = RunWith({AnswerStep("ok", c.message)});
    EXPECT_EQ(Mismatches(result), "") << result.standardError;
    EXPECT_EQ(MessageTexts(result).size(), 1u);
    EXPECT_NOTHING_CHANGED(OutPosix(""));
  }
}

TEST_F(FaultRunTest, AStoreTextThatShiftJisLacksFailsTheRunNamingTheRecord) {
  WriteBytes(OutPosix("tax.xml"), kOldReport);
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  host_.Exec("UPDATE data_set SET company_name = 'caf\xC3\xA9'");
  ProgramRunResult result = RunWith(WrittenRun(OutWindows("tax.xml"), true));
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  std::vector<std::string> messages = MessageTexts(result);
  ASSERT_EQ(messages.size(), 1u) << result.standardError;
  EXPECT_NE(messages[0].find("data set " + std::to_string(dataNo_) + ": company_name"),
            std::string::npos)
      << messages[0];
  EXPECT_NOTHING_CHANGED(OutPosix(""));
}

// A written run replaces the report and the remembered-path file with
// files of the same mode and (for root, who may give them) owner.
TEST_F(FaultRunTest, ReplacedFilesKeepTheirModeAndOwner) {
  WriteBytes(OutPosix("tax.xml"), kOldReport);
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  const bool root = ::geteuid() == 0;
  const uid_t nobody = 65534;
  for (const std::string& file : {OutPosix("tax.xml"), envPath_}) {
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    if (root) {
      ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);
    }
  }
  ProgramRunResult result = RunWith(WrittenRun(OutWindows("tax.xml"), true));
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  for (const std::string& file : {OutPosix("tax.xml"), envPath_}) {
    struct stat info;
    ASSERT_EQ(::stat(file.c_str(), &info), 0) << file;
    EXPECT_NE(ReadFileBytes(file), file == envPath_ ? OldEnv() : kOldReport) << file;
    EXPECT_EQ(info.st_mode & 07777, 0600u) << file;
    if (root) {
      EXPECT_EQ(info.st_uid, nobody) << file;
    }
  }
}

// A store text holding a character XML forbids (a store edited by hand)
// is never written: the basic section fails, and going on the run still
// fails with the old files kept.
TEST_F(FaultRunTest, AStoreTextThatXmlForbidsFailsTheRunWithoutAReport) {
  WriteBytes(OutPosix("tax.xml"), kOldReport);
  fs::create_directories(appFolder_);
  WriteBytes(envPath_, OldEnv());
  host_.Exec("UPDATE data_set SET company_name = 'Test' || char(1) || 'Trading'");
  const std::string path = OutWindows("tax.xml");
  ProgramRunResult result =
      RunWith(FailingRun(path, {kBasicFailed}, "出力ファイルへの書き込みに失敗しました。"_sjis));
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result).back(),
            Utf8("出力ファイルへの書き込みに失敗しました。\n\n"_sjis + path));
  EXPECT_NOTHING_CHANGED(OutPosix(""));
}

// A symbolic link at the output path is refused: neither it nor the file
// it names changes, and the run fails naming the path.
TEST_F(FaultRunTest, ALinkAtTheOutputPathIsRefused) {
  fs::create_directories(OutPosix("shared"));
  const std::string aimed = OutPosix("aimed.xml");
  WriteBytes(aimed, kOldReport);
  fs::create_symlink(aimed, OutPosix("shared/tax.xml"));
  const std::string path = WindowsPathOf(OutPosix("shared/tax.xml"));
  ProgramRunResult result = RunWith(FailingRun(path, {kSystemFailed, kBasicFailed, kDataFailed},
                                               "出力ファイルを作成できませんでした。"_sjis));
  EXPECT_EQ(result.exitCode, 2) << result.standardError;
  EXPECT_EQ(Mismatches(result), "");
  EXPECT_EQ(MessageTexts(result).back(),
            Utf8("出力ファイルを作成できませんでした。\n\n"_sjis + path));
  EXPECT_EQ(ReadFileBytes(aimed), kOldReport);
  EXPECT_EQ(fs::read_symlink(OutPosix("shared/tax.xml")).string(), aimed);
  EXPECT_EQ(Names(OutPosix("shared")), std::set<std::string>{"tax.xml"});
}

}  // namespace
}  // namespace taxlink::testing
