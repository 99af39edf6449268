#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "conditions/PathText.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

// 表 is 0x95 0x5C in Shift_JIS: its trail byte is a backslash.
const std::string kHyo = "表"_sjis;

TEST(PathTextTest, HyoEndsInABackslashByte) { ASSERT_EQ(kHyo, std::string("\x95\x5C")); }

TEST(PathTextTest, DoubleByteCharacterPositions) {
  std::string text = "a" + kHyo + "\\b";  // a 95 5C 5C b
  EXPECT_FALSE(IsInDoubleByteChar(text.c_str(), 0));
  EXPECT_TRUE(IsInDoubleByteChar(text.c_str(), 1));
  EXPECT_TRUE(IsInDoubleByteChar(text.c_str(), 2));
  EXPECT_FALSE(IsInDoubleByteChar(text.c_str(), 3));
  EXPECT_FALSE(IsInDoubleByteChar(text.c_str(), 4));
  EXPECT_FALSE(IsInDoubleByteChar(text.c_str(), 40));
  // A lead byte at the end without its trail byte is a single byte.
  EXPECT_FALSE(IsInDoubleByteChar("ab\x95", 2));
}

struct SeparatorCase {
  const char* name;
  std::string text;
  std::size_t capacity;
  bool result;
  std::string after;
};

const SeparatorCase kSeparatorCases[] = {
    {"Appends", "C:\\a", 261, true, "C:\\a\\"},
    {"KeepsExisting", "C:\\a\\", 261, true, "C:\\a\\"},
    {"TrailByteIsNoSeparator", "C:\\" + kHyo, 261, true, "C:\\" + kHyo + "\\"},
    {"EmptyText", "", 261, false, ""},
    {"NoRoomLeft", "abcd", 5, false, "abcd"},
    {"LastRoom", "abc", 5, true, "abc\\"},
    {"NoRoomAfterDoubleByte", "ab" + kHyo, 5, false, "ab" + kHyo},
    {"FullButAlreadySeparated", "abc\\", 5, true, "abc\\"},
};

class EnsureTrailingSeparatorTest : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(EnsureTrailingSeparatorTest, AppendsOnlyWhenItFits) {
  const SeparatorCase& c = GetParam();
  char buffer[300] = {};
  std::memcpy(buffer, c.text.data(), c.text.size());
  // Bytes past the capacity must never be touched.
  std::memset(buffer + c.text.size() + 1, 'Z', sizeof(buffer) - c.text.size() - 1);
  EXPECT_EQ(EnsureTrailingSeparator(buffer, c.capacity), c.result);
  EXPECT_EQ(std::string(buffer), c.after);
  for (std::size_t i = c.capacity; i < sizeof(buffer); ++i) ASSERT_EQ(buffer[i], 'Z') << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, EnsureTrailingSeparatorTest, ::testing::ValuesIn(kSeparatorCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PathTextTest, EnsureTrailingSeparatorRefusesNull) {
  EXPECT_FALSE(EnsureTrailingSeparator(nullptr, 261));
}

struct SplitCase {
  std::string path;
  std::string folder;
  std::string name;
};

TEST(PathTextTest, FolderAndFileNameSplitAtTheLastRealSeparator) {
  const SplitCase cases[] = {
      {"C:\\out\\tax.xml", "C:\\out\\", "tax.xml"},
      {"C:\\out\\", "C:\\out\\", ""},
      {"tax.xml", "", "tax.xml"},
      {"C:tax.xml", "", "C:tax.xml"},
      {"C:\\" + kHyo, "C:\\", kHyo},  // 0x5C of 表 is not a separator
      {"C:\\" + kHyo + "\\x.xml", "C:\\" + kHyo + "\\", "x.xml"},
      {"\\\\srv\\share\\x.xml", "\\\\srv\\share\\", "x.xml"},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(FolderPart(c.path.c_str()), c.folder) << c.path;
    EXPECT_EQ(FileNamePart(c.path.c_str()), c.name) << c.path;
    EXPECT_EQ(FolderPart(c.path.c_str()) + FileNamePart(c.path.c_str()), c.path);
  }
  EXPECT_EQ(FolderPartAtColon("C:tax.xml"), "C:");
  EXPECT_EQ(FileNamePartAtColon("C:tax.xml"), "tax.xml");
  EXPECT_EQ(FolderPartAtColon("tax.xml"), "");
  EXPECT_EQ(FileNamePartAtColon("tax.xml"), "tax.xml");
}

// Paths that name an output file.
const std::string kAcceptedPaths[] = {
    "C:\\out\\tax.xml",
    "C:\\tax.xml",
    "tax.xml",
    "out\\tax.xml",
    "D:\\消費税\\申告.xml"_sjis,
    "C:\\" + kHyo + "\\x.xml",  // trail byte 0x5C before a separator
    "C:\\" + kHyo + kHyo + "\\x.xml",
    "C:\\\x83\x7C\\x.xml",  // ポ has the trail byte 0x7C ("|")
    "\\\\server\\share\\x.xml",
    "C:\\a b\\c-d_e.f.xml",
    "C:\\" + std::string(253, 'a') + ".xml",  // 260 bytes
};

// Paths that are refused, each for the reason in its comment.
const std::string kRefusedPaths[] = {
    "C:\\out\\*.xml",  // asterisk
    "C:*.xml",         // asterisk after the drive
    "*.xml",
    "C:\\a\\\\b.xml",  // doubled separator
    "C:\\a\\b.xml\\\\",
    "\\\\server\\share\\\\x.xml",  // doubled separator in a network path
    "C:\\a:b.xml",                 // second colon
    "C:\\a/b.xml",
    "C:\\a,b.xml",
    "C:\\a;b.xml",
    "C:\\a?.xml",
    "C:\\\"a\".xml",
    "C:\\a>b.xml",
    "C:\\a<b.xml",
    "C:\\a|b.xml",
    "C:\\a\nb.xml",  // control characters
    "C:\\a\tb.xml",
    "C:\\a\x1F.xml",
    "\\\\server\\share\\a:b.xml",
    "C:\\" + std::string(254, 'a') + ".xml",  // 261 bytes
};

class AcceptedPathTest : public ::testing::TestWithParam<std::string> {};
TEST_P(AcceptedPathTest, IsValid) { EXPECT_TRUE(IsValidPathText(GetParam().c_str())); }
INSTANTIATE_TEST_SUITE_P(Paths, AcceptedPathTest, ::testing::ValuesIn(kAcceptedPaths));

class RefusedPathTest : public ::testing::TestWithParam<std::string> {};
TEST_P(RefusedPathTest, IsInvalid) { EXPECT_FALSE(IsValidPathText(GetParam().c_str())); }
INSTANTIATE_TEST_SUITE_P(Paths, RefusedPathTest, ::testing::ValuesIn(kRefusedPaths));

struct ReduceCase {
  std::string path;
  bool result;
  std::string after;
};

TEST(PathTextTest, ReduceToDirectoryKeepsDriveAndFolder) {
  const ReduceCase cases[] = {
      {"C:\\a\\b", true, "C:\\a\\"},
      {"C:\\a\\b\\", true, "C:\\a\\b\\"},
      {"C:\\a\\x.xml", true, "C:\\a\\"},
      {"C:\\" + kHyo + "\\x.xml", true, "C:\\" + kHyo + "\\"},
      {"C:x.xml", true, "C:\\"},
      {"x.xml", false, "x.xml"},
      {"", false, ""},
  };
  for (const ReduceCase& c : cases) {
    char buffer[kPathBufferSize] = {};
    std::memcpy(buffer, c.path.data(), c.path.size());
    EXPECT_EQ(ReduceToDirectory(buffer), c.result) << c.path;
    EXPECT_EQ(std::string(buffer), c.after) << c.path;
  }
}

// Folders of 255 bytes and more after the drive (a path of up to 260 bytes
// can hold 257) are kept whole, never cut to a shorter, different folder.
TEST(PathTextTest, ReduceToDirectoryKeepsLongFoldersWhole) {
  for (std::size_t tail : {132u, 133u, 134u}) {
    const std::string folder =
        "C:\\" + std::string(120, 'a') + "\\" + std::string(tail, 'b') + "\\";
    for (const std::string& path : {folder + "x", folder}) {
      char buffer[kPathBufferSize] = {};
      ASSERT_LT(path.size(), kPathBufferSize);
      std::memcpy(buffer, path.data(), path.size());
      EXPECT_TRUE(ReduceToDirectory(buffer)) << path.size();
      EXPECT_EQ(std::string(buffer), folder) << path.size();
    }
  }
}

}  // namespace
}  // namespace taxlink
