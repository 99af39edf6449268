#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "conditions/FolderLevels.h"
#include "conditions/UsableDrive.h"
#include "platform/text/Encoding.h"
#include "tests/support/ConditionsTestSupport.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

// Root passes every permission check, so these cases need another user.
constexpr const char* kNeedsAnOrdinaryUser =
    "needs a user other than root (root ignores file permissions): run the tests as an "
    "ordinary user";

using testing::ConditionsScopedEnv;
using testing::ConditionsTempDir;
namespace fs = std::filesystem;

// Drives and a share mapped to folders of a private folder:
//   C fixed, M removable, N remote, F fixed without its folder,
//   D CD-ROM, R RAM disk, U unknown; \\server\share.
class DriveMapTest : public ::testing::Test {
 protected:
  DriveMapTest()
      : drives_("TAXLINK_DRIVES", "C=" + dir_.PosixOf("c") + ";M=" + dir_.PosixOf("m") +
                                      ",removable;N=" + dir_.PosixOf("n") +
                                      ",remote;F=" + dir_.PosixOf("missing") +
                                      ";D=" + dir_.PosixOf("d") + ",cdrom;R=" + dir_.PosixOf("r") +
                                      ",ramdisk;U=" + dir_.PosixOf("u") + ",unknown"),
        shares_("TAXLINK_SHARES", "server\\share=" + dir_.PosixOf("share")) {
    for (const char* name : {"c", "m", "n", "d", "r", "u", "share"}) {
      fs::create_directory(dir_.PosixOf(name));
    }
  }

  std::string C(const std::string& relative) const { return dir_.PosixOf("c/" + relative); }

  ConditionsTempDir dir_;
  ConditionsScopedEnv drives_;
  ConditionsScopedEnv shares_;
};

struct DriveCase {
  std::string path;
  bool usable;
};

TEST_F(DriveMapTest, UsableDrives) {
  const DriveCase cases[] = {
      {"C:\\out\\x.xml", true},
      {"c:\\x.xml", true},
      {"M:\\x.xml", true},
      {"N:\\x.xml", true},
      {"Q:\\x.xml", true},   // a letter without a volume is not refused here
      {"x.xml", true},       // X: has no volume either
      {"F:\\x.xml", true},   // mapped, but its folder is missing: no volume
      {"D:\\x.xml", false},  // CD-ROM
      {"R:\\x.xml", false},  // RAM disk
      {"U:\\x.xml", false},  // unknown drive type
      {"1:\\a.xml", false},
      {"表\\x.xml"_sjis, false},  // a lead byte is no drive letter
      {"", false},
      {"C:\\a\\\\b.xml", false},
      {"\\\\server\\share\\x.xml", true},
      {"\\\\server\\share\\sub\\x.xml", true},
      {"\\\\server\\share", false},  // no separator after the share name
      {"\\\\server\\other\\x.xml", false},
      {"\\\\server", false},
  };
  for (const DriveCase& c : cases) EXPECT_EQ(IsUsableDrive(c.path.c_str()), c.usable) << c.path;
}

TEST_F(DriveMapTest, DriveLetterTakesTheAccessMode) {
  EXPECT_TRUE(IsUsableDriveLetter('C', kAccessExists));
  EXPECT_TRUE(IsUsableDriveLetter('c', kAccessReadWrite));
  EXPECT_TRUE(IsUsableDriveLetter('F', kAccessExists));
  EXPECT_FALSE(IsUsableDriveLetter('@', kAccessExists));
  EXPECT_FALSE(IsUsableDriveLetter('[', kAccessExists));
  EXPECT_FALSE(IsUsableDriveLetter('\x95', kAccessExists));
}

TEST_F(DriveMapTest, FixedDriveWithoutAccessIsRefusedWhenNotPrivileged) {
  if (::geteuid() == 0) GTEST_SKIP() << kNeedsAnOrdinaryUser;
  ASSERT_EQ(::chmod(dir_.PosixOf("m").c_str(), 0500), 0);
  EXPECT_FALSE(IsUsableDrive("M:\\x.xml"));
  EXPECT_TRUE(IsUsableDriveLetter('M', 4));
}

TEST_F(DriveMapTest, CreatesEveryMissingLevel) {
  ASSERT_TRUE(CreateFolderLevels("C:\\a\\b\\c\\"));
  EXPECT_TRUE(fs::is_directory(C("a/b/c")));
  // A file name at the end is not a folder.
  ASSERT_TRUE(CreateFolderLevels("C:\\x\\y\\out.xml"));
  EXPECT_TRUE(fs::is_directory(C("x/y")));
  EXPECT_FALSE(fs::exists(C("x/y/out.xml")));
  // Existing levels are fine.
  EXPECT_TRUE(CreateFolderLevels("C:\\a\\b\\c\\"));
}

TEST_F(DriveMapTest, CreatesAFolderOfMoreThan255BytesWhole) {
  const std::string a(120, 'a');
  const std::string b(134, 'b');
  ASSERT_TRUE(CreateFolderLevels(("C:\\" + a + "\\" + b + "\\").c_str()));
  EXPECT_TRUE(fs::is_directory(C(a + "/" + b)));
  EXPECT_FALSE(fs::exists(C(a + "/" + b.substr(1))));
}

TEST_F(DriveMapTest, CreatesALevelEndingInATrailByteBackslash) {
  ASSERT_TRUE(CreateFolderLevels("C:\\表\\下\\"_sjis));
  EXPECT_TRUE(fs::is_directory(C(platform::Cp932ToUtf8("表/下"_sjis))));
}

TEST_F(DriveMapTest, CreatesFoldersOnAShare) {
  ASSERT_TRUE(CreateFolderLevels("\\\\server\\share\\p\\q\\"));
  EXPECT_TRUE(fs::is_directory(dir_.PosixOf("share/p/q")));
}

TEST_F(DriveMapTest, RefusesWhatHasNoFolder) {
  EXPECT_FALSE(CreateFolderLevels(""));
  EXPECT_FALSE(CreateFolderLevels("out.xml"));
  EXPECT_FALSE(CreateFolderLevels(nullptr));
}

// A folder name of 86 double-byte characters takes 258 bytes as a file
// system name, which the file system refuses although the Windows path is
// short: a level that fails after others were created, also as root.
std::string TooLongName() {
  std::string name;
  for (int i = 0; i < 86; ++i) name += "あ"_sjis;
  return name;
}

TEST_F(DriveMapTest, FailurePartWayRemovesExactlyTheCreatedLevels) {
  fs::create_directories(C("a/keep"));  // a existed and is not empty
  std::string folder = "C:\\a\\b\\c\\" + TooLongName() + "\\d\\";
  EXPECT_FALSE(CreateFolderLevels(folder.c_str()));
  EXPECT_TRUE(fs::is_directory(C("a/keep")));
  EXPECT_FALSE(fs::exists(C("a/b")));
}

TEST_F(DriveMapTest, FailurePartWayKeepsAnEmptyFolderThatExistedBefore) {
  fs::create_directories(C("a/b"));  // empty, but not created by the call
  std::string folder = "C:\\a\\b\\c\\" + TooLongName() + "\\";
  EXPECT_FALSE(CreateFolderLevels(folder.c_str()));
  EXPECT_TRUE(fs::is_directory(C("a/b")));
  EXPECT_FALSE(fs::exists(C("a/b/c")));
}

TEST_F(DriveMapTest, FailureUnderARegularFileCreatesNothing) {
  fs::create_directories(C("a"));
  testing::ConditionsWriteFile(C("a/file"), "x");
  EXPECT_FALSE(CreateFolderLevels("C:\\a\\file\\sub\\"));
  EXPECT_TRUE(fs::is_regular_file(C("a/file")));
  EXPECT_EQ(std::distance(fs::directory_iterator(C("a")), fs::directory_iterator()), 1);
}

TEST_F(DriveMapTest, FailureOnAReadOnlyFolderWhenNotPrivileged) {
  if (::geteuid() == 0) GTEST_SKIP() << kNeedsAnOrdinaryUser;
  fs::create_directories(C("a/ro"));
  ASSERT_EQ(::chmod(C("a/ro").c_str(), 0555), 0);
  EXPECT_FALSE(CreateFolderLevels("C:\\a\\ro\\x\\y\\"));
  EXPECT_TRUE(fs::is_directory(C("a/ro")));
  EXPECT_FALSE(fs::exists(C("a/ro/x")));
}

TEST_F(DriveMapTest, RemoveStopsAtTheStopFolderIgnoringCase) {
  fs::create_directories(C("a/b/c"));
  EXPECT_TRUE(RemoveCreatedFolders("c:\\a\\b\\c\\gone\\", "C:\\A\\"));
  EXPECT_FALSE(fs::exists(C("a/b")));
  EXPECT_TRUE(fs::is_directory(C("a")));
}

TEST_F(DriveMapTest, RemoveRefusesAStopFolderOffThePath) {
  fs::create_directories(C("a/b/c"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\a\\b\\c\\gone\\", "C:\\x\\"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\a\\b\\c\\gone\\", "M:\\a\\"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\a\\b\\c\\gone\\", "C:\\ab\\"));
  EXPECT_TRUE(fs::is_directory(C("a/b/c")));
}

TEST_F(DriveMapTest, RemoveNeverEmptiesAFolderWithContent) {
  fs::create_directories(C("a/b/c"));
  testing::ConditionsWriteFile(C("a/b/data.txt"), "keep");
  EXPECT_FALSE(RemoveCreatedFolders("C:\\a\\b\\c\\gone\\", "C:\\"));
  EXPECT_FALSE(fs::exists(C("a/b/c")));
  EXPECT_EQ(testing::ConditionsReadFile(C("a/b/data.txt")), "keep");
}

TEST_F(DriveMapTest, RemoveWalksOverTrailByteBackslashes) {
  fs::create_directories(C(platform::Cp932ToUtf8("表/下"_sjis)));
  EXPECT_TRUE(RemoveCreatedFolders("C:\\表\\下\\gone\\"_sjis, "C:\\"));
  EXPECT_FALSE(fs::exists(C(platform::Cp932ToUtf8("表"_sjis))));
}

}  // namespace
}  // namespace taxlink
