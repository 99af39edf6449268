#include "app/HostLaunch.h"
#include "tests/support/SjisLiteral.h"

#include <gtest/gtest.h>

#include <string>

namespace taxlink {
namespace {

struct CommandLineCase {
  const char* line;
  int result;
  HWND window;
  int32_t message;
  int16_t functionId;
  const char* hostText;
};

class HostCommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(HostCommandLineTest, FillsMembersAsFarAsTheCommasGo) {
  const CommandLineCase& c = GetParam();
  const HostLaunch launch = ParseHostLaunch(c.line);
  EXPECT_EQ(launch.fromHost, c.result == 1);
  EXPECT_EQ(launch.window, c.window);
  EXPECT_EQ(launch.notifyMessage, c.message);
  EXPECT_EQ(launch.functionId, c.functionId);
  EXPECT_EQ(launch.text, c.hostText);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HostCommandLineTest,
    ::testing::Values(
        CommandLineCase{"4660,1025,7,D:\\out\\tax.xml", 1, 4660, 1025, 7, "D:\\out\\tax.xml"},
        CommandLineCase{"4660,1025,7,", 1, 4660, 1025, 7, ""},
        CommandLineCase{"4660,1025", 0, 4660, 0, 1, ""},
        CommandLineCase{"4660,1025,", 0, 4660, 1025, 1, ""}, CommandLineCase{"", 0, 0, 0, 1, ""},
        CommandLineCase{"no commas at all", 0, 0, 0, 1, ""},
        // The free text keeps its own commas.
        CommandLineCase{"1,2,3,C:\\a,b\\c.xml", 1, 1, 2, 3, "C:\\a,b\\c.xml"},
        // Decimal conversion stops at the first non-digit, as atol does.
        CommandLineCase{"12ab,x,-5,p", 1, 12, 0, -5, "p"},
        // Numbers beyond their member saturate instead of wrapping.
        CommandLineCase{"1,2,65537,", 1, 1, 2, 32767, ""},
        CommandLineCase{"4294967297,99999999999,-99999,", 1, 4294967295u, 2147483647, -32768, ""}));

TEST(HostCommandLineTest, ReadsLinesLongerThanAWindowsPath) {
  std::string path = "C:\\" + std::string(300, 'a') + ".xml";
  const HostLaunch launch = ParseHostLaunch("10,20,30," + path);
  EXPECT_TRUE(launch.fromHost);
  EXPECT_EQ(launch.text, path);
}

TEST(HostCommandLineTest, TakesTheLineByteForByte) {
  // The host passes the Shift_JIS bytes of a Windows command line: "表" ends
  // in the byte 0x5C, and "ﾐ植" (D0 90 41) happens to start like UTF-8 "А".
  std::string program = "TaxLinkAlto";
  std::string hosted = "4660,1025,7,C:\\出力表\\ﾐ植.xml"_sjis;
  std::string plain = "x";
  char* argv[] = {program.data(), hosted.data(), plain.data()};
  EXPECT_EQ(CommandLineFromArgs(3, argv), hosted + " x");
  EXPECT_EQ(CommandLineFromArgs(1, argv), "");

  const HostLaunch launch = ParseHostLaunch(CommandLineFromArgs(2, argv));
  EXPECT_TRUE(launch.fromHost);
  EXPECT_EQ(launch.text, "C:\\出力表\\ﾐ植.xml"_sjis);
}

}  // namespace
}  // namespace taxlink
