// Windows paths over the POSIX file system: mapping and the path functions.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/text/Encoding.h"
#include "platform/text/WinTypes.h"
#include "platform/winfs/WinFileSystem.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/SjisLiteral.h"

namespace {

using taxlink_test::ScopedCwd;
using taxlink_test::ScopedEnv;
using taxlink_test::ScopedTempDir;

// C: and D: over two temporary folders, E: a CD-ROM, F: a drive whose
// folder does not exist, and one share.
class PathsTest : public ::testing::Test {
 protected:
  PathsTest()
      : drives_("TAXLINK_DRIVES",
                "C=" + c_.Path() + ";D=" + d_.Path() + "/;e=" + d_.Path() +
                    "/cd,cdrom;F=/nonexistent-taxlink-drive,removable;G=" + d_.Path() + ",bogus"),
        shares_("TAXLINK_SHARES", "server\\share=" + share_.Path()) {
    std::filesystem::create_directories(d_.Path() + "/cd");
  }

  ScopedTempDir c_;
  ScopedTempDir d_;
  ScopedTempDir share_;
  ScopedEnv drives_;
  ScopedEnv shares_;
};

TEST_F(PathsTest, MapsWindowsPathsToPosix) {
  ScopedCwd cwd(d_.Path());
  struct Case {
    std::string windows;
    std::string posix;  // empty: no mapping
  } cases[] = {
      {"C:\\", c_.Path()},
      {"C:\\out\\a.xml", c_.Path() + "/out/a.xml"},
      {"c:/out//a.xml", c_.Path() + "/out/a.xml"},
      {"C:\\a\\..\\..\\b\\.\\x", c_.Path() + "/b/x"},
      {"D:\\x", d_.Path() + "/x"},
      {"sub\\f.txt", d_.Path() + "/sub/f.txt"},  // relative to the current folder
      {"D:y", d_.Path() + "/y"},                 // current folder of the same drive
      {"C:y", c_.Path() + "/y"},                 // another drive: its root
      {"\\top", d_.Path() + "/top"},             // root of the current drive
      {"\\\\server\\share\\x.xml", share_.Path() + "/x.xml"},
      {"\\\\SERVER\\Share", share_.Path()},
      {"\\\\server\\other\\x", ""},
      {"\\\\server", ""},
      {"Z:\\x", ""},
      {"G:\\x", ""},  // entry with an unknown type is skipped
      {"", ""},
      {"C:\\\x80", ""},                                    // not Shift_JIS
      {"C:\\\x95\x5c\\x", c_.Path() + "/\xe8\xa1\xa8/x"},  // 表 is not split at its 0x5C
  };
  for (const Case& c : cases) {
    std::optional<std::string> posix = platform::ToPosixPath(c.windows);
    if (c.posix.empty()) {
      EXPECT_FALSE(posix.has_value()) << c.windows;
    } else {
      ASSERT_TRUE(posix.has_value()) << c.windows;
      EXPECT_EQ(*posix, c.posix) << c.windows;
    }
  }
}

TEST_F(PathsTest, MapsPosixPathsToTheLongestDriveRoot) {
  EXPECT_EQ(platform::ToWindowsPath(c_.Path()), "C:\\");
  EXPECT_EQ(platform::ToWindowsPath(c_.Path() + "/a/b/"), "C:\\a\\b");
  EXPECT_EQ(platform::ToWindowsPath(d_.Path() + "/cd/x"), "E:\\x");
  EXPECT_EQ(platform::ToWindowsPath(d_.Path() + "/cdx"), "D:\\cdx");
  EXPECT_EQ(platform::ToWindowsPath(c_.Path() + "/\xe8\xa1\xa8"), "C:\\表"_sjis);
  EXPECT_EQ(platform::ToWindowsPath("/usr"), "");
  EXPECT_EQ(platform::ToWindowsPath("relative"), "");
}

TEST(PathsDefaultTest, WithoutTheVariableCIsTheRoot) {
  ScopedEnv drives("TAXLINK_DRIVES", std::nullopt);
  EXPECT_EQ(platform::ToPosixPath("C:\\tmp"), std::optional<std::string>("/tmp"));
  EXPECT_EQ(platform::ToWindowsPath("/tmp/x"), "C:\\tmp\\x");
  EXPECT_EQ(platform::GetDriveType("C:\\"), DRIVE_FIXED);
  EXPECT_EQ(platform::GetDriveType("D:\\"), DRIVE_NO_ROOT_DIR);
}

TEST_F(PathsTest, DriveTypes) {
  ScopedCwd cwd(d_.Path());
  struct Case {
    const char* root;
    uint32_t type;
  } cases[] = {
      {"C:\\", DRIVE_FIXED},
      {"c:\\", DRIVE_FIXED},
      {"D:", DRIVE_FIXED},
      {"E:\\", DRIVE_CDROM},
      {"F:\\", DRIVE_NO_ROOT_DIR},
      {"Q:\\", DRIVE_NO_ROOT_DIR},
      {"C:\\out\\", DRIVE_NO_ROOT_DIR},
      {"\\\\server\\share\\", DRIVE_REMOTE},
      {"\\\\server\\nope\\", DRIVE_NO_ROOT_DIR},
      {nullptr, DRIVE_FIXED},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::GetDriveType(c.root), c.type) << (c.root ? c.root : "null");
  }
}

TEST(PathTextTest, SkipRoot) {
  struct Case {
    const char* path;
    int offset;  // -1: no root
  } cases[] = {
      {"C:\\a\\b", 3},
      {"C:\\", 3},
      {"C:", -1},
      {"C:a", -1},
      {"\\a", -1},
      {"a\\b", -1},
      {"\\\\srv\\shr\\x", 10},
      {"\\\\srv\\shr", -1},
      {"\\\\srv", -1},
      {"\\\\s\x95\x5c\\shr\\x", 10},  // 表 in the server name is one character
      {"\x95\x5c:\\", -1},
      {"", -1},
  };
  for (const Case& c : cases) {
    const char* rest = platform::PathSkipRoot(c.path);
    if (c.offset < 0) {
      EXPECT_EQ(rest, nullptr) << c.path;
    } else {
      EXPECT_EQ(rest, c.path + c.offset) << c.path;
    }
  }
  EXPECT_EQ(platform::PathSkipRoot(nullptr), nullptr);
}

TEST(PathTextTest, StripToRoot) {
  struct Case {
    const char* path;
    bool result;
    const char* stripped;
  } cases[] = {
      {"C:\\a\\b\\c.xml", true, "C:\\"},
      {"C:\\", true, "C:\\"},
      {"\\\\srv\\shr\\a\\b", true, "\\\\srv\\shr"},
      {"\\a\\b", true, "\\"},
      {"C:", false, "C:"},
      {"C:abc", false, "C:"},
      {"abc", false, ""},
      {"C:\\\x95\x5c\\x", true, "C:\\"},
  };
  for (const Case& c : cases) {
    char buffer[MAX_PATH_ + 1];
    std::strcpy(buffer, c.path);
    EXPECT_EQ(platform::PathStripToRoot(buffer), c.result) << c.path;
    EXPECT_STREQ(buffer, c.stripped) << c.path;
  }
}

TEST(PathTextTest, SplitPath) {
  struct Case {
    const char* path;
    const char* drive;
    const char* dir;
    const char* fname;
    const char* ext;
  } cases[] = {
      {"C:\\out\\a.b.xml", "C:", "\\out\\", "a.b", ".xml"},
      {"C:\\out\\", "C:", "\\out\\", "", ""},
      {"C:\\out", "C:", "\\", "out", ""},
      {"a.xml", "", "", "a", ".xml"},
      {"C:\\x.d\\name", "C:", "\\x.d\\", "name", ""},
      {"\\\\srv\\shr\\f.txt", "", "\\\\srv\\shr\\", "f", ".txt"},
      // The 0x5C of 表 is not a separator.
      {"C:\\\x95\x5c\\\x95\x5c.xml", "C:", "\\\x95\x5c\\", "\x95\x5c", ".xml"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    char drive[3], dir[256], fname[256], ext[256];
    platform::SplitPath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
  }
  char dir[256];
  platform::SplitPath("C:\\a\\b.c", nullptr, dir, nullptr, nullptr);
  EXPECT_STREQ(dir, "\\a\\");
  // Parts longer than their buffers are cut, never overrun.
  std::string longName = "C:\\" + std::string(400, 'n') + ".xml";
  char fname[256];
  platform::SplitPath(longName.c_str(), nullptr, nullptr, fname, nullptr);
  EXPECT_EQ(std::strlen(fname), 255u);
  std::string kanjiName = "C:\\";
  for (int i = 0; i < 200; ++i) kanjiName += "表"_sjis;
  platform::SplitPath(kanjiName.c_str(), nullptr, nullptr, fname, nullptr);
  EXPECT_EQ(std::strlen(fname), 254u);  // 255 would end in half of 表
}

TEST_F(PathsTest, FolderAndFileOperationsOnRealFolders) {
  std::string japanese = "C:\\出力"_sjis;
  ASSERT_TRUE(platform::CreateDirectory(japanese.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(c_.Path() + "/\xe5\x87\xba\xe5\x8a\x9b"));
  EXPECT_FALSE(platform::CreateDirectory(japanese.c_str()));  // exists already
  EXPECT_FALSE(platform::CreateDirectory("C:\\none\\deeper"));
  EXPECT_FALSE(platform::CreateDirectory("Z:\\x"));
  EXPECT_TRUE(platform::PathIsDirectory(japanese.c_str()));
  EXPECT_TRUE(platform::PathFileExists(japanese.c_str()));
  EXPECT_EQ(platform::Access(japanese.c_str(), 6), 0);
  EXPECT_EQ(platform::Access("C:\\missing", 0), -1);
  EXPECT_EQ(platform::Access(japanese.c_str(), 1), -1);  // no such mode

  c_.WriteFile("\xe5\x87\xba\xe5\x8a\x9b/a.xml", "12345");
  std::string file = japanese + "\\a.xml";
  platform::FileStatus status;
  ASSERT_TRUE(platform::GetFileStatus(file.c_str(), &status));
  EXPECT_EQ(status.size, 5u);
  EXPECT_FALSE(status.isDirectory);
  EXPECT_FALSE(platform::PathIsDirectory(file.c_str()));
  EXPECT_FALSE(platform::GetFileStatus("C:\\missing.xml", &status));

  EXPECT_FALSE(platform::RemoveDirectory(japanese.c_str()));  // not empty
  EXPECT_FALSE(platform::DeleteFile(japanese.c_str()));       // a folder
  EXPECT_TRUE(platform::MoveFileReplace(file.c_str(), "C:\\b.xml"));
  EXPECT_FALSE(platform::PathFileExists(file.c_str()));
  EXPECT_TRUE(platform::DeleteFile("C:\\b.xml"));
  EXPECT_TRUE(platform::RemoveDirectory(japanese.c_str()));
  EXPECT_FALSE(platform::PathFileExists(japanese.c_str()));
}

TEST_F(PathsTest, CurrentDirectoryAsWindowsPath) {
  ScopedCwd restore(c_.Path());
  ASSERT_TRUE(platform::CreateDirectory("C:\\work"));
  ASSERT_EQ(platform::Chdir("C:\\work"), 0);
  char buffer[MAX_PATH_ + 1];
  ASSERT_NE(platform::Getcwd(buffer, sizeof(buffer)), nullptr);
  EXPECT_STREQ(buffer, "C:\\work");
  char tiny[7];  // "C:\work" needs 8 bytes
  EXPECT_EQ(platform::Getcwd(tiny, sizeof(tiny)), nullptr);
  EXPECT_EQ(platform::Chdir("C:\\missing"), -1);
  EXPECT_TRUE(platform::PathIsDirectory("..\\work"));
  ASSERT_EQ(chdir("/usr"), 0);  // no drive maps it
  EXPECT_EQ(platform::Getcwd(buffer, sizeof(buffer)), nullptr);
}

TEST_F(PathsTest, TempPathEndsWithASeparatorAndReportsTheSizeNeeded) {
  ScopedEnv temp("TAXLINK_TEMP", d_.Path() + "/tmp\xe8\xa1\xa8");  // ends in 表
  char buffer[MAX_PATH_ + 1];
  uint32_t length = platform::GetTempPath(sizeof(buffer), buffer);
  EXPECT_STREQ(buffer, "D:\\tmp\x95\x5c\\");
  EXPECT_EQ(length, 9u);
  char small[4] = "xyz";
  EXPECT_EQ(platform::GetTempPath(sizeof(small), small), 10u);
  EXPECT_STREQ(small, "xyz");
  ScopedEnv unmapped("TAXLINK_TEMP", "/usr/tmp");
  EXPECT_EQ(platform::GetTempPath(sizeof(buffer), buffer), 0u);
}

TEST(ModuleFileNameTest, IsTheTestProgram) {
  ScopedEnv drives("TAXLINK_DRIVES", std::nullopt);
  std::string path = platform::GetModuleFileName();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path.substr(0, 3), "C:\\");
  EXPECT_NE(path.find("test_platform"), std::string::npos);
}

}  // namespace
