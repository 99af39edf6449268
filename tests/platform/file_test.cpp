// The file object over Windows paths, including a write to a full disk.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/winfs/File.h"
#include "platform/winfs/ReplacementFile.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/SjisLiteral.h"

namespace {

using platform::File;
using platform::FileException;
using taxlink_test::ScopedEnv;
using taxlink_test::ScopedTempDir;

class FileTest : public ::testing::Test {
 protected:
  FileTest() : drives_("TAXLINK_DRIVES", "C=" + dir_.Path()) {}
  ScopedTempDir dir_;
  ScopedEnv drives_;
};

TEST_F(FileTest, WritesReadsAndAppends) {
  File file;
  ASSERT_TRUE(file.Open("C:\\表.xml"_sjis, File::kCreate | File::kWrite));
  file.Write("<?xml?>\r\n", 9);
  EXPECT_EQ(file.GetLength(), 9u);
  file.Close();
  EXPECT_FALSE(file.IsOpen());

  ASSERT_TRUE(file.Open("C:\\表.xml"_sjis, File::kReadWrite));
  EXPECT_EQ(file.SeekToEnd(), 9u);
  file.Write("x", 1);
  file.Close();

  ASSERT_TRUE(file.Open("C:\\表.xml"_sjis, File::kRead));
  char buffer[32] = {};
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 10u);
  EXPECT_STREQ(buffer, "<?xml?>\r\nx");
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);  // end of file
}

// A write at an offset fills in place and leaves the position.
TEST_F(FileTest, WritesAtAnOffset) {
  File file;
  ASSERT_TRUE(file.Open("C:\\out.txt", File::kCreate | File::kWrite));
  file.Write("[....]3456", 10);
  file.WriteAt("abcd", 4, 1);
  file.Write("!", 1);
  file.Close();
  ASSERT_TRUE(file.Open("C:\\out.txt", File::kRead));
  char buffer[32] = {};
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 11u);
  EXPECT_STREQ(buffer, "[abcd]3456!");
}

TEST_F(FileTest, CreateTruncates) {
  dir_.WriteFile("old.txt", "old content");
  File file;
  ASSERT_TRUE(file.Open("C:\\old.txt", File::kCreate | File::kWrite));
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST_F(FileTest, FailedOpensReportTheCause) {
  struct Case {
    const char* path;
    unsigned flags;
    int cause;
  } cases[] = {
      {"C:\\missing.txt", File::kRead, ENOENT},
      {"C:\\no\\folder.txt", File::kCreate | File::kWrite, ENOENT},
      {"Q:\\x.txt", File::kCreate | File::kWrite, ENOENT},  // drive not mapped
      {"C:\\", File::kRead, EISDIR},
      {"", File::kRead, ENOENT},
  };
  for (const Case& c : cases) {
    File file;
    FileException error{0, ""};
    EXPECT_FALSE(file.Open(c.path, c.flags, &error)) << c.path;
    EXPECT_EQ(error.cause, c.cause) << c.path;
    EXPECT_EQ(error.path, c.path);
    EXPECT_FALSE(file.IsOpen());
  }
}

TEST_F(FileTest, OperationsOnAClosedFileRaise) {
  File file;
  char byte;
  EXPECT_THROW(file.Write("x", 1), FileException);
  EXPECT_THROW(file.Read(&byte, 1), FileException);
  EXPECT_THROW(file.SeekToEnd(), FileException);
  EXPECT_NO_THROW(file.Close());
  EXPECT_NO_THROW(file.Abort());
}

TEST_F(FileTest, WriteOnAReadOnlyFileRaises) {
  dir_.WriteFile("r.txt", "abc");
  File file;
  ASSERT_TRUE(file.Open("C:\\r.txt", File::kRead));
  try {
    file.Write("x", 1);
    FAIL() << "no exception";
  } catch (const FileException& e) {
    EXPECT_EQ(e.cause, EBADF);
    EXPECT_EQ(e.path, "C:\\r.txt");
  }
}

// A disk that fills up: the file size limit makes write fail with EFBIG
// once SIGXFSZ is ignored, as ENOSPC would on a full disk.
TEST_F(FileTest, WriteToAFullDiskRaisesAndKeepsWhatFitted) {
  struct sigaction ignore {};
  struct sigaction previousAction {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previousAction), 0);
  rlimit previousLimit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
  rlimit limit = previousLimit;
  limit.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);

  File file;
  ASSERT_TRUE(file.Open("C:\\full.xml", File::kCreate | File::kWrite));
  std::string block(3000, 'x');
  file.Write(block.data(), block.size());  // fits
  int cause = 0;
  try {
    file.Write(block.data(), block.size());  // 1096 bytes fit, then the disk is full
  } catch (const FileException& e) {
    cause = e.cause;
  }
  uint64_t length = file.GetLength();
  file.Abort();

  setrlimit(RLIMIT_FSIZE, &previousLimit);
  sigaction(SIGXFSZ, &previousAction, nullptr);
  EXPECT_EQ(cause, EFBIG);
  EXPECT_EQ(length, 4096u);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST_F(FileTest, AReplacementIsSeenWholeOrNotAtAll) {
  dir_.WriteFile("report.xml", "old");
  {
    File file;
    platform::ReplacementFile replacement("C:\\report.xml", "Stem");
    ASSERT_TRUE(replacement.Open(&file));
    file.Write("new", 3);
    EXPECT_EQ(Slurp(dir_.Path() + "/report.xml"), "old");  // until the commit
    EXPECT_EQ(
        Names(dir_.Path()),
        (std::set<std::string>{"report.xml", platform::ReplacementFile::TemporaryName("Stem")}));
  }  // not committed: the temporary goes, the old file stays
  EXPECT_EQ(Slurp(dir_.Path() + "/report.xml"), "old");
  EXPECT_EQ(Names(dir_.Path()), std::set<std::string>{"report.xml"});

  File file;
  platform::ReplacementFile replacement("C:\\report.xml", "Stem");
  ASSERT_TRUE(replacement.Open(&file));
  file.Write("new", 3);
  file.Close();
  EXPECT_TRUE(replacement.Commit());
  EXPECT_EQ(Slurp(dir_.Path() + "/report.xml"), "new");
  EXPECT_EQ(Names(dir_.Path()), std::set<std::string>{"report.xml"});

  // A folder in the target's place, or no folder for it, is refused.
  std::filesystem::create_directory(dir_.Path() + "/sub");
  for (const char* target : {"C:\\sub", "C:\\missing\\report.xml", "C:\\sub\\"}) {
    platform::ReplacementFile refused(target, "Stem");
    FileException error{0, ""};
    EXPECT_FALSE(refused.Open(&file, &error)) << target;
    EXPECT_EQ(error.path, target);
  }
}

// The file a replacement drops the pages of stays open past the rename, so
// that its blocks are freed where the caller has it closed, and reads as the
// old file there; the path names the new one. No old file: nothing held.
TEST_F(FileTest, AReplacedFileIsHeldUntilTakenAndClosed) {
  for (const bool old : {true, false}) {
    SCOPED_TRACE(old ? "an old file" : "no old file");
    std::filesystem::remove(dir_.Path() + "/trace.json");
    if (old) dir_.WriteFile("trace.json", "old");
    File file;
    platform::ReplacementFile replacement("C:\\trace.json", "Stem");
    ASSERT_TRUE(replacement.Open(&file));
    replacement.DropTargetPages();
    file.Write("new", 3);
    file.Close();
    ASSERT_TRUE(replacement.Commit());
    EXPECT_EQ(Slurp(dir_.Path() + "/trace.json"), "new");
    const int held = replacement.ReplacedDescriptor();
    EXPECT_EQ(held >= 0, old);
    if (held >= 0) {
      char text[8] = {};
      EXPECT_EQ(::pread(held, text, sizeof(text), 0), 3);
      EXPECT_STREQ(text, "old");
    }
    replacement.CloseReplaced();
    EXPECT_EQ(replacement.ReplacedDescriptor(), -1);
    if (held >= 0) {
      EXPECT_EQ(::fcntl(held, F_GETFD), -1);  // closed
    }
  }
}

// The new file keeps the old one's mode and owner: a report kept private
// stays private.
TEST_F(FileTest, AReplacementKeepsTheModeAndOwner) {
  const std::string path = dir_.WriteFile("report.xml", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  // Only root may give a file away; other users check the mode alone.
  const bool root = ::geteuid() == 0;
  const uid_t nobody = 65534;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
  }
  File file;
  platform::ReplacementFile replacement("C:\\report.xml", "Stem");
  ASSERT_TRUE(replacement.Open(&file));
  file.Write("new", 3);
  file.Close();
  ASSERT_TRUE(replacement.Commit());
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(Slurp(path), "new");
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(info.st_uid, nobody);
    EXPECT_EQ(info.st_gid, nobody);
  }
}

// A symbolic link at the path is refused, and neither it nor the file it
// names is touched: a link planted in a shared folder cannot aim a run at
// another file.
TEST_F(FileTest, AReplacementRefusesALinkAtThePath) {
  const std::string aimed = dir_.WriteFile("aimed.txt", "keep");
  ASSERT_EQ(::symlink(aimed.c_str(), (dir_.Path() + "/report.xml").c_str()), 0);
  File file;
  platform::ReplacementFile replacement("C:\\report.xml", "Stem");
  FileException error{0, ""};
  EXPECT_FALSE(replacement.Open(&file, &error));
  EXPECT_EQ(error.cause, ELOOP);
  EXPECT_EQ(error.path, "C:\\report.xml");
  EXPECT_EQ(Slurp(aimed), "keep");
  EXPECT_EQ(std::filesystem::read_symlink(dir_.Path() + "/report.xml").string(), aimed);
  EXPECT_EQ(Names(dir_.Path()), (std::set<std::string>{"aimed.txt", "report.xml"}));
}

TEST_F(FileTest, OnlyUnheldTemporariesOfTheStemAreRemoved) {
  const std::string held = "Stem.1.tmp";
  for (const char* name : {"Stem.2.tmp", "Stem.34.tmp", "Stem.x.tmp", "Stem..tmp",
                           "Stem.5.tmp.keep", "Other.6.tmp", "Stem.1.tmp"}) {
    dir_.WriteFile(name, "x");
  }
  File holder;  // a running writer's temporary
  ASSERT_TRUE(holder.Open(("C:\\" + held).c_str(), File::kRead));
  ASSERT_TRUE(holder.LockExclusive(0));
  File file;
  platform::ReplacementFile replacement("C:\\report.xml", "Stem");
  ASSERT_TRUE(replacement.Open(&file));
  EXPECT_EQ(
      Names(dir_.Path()),
      (std::set<std::string>{"Stem.x.tmp", "Stem..tmp", "Stem.5.tmp.keep", "Other.6.tmp",
                             "Stem.1.tmp", platform::ReplacementFile::TemporaryName("Stem")}));
}

// A waiter for the lock tries again soon (a holder keeps it a millisecond
// or two), never waits past its limit and uses all of it.
TEST(FileLockTest, PausesStartShortAndAddUpToTheWholeWait) {
  for (unsigned whole : {0u, 150u, 3000000u}) {
    std::vector<unsigned> steps;
    unsigned waited = 0;
    for (unsigned step; (step = platform::LockPollStepMicros(waited, whole)) != 0;) {
      steps.push_back(step);
      waited += step;
      ASSERT_LT(steps.size(), 100000u);
    }
    EXPECT_EQ(waited, whole);
    if (whole < 1000) continue;
    EXPECT_LE(steps.front(), 200u);
    for (size_t i = 1; i + 1 < steps.size(); ++i) EXPECT_GE(steps[i], steps[i - 1]) << i;
    EXPECT_LE(steps[steps.size() / 2], 20000u);
  }
}

TEST_F(FileTest, ALockLetGoWhileWaitingIsTaken) {
  File holder;
  ASSERT_TRUE(holder.Open("C:\\lock", File::kCreate | File::kWrite));
  ASSERT_TRUE(holder.LockExclusive(0));
  File waiter;
  ASSERT_TRUE(waiter.Open("C:\\lock", File::kCreate | File::kNoTruncate | File::kReadWrite));
  EXPECT_FALSE(waiter.LockExclusive(0));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    holder.Close();
  });
  EXPECT_TRUE(waiter.LockExclusive(3000));
  release.join();
}

}  // namespace
