// GetPrivateProfileString over INI files.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/winfs/ProfileFile.h"
#include "tests/support/PlatformTestEnv.h"
#include "tests/support/SjisLiteral.h"

namespace {

using taxlink_test::ScopedEnv;
using taxlink_test::ScopedTempDir;

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : drives_("TAXLINK_DRIVES", "C=" + dir_.Path()) {
    dir_.WriteFile("VelzoDef.ini",
                   "; comment\r\n"
                   "[Other]\r\n"
                   "SY26=9\r\n"
                   "  [ ProgramLevel ]  \r\n"
                   "  sy26  =  1  \r\n"
                   "Quoted=\"  spaced  \"\r\n"
                   "Single='x'\r\n"
                   "Half=\"open\r\n"
                   "Empty=\r\n"
                   "Long=0123456789ABCDEF\r\n"
                   "Kanji=表示表示\r\n"_sjis +
                       std::string("Nul= ab\0cd \r\n", 13) +  // a value ends at a NUL byte
                       "SY26=2\r\n"
                       "[ProgramLevel]\r\n"
                       "Later=3\r\n"
                       "[Last]\n"
                       "NoNewline=end");
  }

  std::string Read(const char* section, const char* key, const char* fallback = "dflt",
                   std::size_t size = 16, const char* file = "C:\\VelzoDef.ini") {
    char buffer[64];
    std::memset(buffer, 'Z', sizeof(buffer));
    std::size_t length =
        platform::GetPrivateProfileString(section, key, fallback, buffer, size, file);
    EXPECT_EQ(length, std::strlen(buffer)) << section << "/" << (key ? key : "null");
    return buffer;
  }

  ScopedTempDir dir_;
  ScopedEnv drives_;
};

TEST_F(ProfileTest, ReadsValuesByWindowsRules) {
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"ProgramLevel", "SY26", "1"},  // case, blanks; the first of two keys
      {"programlevel", "sy26", "1"},
      {"ProgramLevel", "Quoted", "  spaced  "},
      {"ProgramLevel", "Single", "x"},
      {"ProgramLevel", "Half", "\"open"},  // unbalanced quote stays
      {"ProgramLevel", "Empty", ""},
      {"ProgramLevel", "Kanji", "表示表示"_sjis},
      {"ProgramLevel", "Nul", "ab"},
      {"ProgramLevel", "Missing", "dflt"},
      {"ProgramLevel", "Later", "dflt"},  // only the first section of a name
      {"Other", "SY26", "9"},
      {"Last", "NoNewline", "end"},
      {"Nowhere", "SY26", "dflt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.section, c.key), c.expected) << c.section << "/" << c.key;
  }
}

TEST_F(ProfileTest, CutsToTheBufferWithoutSplittingACharacter) {
  EXPECT_EQ(Read("ProgramLevel", "Long", "", 8), "0123456");
  EXPECT_EQ(Read("ProgramLevel", "Kanji", "", 6), "表示"_sjis);  // 5 bytes would split 表
  char untouched = 'Z';
  EXPECT_EQ(platform::GetPrivateProfileString("ProgramLevel", "SY26", "", &untouched, 0,
                                              "C:\\VelzoDef.ini"),
            0u);
  EXPECT_EQ(untouched, 'Z');
}

TEST_F(ProfileTest, MissingFileGivesTheDefault) {
  EXPECT_EQ(Read("ProgramLevel", "SY26", "1", 16, "C:\\none.ini"), "1");
  EXPECT_EQ(Read("ProgramLevel", "SY26", "  1  ", 16, "C:\\none.ini"), "  1");
  EXPECT_EQ(Read("ProgramLevel", "SY26", nullptr, 16, "C:\\none.ini"), "");
  EXPECT_EQ(Read("ProgramLevel", "SY26", "1", 16, "Q:\\VelzoDef.ini"), "1");
}

TEST_F(ProfileTest, ListsSectionsAndKeys) {
  char buffer[64];
  std::size_t length = platform::GetPrivateProfileString(nullptr, nullptr, "", buffer,
                                                         sizeof(buffer), "C:\\VelzoDef.ini");
  EXPECT_EQ(std::string(buffer, length + 2),
            std::string("Other\0ProgramLevel\0ProgramLevel\0Last\0\0", 38));
  length = platform::GetPrivateProfileString("Other", nullptr, "", buffer, sizeof(buffer),
                                             "C:\\VelzoDef.ini");
  EXPECT_EQ(std::string(buffer, length + 2), std::string("SY26\0\0", 6));
}

TEST_F(ProfileTest, RelativeNamesAreReadFromTheCurrentFolder) {
  taxlink_test::ScopedCwd cwd(dir_.Path());
  EXPECT_EQ(Read("ProgramLevel", "SY26", "dflt", 16, "VelzoDef.ini"), "1");
}

}  // namespace
