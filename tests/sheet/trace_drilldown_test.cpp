// taxlink-sheet --trace: a figure's entry totals its lines by tax class and
// month, shows the first lines and links the full list of the rest, the
// figure's cell links to it, and a trace of another report is refused.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <string>

#include <nlohmann/json.hpp>

#include "sheet/TraceDrillDown.h"
#include "tests/support/ReportFixtures.h"
#include "trace/Sha256.h"

namespace taxlink {
namespace {

using json = nlohmann::ordered_json;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class TraceDrillDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = ReadBytes(std::string(TAXLINK_SOURCE_DIR) + "/tests/app/golden/sakura.xml");
    WriteBytes(folder_.File("sakura.xml"), report_);
  }

  // A trace of sakura.xml whose taxable sales at 8 % are `lines` lines of
  // 1.5 yen each, alternating between months 1 and 2 and classes 1 and 6.
  // The figure is named in the group of `group`.
  json Trace(int lines, const std::string& sha256, const std::string& group = "D020110") {
    json figure{{"element", "KAZEIURIAGEZEINUKI8"},
                {"section", "DATA"},
                {"group", group},
                {"value", 48512000},
                {"raw", "48512000.0000"},
                {"rounding", "toward_zero"},
                {"count", lines},
                {"contributions", json::array()}};
    json table = json::array();
    for (int i = 0; i < lines; ++i) {
      table.push_back(
          {i + 1, i + 1, 20140405, 1 + i % 2, 12, 0, i % 2 == 0 ? 1 : 6, 800, 0, 0, 15000, 1200});
      figure["contributions"].push_back({i, 0, 15000});
    }
    return json{{"report", {{"sha256", sha256}}},
                {"accounts", {{{"id", 12}, {"code", "511"}, {"name", "売上高"}}}},
                {"lines", table},
                {"figures", json::array({figure})}};
  }

  std::string Trail(const std::string& sheet, const std::string& id) {
    const std::size_t entry = sheet.find("<details class=\"section\" id=\"" + id + "\">");
    if (entry == std::string::npos) return "";
    return sheet.substr(entry, sheet.find("</details>", entry) - entry);
  }

  int Run(const json& trace, std::string* err) {
    WriteBytes(folder_.File("trace.json"), trace.dump());
    const std::string command =
        "cd '" + folder_.path() + "' && '" + std::string(TAXLINK_BINARY_DIR) +
        "/bin/taxlink-sheet' --trace trace.json sakura.xml >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    *err = ReadBytes(folder_.File("err.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int Count(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern);
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
  }

  std::string report_;
  TempFolder folder_;
};

TEST_F(TraceDrillDownTest, AFigureOpensOnItsTotalsFirstLinesAndFullList) {
  std::string err;
  const int lines = sheet::kTrailLinesShown + 50;
  ASSERT_EQ(Run(Trace(lines, Sha256Hex(report_)), &err), 0) << err;
  const std::string sheet = ReadBytes(folder_.File("sakura.html"));
  const std::string id = "trace-D020110-KAZEIURIAGEZEINUKI8";
  EXPECT_NE(sheet.find("<a href=\"#" + id + "\" onclick=\"document.getElementById('" + id +
                       "').open=true\">48,512,000</a>"),
            std::string::npos);
  const std::string trail = Trail(sheet, id);
  ASSERT_NE(trail, "");
  // 125 lines of 1.5 yen per class and per month.
  EXPECT_EQ(Count(trail, "<td class=\"num\">187.5</td>"), 4);
  // The classes named as the sheet's tables name figures.
  EXPECT_NE(trail.find("<td class=\"label\">1 課税売上</td>"), std::string::npos);
  EXPECT_NE(trail.find("<td class=\"label\">6 課税売上の返還等</td>"), std::string::npos);
  EXPECT_EQ(Count(trail, "<tr data-key=\"line/"), sheet::kTrailLinesShown);
  // A line's side and the amount it took, from their codes.
  EXPECT_EQ(Count(trail, "<td>貸方</td>"), sheet::kTrailLinesShown);
  EXPECT_EQ(Count(trail, "<td>税抜</td>"), sheet::kTrailLinesShown);
  EXPECT_NE(trail.find("ほか 50 件"), std::string::npos);
  const std::string full = ReadBytes(folder_.File("sakura.trace/D020110-KAZEIURIAGEZEINUKI8.html"));
  EXPECT_NE(trail.find("href=\"sakura.trace/D020110-KAZEIURIAGEZEINUKI8.html\""),
            std::string::npos);
  EXPECT_EQ(Count(full, "<tr><td>"), lines);
  EXPECT_EQ(full.find("のほか"), std::string::npos);
}

TEST_F(TraceDrillDownTest, AFullListStopsAtItsBoundAndNamesWhereTheRestAre) {
  std::string err;
  const int lines = sheet::kFullListRows + 7;
  ASSERT_EQ(Run(Trace(lines, Sha256Hex(report_)), &err), 0) << err;
  const std::string full = ReadBytes(folder_.File("sakura.trace/D020110-KAZEIURIAGEZEINUKI8.html"));
  EXPECT_EQ(Count(full, "<tr><td>"), sheet::kFullListRows);
  EXPECT_NE(full.find("<p>先頭 2000 件のほか 7 件は トレース trace.json の figures の "
                      "KAZEIURIAGEZEINUKI8（D020110）の contributions にあります。</p>"),
            std::string::npos);
  const std::string trail =
      Trail(ReadBytes(folder_.File("sakura.html")), "trace-D020110-KAZEIURIAGEZEINUKI8");
  EXPECT_NE(trail.find("先頭 2000 件の一覧（全 2007 件）"), std::string::npos);
  // The totals still take every line: 1004 and 1003 lines of 1.5 yen.
  EXPECT_EQ(Count(trail, "<td class=\"num\">1,506</td>"), 2);
  EXPECT_EQ(Count(trail, "<td class=\"num\">1,504.5</td>"), 2);
}

TEST_F(TraceDrillDownTest, AFigureMadeOfOtherFiguresTotalsTheirLines) {
  // The 8 % taxable sales of D020110 are the unclassified part in D020210.
  json trace = Trace(4, Sha256Hex(report_), "D020210");
  trace["figures"][0]["element"] = "KAZEIURIAGEZEROZEINUKI8";
  json total = trace["figures"][0];
  total["element"] = "KAZEIURIAGEZEINUKI8";
  total["group"] = "D020110";
  total["count"] = 1;
  total["contributions"] = {{{"kind", "figure"},
                             {"amount", "6.0000"},
                             {"section", "DATA"},
                             {"group", "D020210"},
                             {"element", "KAZEIURIAGEZEROZEINUKI8"}}};
  trace["figures"].insert(trace["figures"].begin(), total);
  std::string err;
  ASSERT_EQ(Run(trace, &err), 0) << err;
  const std::string trail =
      Trail(ReadBytes(folder_.File("sakura.html")), "trace-D020110-KAZEIURIAGEZEINUKI8");
  // The part's totals by class and month (two lines of 1.5 yen each), and
  // the part itself linked.
  EXPECT_EQ(Count(trail, "<td class=\"num\">3</td>"), 4) << trail;
  EXPECT_EQ(trail.find("<td class=\"label\">内訳項目</td>"), std::string::npos);
  EXPECT_NE(trail.find("href=\"#trace-D020210-KAZEIURIAGEZEROZEINUKI8\""), std::string::npos);
}

TEST_F(TraceDrillDownTest, ATraceOfAnotherReportIsRefused) {
  std::string err;
  const std::string other(64, 'a');
  EXPECT_EQ(Run(Trace(1, other), &err), 1);
  EXPECT_EQ(err, "taxlink-sheet: trace.json is the trace of another report (SHA-256 " + other +
                     ", the report's is " + Sha256Hex(report_) + ")\n");
  EXPECT_EQ(ReadBytes(folder_.File("sakura.html")), "");
}

TEST_F(TraceDrillDownTest, ContributionsBeforeTheirFigureAreRefused) {
  // Read in one pass, lines ahead of the figure's name could not be listed.
  json trace = Trace(1, Sha256Hex(report_));
  json& figure = trace["figures"][0];
  json reordered{{"contributions", figure["contributions"]}};
  for (const auto& [key, value] : figure.items()) {
    if (key != "contributions") reordered[key] = value;
  }
  figure = reordered;
  std::string err;
  EXPECT_EQ(Run(trace, &err), 1);
  EXPECT_EQ(err,
            "taxlink-sheet: trace.json is not a trace: a figure's contributions come before "
            "its element\n");
}

TEST_F(TraceDrillDownTest, ALineOutsideTheLineTableIsRefused) {
  json trace = Trace(2, Sha256Hex(report_));
  trace["figures"][0]["contributions"][1][0] = 2;
  std::string err;
  EXPECT_EQ(Run(trace, &err), 1);
  EXPECT_EQ(err,
            "taxlink-sheet: trace.json is not a trace: the line contribution [2,0,15000] does not "
            "name a row of the line table before it\n");
}

}  // namespace
}  // namespace taxlink
