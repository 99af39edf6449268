#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "conditions/RememberedPathFile.h"
#include "platform/winfs/File.h"
#include "platform/winfs/WinFileSystem.h"
#include "tests/support/ConditionsTestSupport.h"

namespace taxlink {
namespace {

using testing::ConditionsReadFile;
using testing::ConditionsTempDir;
using testing::ConditionsWriteFile;
namespace fs = std::filesystem;

class RememberedPathFileTest : public ::testing::Test {
 protected:
  RememberedPathFileTest()
      : folderPosix_(dir_.PosixOf("app")),
        file_(platform::ToWindowsPath(folderPosix_ + "/"), "TaxLinkAlto.env") {}

  std::string FilePosix() const { return folderPosix_ + "/TaxLinkAlto.env"; }
  std::string Contents() const { return ConditionsReadFile(FilePosix()); }
  void SetContents(const std::string& bytes) {
    fs::create_directories(folderPosix_);
    ConditionsWriteFile(FilePosix(), bytes);
  }
  // The folder's entries besides the file's lock file, which stays.
  std::vector<std::string> OtherEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folderPosix_)) {
      std::string name = entry.path().filename().string();
      if (name != "TaxLinkAlto.env.lock") names.push_back(name);
    }
    return names;
  }
  static std::string Key(const char* user, int no1, int no2) {
    std::string key;
    EXPECT_TRUE(RememberedPathFile::FormatKey(user, no1, no2, &key));
    return key;
  }
  static RememberedRecord Record(int32_t method, int16_t start, int16_t end, std::string path) {
    RememberedRecord record;
    record.method = method;
    record.startMonth = start;
    record.endMonth = end;
    record.path = std::move(path);
    return record;
  }

  ConditionsTempDir dir_;
  std::string folderPosix_;
  RememberedPathFile file_;
};

TEST_F(RememberedPathFileTest, FirstRunCreatesFolderAndOneLine) {
  RememberedRecord record;
  EXPECT_FALSE(file_.Read(Key("U01", 3, 1), &record));
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\tax\\out.xml")));
  EXPECT_EQ(Contents(), "U01/3/1:0/4/3/C:\\tax\\out.xml\n");
  ASSERT_TRUE(file_.Read(Key("U01", 3, 1), &record));
  EXPECT_EQ(record.method, 0);
  EXPECT_EQ(record.startMonth, 4);
  EXPECT_EQ(record.endMonth, 3);
  EXPECT_EQ(record.path, "C:\\tax\\out.xml");
  // No temporary file is left behind.
  EXPECT_EQ(OtherEntries(), std::vector<std::string>{"TaxLinkAlto.env"});
}

TEST_F(RememberedPathFileTest, TwoUsersAndARewriteThatMovesTheRecordToTheEnd) {
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\a.xml")));
  ASSERT_TRUE(file_.Save(Key("U02", 3, 1), Record(1, 5, 6, "C:\\b.xml")));
  ASSERT_TRUE(file_.Save(Key("U01", 3, 2), Record(0, 1, 2, "C:\\c.xml")));
  EXPECT_EQ(Contents(),
            "U01/3/1:0/4/3/C:\\a.xml\nU02/3/1:1/5/6/C:\\b.xml\nU01/3/2:0/1/2/C:\\c.xml\n");
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(1, 7, 8, "D:\\new.xml")));
  EXPECT_EQ(Contents(),
            "U02/3/1:1/5/6/C:\\b.xml\nU01/3/2:0/1/2/C:\\c.xml\nU01/3/1:1/7/8/D:\\new.xml\n");
  RememberedRecord record;
  ASSERT_TRUE(file_.Read(Key("U02", 3, 1), &record));
  EXPECT_EQ(record.path, "C:\\b.xml");
  EXPECT_EQ(record.method, 1);
}

TEST_F(RememberedPathFileTest, KeyMatchesOnlyAtTheStartOfALine) {
  SetContents("AU01/3/1:1/9/9/C:\\other.xml\n");
  RememberedRecord record;
  EXPECT_FALSE(file_.Read(Key("U01", 3, 1), &record));
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\mine.xml")));
  EXPECT_EQ(Contents(), "AU01/3/1:1/9/9/C:\\other.xml\nU01/3/1:0/4/3/C:\\mine.xml\n");
  ASSERT_TRUE(file_.Read(Key("U01", 3, 1), &record));
  EXPECT_EQ(record.path, "C:\\mine.xml");
  ASSERT_TRUE(file_.Read(Key("AU01", 3, 1), &record));
  EXPECT_EQ(record.path, "C:\\other.xml");
}

TEST_F(RememberedPathFileTest, EveryLineOfTheKeyIsReplaced) {
  SetContents("U01/3/1:0/1/1/C:\\old1.xml\nX/1/1:0/1/1/C:\\x.xml\nU01/3/1:0/2/2/C:\\old2.xml\n");
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\new.xml")));
  EXPECT_EQ(Contents(), "X/1/1:0/1/1/C:\\x.xml\nU01/3/1:0/4/3/C:\\new.xml\n");
}

struct ReadCase {
  const char* name;
  std::string contents;
  bool found;
  int32_t method;
  int16_t start;
  int16_t end;
  std::string path;
};

const ReadCase kReadCases[] = {
    {"PlainLine", "U01/3/1:0/4/3/C:\\tax\\out.xml\n", true, 0, 4, 3, "C:\\tax\\out.xml"},
    {"NoLineFeedRunsToTheEnd", "U01/3/1:1/5/6/C:\\x.xml", true, 1, 5, 6, "C:\\x.xml"},
    {"FurtherSlashesBelongToThePath", "U01/3/1:0/4/3/C:\\a/b/c.xml\n", true, 0, 4, 3,
     "C:\\a/b/c.xml"},
    {"EmptyPath", "U01/3/1:0/4/3/\n", true, 0, 4, 3, ""},
    {"NegativeNumbers", "U01/3/1:-1/-2/12/p\n", true, -1, -2, 12, "p"},
    {"TwoSlashesOnly", "U01/3/1:0/4/C:\\x.xml\n", false, 0, 0, 0, ""},
    {"NoSlash", "U01/3/1:garbage\n", false, 0, 0, 0, ""},
    {"KeyAtEndOfFile", "U01/3/1:", false, 0, 0, 0, ""},
    {"OtherNumbers", "U01/3/2:0/4/3/C:\\x.xml\n", false, 0, 0, 0, ""},
    {"EmptyFile", "", false, 0, 0, 0, ""},
    {"SkipsAnUnusableLine", "U01/3/1:bad\nU01/3/1:0/7/8/C:\\y.xml\n", true, 0, 7, 8, "C:\\y.xml"},
    {"PathTooLong", "U01/3/1:0/4/3/" + std::string(261, 'p') + "\n", false, 0, 0, 0, ""},
    {"PathOfMaximumLength", "U01/3/1:0/4/3/" + std::string(260, 'p') + "\n", true, 0, 4, 3,
     std::string(260, 'p')},
    {"ValueTooLong", "U01/3/1:0/4/3/" + std::string(600, 'p') + "\nU01/3/1:0/1/1/q\n", true, 0, 1,
     1, "q"},
};

class RememberedReadTest : public RememberedPathFileTest,
                           public ::testing::WithParamInterface<ReadCase> {};

TEST_P(RememberedReadTest, ReadsWhatIsUsable) {
  const ReadCase& c = GetParam();
  SetContents(c.contents);
  RememberedRecord record = Record(99, 99, 99, "untouched");
  bool found = file_.Read(Key("U01", 3, 1), &record);
  EXPECT_EQ(found, c.found);
  if (c.found) {
    EXPECT_EQ(record.method, c.method);
    EXPECT_EQ(record.startMonth, c.start);
    EXPECT_EQ(record.endMonth, c.end);
    EXPECT_EQ(record.path, c.path);
  } else {
    EXPECT_EQ(record.path, "untouched");
    EXPECT_EQ(record.method, 99);
  }
}

INSTANTIATE_TEST_SUITE_P(Records, RememberedReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(RememberedPathFileTest, LastLineWithoutLineFeedIsKeptAsItsOwnLine) {
  SetContents("X/1/1:0/1/1/C:\\x.xml");
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\y.xml")));
  EXPECT_EQ(Contents(), "X/1/1:0/1/1/C:\\x.xml\nU01/3/1:0/4/3/C:\\y.xml\n");
}

TEST_F(RememberedPathFileTest, FilesLargerThan32767BytesWork) {
  std::string big;
  for (int i = 0; big.size() < 70000; ++i) {
    big +=
        "User" + std::to_string(i) + "/1/1:0/4/3/C:\\folder\\file" + std::to_string(i) + ".xml\n";
  }
  std::string target = "U01/3/1:0/5/6/C:\\far.xml\n";
  SetContents(big + target + "Z/1/1:0/1/1/C:\\z.xml\n");
  RememberedRecord record;
  ASSERT_TRUE(file_.Read(Key("U01", 3, 1), &record));
  EXPECT_EQ(record.path, "C:\\far.xml");
  ASSERT_TRUE(file_.Save(Key("U01", 3, 1), Record(1, 7, 8, "C:\\near.xml")));
  EXPECT_EQ(Contents(), big + "Z/1/1:0/1/1/C:\\z.xml\nU01/3/1:1/7/8/C:\\near.xml\n");
}

TEST_F(RememberedPathFileTest, KeysAndLinesThatDoNotFitAreRefused) {
  std::string key;
  EXPECT_TRUE(RememberedPathFile::FormatKey(std::string(45, 'u'), 1, 2, &key));  // 50 bytes
  EXPECT_EQ(key.size(), 50u);
  EXPECT_FALSE(RememberedPathFile::FormatKey(std::string(46, 'u'), 1, 2, &key));
  EXPECT_FALSE(RememberedPathFile::FormatKey(std::string(64, 'u'), -2147483647, -1, &key));

  EXPECT_FALSE(file_.Save(std::string(51, 'k'), Record(0, 1, 1, "C:\\x.xml")));
  EXPECT_FALSE(file_.Save("", Record(0, 1, 1, "C:\\x.xml")));
  EXPECT_FALSE(file_.Save(Key("U01", 3, 1), Record(0, 1, 1, std::string(261, 'p'))));
  EXPECT_FALSE(fs::exists(FilePosix()));
  // A 50-byte key, the longest numbers and a 260-byte path stay within 511.
  std::string longKey;
  ASSERT_TRUE(RememberedPathFile::FormatKey(std::string(25, 'u'), -2147483647 - 1, -2147483647 - 1,
                                            &longKey));
  ASSERT_TRUE(file_.Save(longKey, Record(-2147483647 - 1, -32768, -32768, std::string(260, 'p'))));
  RememberedRecord record;
  ASSERT_TRUE(file_.Read(longKey, &record));
  EXPECT_EQ(record.path, std::string(260, 'p'));
  EXPECT_EQ(record.method, -2147483647 - 1);
  EXPECT_EQ(record.startMonth, -32768);
}

TEST_F(RememberedPathFileTest, UserIdsThatCouldForgeAnotherRecordAreRefused) {
  // "ev\nsakura" would write a line that reads as sakura's; "sakura/1/1:x"
  // would find sakura's record inside its own key.
  SetContents("sakura/1/1:0/4/3/C:\\sakura.xml\n");
  for (const char* user : {"ev\nsakura", "sakura/1", "sak:ura", "a\tb", "a\x7f", "\r"}) {
    std::string key;
    EXPECT_FALSE(RememberedPathFile::FormatKey(user, 1, 1, &key)) << user;
  }
  RememberedRecord record;
  for (const char* key : {"sakura/1/1:x/1/1:", "ev\nsakura/1/1:", "sakura/1:", "sakura/1/1"}) {
    EXPECT_FALSE(file_.Read(key, &record)) << key;
    EXPECT_FALSE(file_.Save(key, Record(1, 1, 1, "C:\\forged.xml"))) << key;
  }
  // Nor can a path: a line feed in it would begin sakura's record.
  EXPECT_FALSE(file_.Save(Key("ev", 1, 1), Record(0, 1, 1, "C:\\a\nsakura/1/1:1/1/1/C:\\x")));
  EXPECT_EQ(Contents(), "sakura/1/1:0/4/3/C:\\sakura.xml\n");
}

TEST_F(RememberedPathFileTest, ASaveWaitsForTheLockAndGivesUpLeavingTheFile) {
  std::string old = "U02/1/1:0/1/1/C:\\keep.xml\n";
  SetContents(old);
  platform::File holder;
  ASSERT_TRUE(
      holder.Open(file_.LockPath().c_str(), platform::File::kCreate | platform::File::kWrite));
  ASSERT_TRUE(holder.LockExclusive(0));
  EXPECT_FALSE(file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml")));
  EXPECT_EQ(Contents(), old);
  holder.Close();
  EXPECT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml")));
  EXPECT_EQ(Contents(), old + "U01/3/1:0/5/6/C:\\new.xml\n");
}

TEST_F(RememberedPathFileTest, ARewriteThatCannotCreateItsTemporaryFileKeepsTheOldFile) {
  std::string old = "U02/1/1:0/1/1/C:\\keep.xml\nU01/3/1:0/4/3/C:\\old.xml\n";
  SetContents(old);
  // A folder where the temporary file would go makes its creation fail.
  std::string temporary = platform::ToPosixPath(file_.TemporaryPath()).value_or("");
  ASSERT_FALSE(temporary.empty());
  fs::create_directory(temporary);
  EXPECT_FALSE(file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml")));
  EXPECT_EQ(Contents(), old);
}

// A save of the record the file ends with already does not replace it: it
// succeeds even where no temporary could be made, and the file stays the
// same file.
TEST_F(RememberedPathFileTest, ASaveThatChangesNothingLeavesTheFileAlone) {
  std::string old = "U02/1/1:0/1/1/C:\\keep.xml\nU01/3/1:0/4/3/C:\\same.xml\n";
  SetContents(old);
  struct stat before {};
  ASSERT_EQ(::stat(FilePosix().c_str(), &before), 0);
  std::string temporary = platform::ToPosixPath(file_.TemporaryPath()).value_or("");
  ASSERT_FALSE(temporary.empty());
  fs::create_directory(temporary);
  EXPECT_TRUE(file_.Save(Key("U01", 3, 1), Record(0, 4, 3, "C:\\same.xml")));
  struct stat after {};
  ASSERT_EQ(::stat(FilePosix().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(Contents(), old);
  // The same record earlier in the file moves to the end: that is a change.
  fs::remove(temporary);
  ASSERT_TRUE(file_.Save(Key("U02", 1, 1), Record(0, 1, 1, "C:\\keep.xml")));
  EXPECT_EQ(Contents(), "U01/3/1:0/4/3/C:\\same.xml\nU02/1/1:0/1/1/C:\\keep.xml\n");
}

TEST_F(RememberedPathFileTest, ARewriteThatFailsHalfWayKeepsTheOldFile) {
  std::string old;
  for (int i = 0; old.size() < 40000; ++i) {
    old += "User" + std::to_string(i) + "/1/1:0/4/3/C:\\file" + std::to_string(i) + ".xml\n";
  }
  SetContents(old);
  // Writes past 4096 bytes fail (EFBIG) while the limit holds.
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previousAction = {};
  ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previousAction), 0);
  struct rlimit previousLimit = {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
  struct rlimit small = previousLimit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saved = file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml"));
  ::setrlimit(RLIMIT_FSIZE, &previousLimit);
  ::sigaction(SIGXFSZ, &previousAction, nullptr);

  EXPECT_FALSE(saved);
  EXPECT_EQ(Contents(), old);
  EXPECT_EQ(OtherEntries(), std::vector<std::string>{"TaxLinkAlto.env"});
}

TEST_F(RememberedPathFileTest, AFileThatCannotBeReadIsNotReplaced) {
  fs::create_directories(FilePosix());  // a folder in the file's place
  EXPECT_FALSE(file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml")));
  EXPECT_TRUE(fs::is_directory(FilePosix()));
}

TEST_F(RememberedPathFileTest, AFolderThatCannotBeCreatedFailsTheSave) {
  fs::create_directories(dir_.Posix());
  ConditionsWriteFile(folderPosix_, "a file where the folder should be");
  EXPECT_FALSE(file_.Save(Key("U01", 3, 1), Record(0, 5, 6, "C:\\new.xml")));
  EXPECT_EQ(ConditionsReadFile(folderPosix_), "a file where the folder should be");
}

}  // namespace
}  // namespace taxlink
