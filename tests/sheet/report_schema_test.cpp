// The report's schema: current in the repository, passed by every golden
// report, and refusing a report that breaks the format with the line and
// the element of the first violation.

#include "report/ReportSchema.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "platform/text/Encoding.h"
#include "sheet/ReportReader.h"
#include "tests/support/ReportFixtures.h"

namespace taxlink {
namespace {

using testing::ReadBytes;

std::string Source(const std::string& path) { return std::string(TAXLINK_SOURCE_DIR) + "/" + path; }

std::string GoldenReport(const std::string& name) {
  return ReadBytes(Source("tests/app/golden/" + name + ".xml"));
}

// The text with the first occurrence of from replaced.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ReportSchemaTest, TheRepositoryFileIsCurrent) {
  const std::string path = Source("report/Report.xsd");
  if (std::getenv("TAXLINK_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(path, std::ios::binary) << ReportSchemaText();
  }
  EXPECT_EQ(ReadBytes(path), ReportSchemaText()) << "regenerate with TAXLINK_UPDATE_GOLDEN=1";
}

TEST(ReportSchemaTest, EveryGoldenReportValidates) {
  for (const char* name : {"sakura", "sakura-4-9", "midori", "aoba"}) {
    sheet::ReportContent content;
    sheet::ReportProblem problem;
    EXPECT_TRUE(sheet::ParseReport(GoldenReport(name), &content, &problem))
        << name << ": " << problem.Text();
  }
}

struct Violation {
  const char* name;
  std::function<std::string(const std::string&)> change;
  const char* expected;  // the problem, word for word
};

const std::string kSalesTax = "<KAZEIURIAGEZEIGAKU8>3880960</KAZEIURIAGEZEIGAKU8>";

class ReportViolationTest : public ::testing::TestWithParam<Violation> {};

TEST_P(ReportViolationTest, IsRefusedWithTheFirstViolation) {
  const Violation& v = GetParam();
  sheet::ReportContent content;
  sheet::ReportProblem problem;
  EXPECT_FALSE(sheet::ParseReport(v.change(GoldenReport("sakura")), &content, &problem));
  EXPECT_EQ(problem.Text(), v.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Violations, ReportViolationTest,
    ::testing::Values(
        Violation{
            "Removed",
            [](const std::string& r) { return Replaced(r, "\t\t\t" + kSalesTax + "\r\n", ""); },
            "line 24: Element 'KAZEIURIAGEZEIKOMI8': This element is not expected. "
            "Expected is ( KAZEIURIAGEZEIGAKU8 )."},
        Violation{"Renamed",
                  [](const std::string& r) {
                    return Replaced(r, kSalesTax,
                                    "<KAZEIURIAGEZEIGAKU>3880960</KAZEIURIAGEZEIGAKU>");
                  },
                  "line 24: Element 'KAZEIURIAGEZEIGAKU': This element is not expected. "
                  "Expected is ( KAZEIURIAGEZEIGAKU8 )."},
        Violation{"Reordered",
                  [](const std::string& r) {
                    std::string out = Replaced(r, "\t\t\t" + kSalesTax + "\r\n", "");
                    return Replaced(out, "</KAZEIURIAGEZEIKOMI8>\r\n",
                                    "</KAZEIURIAGEZEIKOMI8>\r\n\t\t\t" + kSalesTax + "\r\n");
                  },
                  "line 24: Element 'KAZEIURIAGEZEIKOMI8': This element is not expected. "
                  "Expected is ( KAZEIURIAGEZEIGAKU8 )."},
        Violation{"GroupedDigits",
                  [](const std::string& r) { return Replaced(r, ">3880960<", ">3,880,960<"); },
                  "line 24: Element 'KAZEIURIAGEZEIGAKU8': [facet 'pattern'] The value "
                  "'3,880,960' is not accepted by the pattern '(-?[1-9][0-9]{0,18})?'."},
        Violation{"FullWidthDigits",
                  [](const std::string& r) {
                    return Replaced(r, ">3880960<", ">" + platform::Utf8ToCp932("１０００") + "<");
                  },
                  "line 24: Element 'KAZEIURIAGEZEIGAKU8': [facet 'pattern'] The value "
                  "'１０００' is not accepted by the pattern '(-?[1-9][0-9]{0,18})?'."},
        Violation{"ZeroWhereZeroIsEmpty",
                  [](const std::string& r) { return Replaced(r, ">3880960<", ">0<"); },
                  "line 24: Element 'KAZEIURIAGEZEIGAKU8': [facet 'pattern'] The value '0' is "
                  "not accepted by the pattern '(-?[1-9][0-9]{0,18})?'."},
        Violation{
            "CodeOutOfRange",
            [](const std::string& r) { return Replaced(r, "<KAZEIKUBUN>1<", "<KAZEIKUBUN>3<"); },
            "line 16: Element 'KAZEIKUBUN': [facet 'enumeration'] The value '3' is not an "
            "element of the set {'1', '2'}."},
        Violation{"EmptyFixedText",
                  [](const std::string& r) { return Replaced(r, ">SY26<", "><"); },
                  "line 4: Element 'GYOUMUPREFIX': [facet 'enumeration'] The value '' is not an "
                  "element of the set {'SY26'}."},
        Violation{"DeclaredUtf8",
                  [](const std::string& r) { return Replaced(r, "Shift_JIS", "UTF-8"); },
                  "line 1: the declared encoding is \"UTF-8\"; a report is Shift_JIS"},
        Violation{"DocumentType",
                  [](const std::string& r) {
                    return Replaced(r, "<REPORT>",
                                    "<!DOCTYPE REPORT [<!ENTITY a \"b\">]>\r\n<REPORT>");
                  },
                  "line 2: a document type declaration; a report has none"},
        Violation{"CutOff", [](const std::string& r) { return r.substr(0, r.find("</DATA>")); },
                  "line 405: Premature end of data in tag DATA line 21"}),
    [](const ::testing::TestParamInfo<Violation>& test) { return test.param.name; });

TEST(ReportReaderTest, ReadsCodePage932TextAsUtf8) {
  // ① and 髙 exist only in code page 932; its 0x8160 is U+FF5E, not U+301C.
  const std::string name = platform::Utf8ToCp932("①髙～");
  ASSERT_EQ(name.size(), 6u);
  std::string report = GoldenReport("sakura");
  const std::size_t start = report.find("<KOMONSAKINAME>") + 15;
  report.replace(start, report.find("</KOMONSAKINAME>") - start, name);
  sheet::ReportContent content;
  sheet::ReportProblem problem;
  ASSERT_TRUE(sheet::ParseReport(report, &content, &problem)) << problem.Text();
  EXPECT_EQ(content.Text("BASIC", "KOMONSAKINAME"), "①髙～");
}

}  // namespace
}  // namespace taxlink
