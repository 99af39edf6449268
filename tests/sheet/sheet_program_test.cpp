// taxlink-sheet end to end: the sheets of the example reports byte for byte
// (tests/sheet/golden/, TAXLINK_UPDATE_GOLDEN=1 rewrites them after a change
// that was looked at), the rows a comparison marks, and what it refuses.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "sheet/ElementCatalog.h"
#include "sheet/ReportReader.h"
#include "sheet/WorkedExamples.h"
#include "tests/support/ReportFixtures.h"

namespace taxlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::string Source(const std::string& path) { return std::string(TAXLINK_SOURCE_DIR) + "/" + path; }

struct SheetRun {
  int exitCode = -1;
  std::string out, err;
};

// A folder with copies of the golden reports, each with the same fixed
// modification time, so that a sheet's header is the same on any machine.
class SheetProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"sakura", "sakura-4-9", "midori", "aoba"}) {
      Copy(Source(std::string("tests/app/golden/") + name + ".xml"), std::string(name) + ".xml");
    }
  }

  void Copy(const std::string& from, const std::string& name) {
    WriteBytes(folder_.File(name), ReadBytes(from));
    const utimbuf times{kFixedTime, kFixedTime};
    ASSERT_EQ(::utime(folder_.File(name).c_str(), &times), 0);
  }

  // Runs taxlink-sheet in the folder, in Japan's time zone.
  SheetRun Run(const std::string& args) {
    const std::string command = "cd '" + folder_.path() + "' && TZ=JST-9 '" +
                                std::string(TAXLINK_BINARY_DIR) + "/bin/taxlink-sheet' " + args +
                                " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    SheetRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(folder_.File("out.txt"));
    run.err = ReadBytes(folder_.File("err.txt"));
    return run;
  }

  bool Exists(const std::string& name) { return std::ifstream(folder_.File(name)).good(); }

  static constexpr time_t kFixedTime = 1432098187;  // 2015-05-20 14:03:07 +0900
  TempFolder folder_;
};

struct GoldenCase {
  const char* name;
  const char* args;
  const char* sheet;  // written into the folder
};

class SheetGoldenTest : public SheetProgramTest,
                        public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(SheetGoldenTest, MatchesTheGoldenSheet) {
  const GoldenCase& c = GetParam();
  SheetRun run = Run(c.args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, std::string(c.sheet) + "\n");
  const std::string sheet = ReadBytes(folder_.File(c.sheet));
  const std::string golden = Source(std::string("tests/sheet/golden/") + c.name + ".html");
  if (std::getenv("TAXLINK_UPDATE_GOLDEN") != nullptr) WriteBytes(golden, sheet);
  EXPECT_EQ(sheet, ReadBytes(golden)) << "differs from " << golden;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SheetGoldenTest,
    ::testing::Values(GoldenCase{"sakura", "sakura.xml", "sakura.html"},
                      GoldenCase{"midori", "midori.xml", "midori.html"},
                      GoldenCase{"aoba", "aoba.xml -o aoba-sheet.html", "aoba-sheet.html"},
                      GoldenCase{"sakura-compare", "--compare sakura-4-9.xml sakura.xml",
                                 "sakura.compare.html"}),
    [](const ::testing::TestParamInfo<GoldenCase>& test) {
      std::string name = test.param.name;
      std::erase(name, '-');
      return name;
    });

// The key of the row that shows an element (the sheet's data-key).
std::string RowKey(const std::string& group, const std::string& element) {
  if (group.rfind("D0", 0) == 0) {
    return group.substr(0, group.size() - 1) + "/" + element.substr(0, element.size() - 1);
  }
  const char last = element.back();
  if ((group == "KANPUH" || group == "KANPUK") && (last == '1' || last == '2')) {
    return group + "/" + element.substr(0, element.size() - 1);
  }
  return group + "/" + element;
}

TEST_F(SheetProgramTest, ACompareMarksExactlyTheRowsThatDiffer) {
  ASSERT_EQ(Run("--compare sakura-4-9.xml sakura.xml").exitCode, 0);
  sheet::ReportContent earlier, report;
  sheet::ReportProblem problem;
  ASSERT_TRUE(sheet::ReadReportFile(folder_.File("sakura-4-9.xml"), &earlier, &problem));
  ASSERT_TRUE(sheet::ReadReportFile(folder_.File("sakura.xml"), &report, &problem));
  std::set<std::string> expected;
  for (std::size_t g = 0; g < report.groups.size(); ++g) {
    for (std::size_t e = 0; e < report.groups[g].elements.size(); ++e) {
      if (report.groups[g].elements[e].text != earlier.groups[g].elements[e].text) {
        expected.insert(RowKey(report.groups[g].name, report.groups[g].elements[e].name));
      }
    }
  }
  ASSERT_FALSE(expected.empty());

  const std::string html = ReadBytes(folder_.File("sakura.compare.html"));
  std::set<std::string> marked;
  const std::regex changedRow("<tr data-key=\"([^\"]+)\" class=\"changed\">");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), changedRow);
       it != std::sregex_iterator(); ++it) {
    marked.insert((*it)[1]);
  }
  EXPECT_EQ(marked, expected);
}

struct Refusal {
  const char* name;
  const char* args;
  int exitCode;
  const char* err;
};

class SheetRefusalTest : public SheetProgramTest, public ::testing::WithParamInterface<Refusal> {
 protected:
  void SetUp() override {
    SheetProgramTest::SetUp();
    std::string report = ReadBytes(folder_.File("sakura.xml"));
    report.replace(report.find(">3880960<"), 9, ">3,880,960<");
    WriteBytes(folder_.File("broken.xml"), report);
    WriteBytes(folder_.File("bad.json"), R"({"checked": true, "findings": []})");
  }
};

TEST_P(SheetRefusalTest, SaysWhyAndWritesNothing) {
  const Refusal& r = GetParam();
  SheetRun run = Run(r.args);
  EXPECT_EQ(run.exitCode, r.exitCode);
  EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), r.err);
  EXPECT_EQ(run.out, "");
  for (const char* sheet :
       {"broken.html", "sakura.html", "sakura.compare.html", "midori.compare.html"}) {
    EXPECT_FALSE(Exists(sheet)) << sheet;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SheetRefusalTest,
    ::testing::Values(
        Refusal{"NotValid", "broken.xml", 1,
                "taxlink-sheet: broken.xml is not a valid report: line 24: Element "
                "'KAZEIURIAGEZEIGAKU8': [facet 'pattern'] The value '3,880,960' is not accepted "
                "by the pattern '(-?[1-9][0-9]{0,18})?'.\n"},
        Refusal{"EarlierNotValid", "--compare broken.xml sakura.xml", 1,
                "taxlink-sheet: broken.xml is not a valid report: line 24: Element "
                "'KAZEIURIAGEZEIGAKU8': [facet 'pattern'] The value '3,880,960' is not accepted "
                "by the pattern '(-?[1-9][0-9]{0,18})?'.\n"},
        Refusal{"Missing", "nothing.xml", 1,
                "taxlink-sheet: nothing.xml: cannot be read: No such file or directory\n"},
        Refusal{"OtherCompany", "--compare sakura.xml midori.xml", 1,
                "taxlink-sheet: sakura.xml and midori.xml are reports of different companies; "
                "--force compares them anyway\n"},
        Refusal{"OntoTheReport", "sakura.xml -o sakura.xml", 1,
                "taxlink-sheet: sakura.xml is a report; the sheet is written elsewhere\n"},
        Refusal{"NotFindings", "sakura.xml --findings bad.json", 1,
                "taxlink-sheet: bad.json is not a findings file: a check that was made needs "
                "\"total\", \"counts\" and \"findings\"\n"},
        Refusal{"NoReport", "", 2, "taxlink-sheet: REPORT is required\n"}),
    [](const ::testing::TestParamInfo<Refusal>& test) { return test.param.name; });

// The findings come after the header, their texts escaped; the figures
// after them are the sheet's own.
TEST_F(SheetProgramTest, FindingsFollowTheHeaderEscaped) {
  WriteBytes(folder_.File("f.json"),
             R"([{"place": "data set 1:journal 5/line 9", "source": "data set 1", )"
             R"("rule": "tax-mismatch", "what": "debit <b>611</b> & \"x\"", "todo": "fix"}])");
  SheetRun run = Run("sakura.xml --findings f.json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string html = ReadBytes(folder_.File("sakura.html"));
  EXPECT_NE(html.find("<tr data-key=\"findings/1\"><td>tax-mismatch</td><td>journal 5/line 9</td>"
                      "<td>debit &lt;b&gt;611&lt;/b&gt; &amp; &quot;x&quot;</td><td>fix</td></tr>"),
            std::string::npos)
      << html;
  EXPECT_LT(html.find("id=\"header\""), html.find("id=\"findings\""));
  EXPECT_LT(html.find("id=\"findings\""), html.find("id=\"D02011\""));
  const std::string golden = ReadBytes(Source("tests/sheet/golden/sakura.html"));
  const auto section = [](const std::string& text) {
    const size_t begin = text.find("<div class=\"section\" id=\"findings\">");
    return begin == std::string::npos
               ? text
               : text.substr(0, begin) + text.substr(text.find("</div>\n", begin) + 7);
  };
  EXPECT_EQ(section(html), golden) << "only the findings section was added";
}

TEST_F(SheetProgramTest, ForceComparesOtherCompanies) {
  SheetRun run = Run("--compare sakura.xml midori.xml --force");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(ReadBytes(folder_.File("midori.compare.html")).find("--force で比べています"),
            std::string::npos);
}

TEST_F(SheetProgramTest, PdfWhereTheDesktopBuildHasQt) {
  SheetRun run = Run("midori.xml --pdf midori.pdf");
#ifdef TAXLINK_WITH_SHEET_PDF
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "midori.html\nmidori.pdf\n");
  const std::string pdf = ReadBytes(folder_.File("midori.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  // The font travels with the file: a TrueType program named IPAGothic.
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos);
  EXPECT_NE(pdf.find("IPAGothic"), std::string::npos);
#else
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err,
            "taxlink-sheet: --pdf needs the desktop build (Qt 6, CMake option "
            "TAXLINK_DESKTOP_UI); this program was built without it\n");
  EXPECT_FALSE(Exists("midori.html"));
#endif
}

TEST(ElementCatalogTest, DocsReportElementsIsCurrent) {
  const std::string path = Source("docs/report-elements.md");
  // The worked examples come from sakura's golden trace, which the example
  // run keeps current (tests/app/example_reports_test.cpp).
  const std::string page =
      sheet::ElementCatalogMarkdown() +
      sheet::WorkedExamplesMarkdown(ReadBytes(Source("tests/app/golden/sakura.trace.json")));
  if (std::getenv("TAXLINK_UPDATE_GOLDEN") != nullptr) WriteBytes(path, page);
  EXPECT_EQ(ReadBytes(path), page)
      << "regenerate with TAXLINK_UPDATE_GOLDEN=1 (or taxlink-sheet --elements --trace "
         "tests/app/golden/sakura.trace.json)";
}

}  // namespace
}  // namespace taxlink
