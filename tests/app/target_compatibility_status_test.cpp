#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/TargetCompatibility.h"
#include "platform/text/Encoding.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink {
namespace {

namespace fs = std::filesystem;

// Runs the check with the current directory set to a fresh folder whose last
// character is 表 (trail byte 0x5C), and restores the directory afterwards.
class TargetCompatibilityStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    base_ = fs::temp_directory_path() / ("taxlink_compat_" + std::to_string(::getpid()));
    folder_ = base_ / platform::Cp932ToUtf8("表"_sjis);
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(base_);
  }
  void WriteDefinition(const std::string& content) {
    std::ofstream(folder_ / kFilingDefinitionFile, std::ios::binary) << content;
  }

  fs::path previous_;
  fs::path base_;
  fs::path folder_;
};

// The trail byte 0x5C of the folder's last character is no separator, so the
// file is looked up inside the folder, not next to it as "表VelzoDef.ini".
TEST_F(TargetCompatibilityStatusTest, FindsTheFileInAFolderEndingInATrailByteBackslash) {
  struct Case {
    const char* content;
    int32_t status;
  };
  const Case cases[] = {
      {"[ProgramLevel]\r\nSY26=1\r\n", 0},
      {"[ProgramLevel]\r\nSY26=0\r\n", 1},
      {"[ProgramLevel]\r\nSY26=3\r\n", 2},
      // Levels past the int range saturate: never a wrapped 1 or a negative.
      {"[ProgramLevel]\r\nSY26=4294967297\r\n", 2},
      {"[ProgramLevel]\r\nSY26=99999999999999999999\r\n", 2},
      {"[ProgramLevel]\r\nSY26=-4294967295\r\n", 1},
  };
  for (const Case& c : cases) {
    WriteDefinition(c.content);
    EXPECT_EQ(TargetCompatibilityStatus(), c.status) << c.content;
  }
  fs::remove(folder_ / kFilingDefinitionFile);
  std::ofstream(base_ / (platform::Cp932ToUtf8("表"_sjis) + kFilingDefinitionFile))
      << "[ProgramLevel]\r\nSY26=1\r\n";
  EXPECT_EQ(TargetCompatibilityStatus(), -1);
}

// Without messages the verdict is the same and nothing is asked of the host.
TEST_F(TargetCompatibilityStatusTest, SilentCheckGivesTheSameVerdict) {
  EXPECT_EQ(CheckTargetCompatibility(0, false), false);  // no file
  WriteDefinition("[ProgramLevel]\r\nSY26=2\r\n");
  EXPECT_EQ(CheckTargetCompatibility(0, false), false);
  WriteDefinition("[ProgramLevel]\r\nSY26=1\r\n");
  EXPECT_EQ(CheckTargetCompatibility(0, false), true);
}

}  // namespace
}  // namespace taxlink
