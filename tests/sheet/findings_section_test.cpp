// The findings file as the sheet reads it, and the section it makes: what
// a malformed file is refused for, and that "no findings", "not checked"
// and a cut-off list each read as what they are.

#include "sheet/FindingsSection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/FindingsFile.h"

namespace taxlink::sheet {
namespace {

TEST(FindingsFileTest, RefusesWhatIsNotAFindingsFile) {
  const struct {
    const char* json;
    const char* error;
  } cases[] = {
      {"{", "not JSON"},
      {R"({"total": 0})", "neither a list of findings nor an object with \"checked\""},
      {R"([{"rule": "tax-mismatch", "place": "x", "what": "w"}])",
       "finding 1 is not an object with the texts rule, place, what and todo"},
      {R"({"checked": false})", "a check that was not made needs its \"error\""},
      {R"({"checked": true, "months": "13-3", "total": 0, "counts": {}, "findings": []})",
       "\"months\" is not two calendar months as \"4-3\""},
      {R"({"checked": true, "total": 2, "counts": {"tax-mismatch": 1}, "findings": []})",
       "the counts per rule do not add up to \"total\", or more findings are listed"},
      {R"({"checked": true, "total": 0, "counts": {}, "findings": [)"
       R"({"rule": "r", "place": "p", "what": "w", "todo": "t"}]})",
       "the counts per rule do not add up to \"total\", or more findings are listed"},
      {R"({"checked": true, "total": 1, "counts": {"r": 0}, "findings": []})",
       "the count of r is not a positive number"},
  };
  for (const auto& c : cases) {
    CheckFindings findings;
    std::string error;
    EXPECT_FALSE(ParseFindings(c.json, &findings, &error)) << c.json;
    EXPECT_EQ(error, c.error) << c.json;
  }
}

struct SectionText {
  std::vector<std::string> notes;
  std::vector<std::vector<std::string>> rows;  // the cells of every table's rows
  std::vector<std::string> tableNotes;
};

SectionText TextOf(const std::string& json) {
  CheckFindings findings;
  std::string error;
  EXPECT_TRUE(ParseFindings(json, &findings, &error)) << error;
  const Section section = FindingsSection(findings);
  SectionText text{section.notes, {}, {}};
  for (const Table& table : section.tables) {
    for (const Row& row : table.rows) {
      text.rows.emplace_back();
      for (const Cell& cell : row.cells) text.rows.back().push_back(cell.text);
    }
    if (!table.note.empty()) text.tableNotes.push_back(table.note);
  }
  return text;
}

TEST(FindingsSectionTest, NoFindingsAndNoCheckAreSaidAsSuch) {
  SectionText none = TextOf(
      R"({"data_set": 7, "months": "4-9", "checked": true, "total": 0, "counts": {}, "findings": []})");
  EXPECT_EQ(none.notes.at(0), "指摘はありません（データ 7、4月～9月）。");
  EXPECT_TRUE(none.rows.empty());

  SectionText failed =
      TextOf(R"({"months": "4-3", "checked": false, "error": "the store holds no data set"})");
  EXPECT_EQ(failed.notes.at(0),
            "帳簿のチェックができませんでした（4月～3月）: the store holds no data set");
  EXPECT_TRUE(failed.rows.empty());
}

TEST(FindingsSectionTest, CountsPerRuleAndOneRowPerFinding) {
  // The list of `mvhost check --json`: counted in the order the rules come.
  const std::string a = R"({"place": "data set 1:journal 2/line 2", "source": "data set 1", )"
                        R"("rule": "tax-mismatch", "what": "w1", "todo": "t1"})";
  const std::string b = R"({"place": "data set 1:fixed asset K1", "source": "data set 1", )"
                        R"("rule": "asset-not-booked", "what": "w2", "todo": "t2"})";
  SectionText list = TextOf("[" + a + "," + b + "," + a + "]");
  EXPECT_EQ(list.notes.at(0).substr(0, list.notes.at(0).find("。")), "指摘 3 件");
  const std::vector<std::vector<std::string>> rows = {
      {"tax-mismatch", "2"},
      {"asset-not-booked", "1"},
      {"tax-mismatch", "journal 2/line 2", "w1", "t1"},
      {"asset-not-booked", "fixed asset K1", "w2", "t2"},
      {"tax-mismatch", "journal 2/line 2", "w1", "t1"},
  };
  EXPECT_EQ(list.rows, rows);
  EXPECT_TRUE(list.tableNotes.empty());

  // More findings than listed: the counts are the file's, and the sheet
  // says where to see them all.
  SectionText cut =
      TextOf(R"({"data_set": 1, "months": "10-3", "checked": true, "total": 5, )"
             R"("counts": {"tax-mismatch": 4, "asset-not-booked": 1}, "findings": [)" +
             a + "]}");
  EXPECT_EQ(cut.notes.at(0).substr(0, cut.notes.at(0).find("。")),
            "指摘 5 件（データ 1、10月～3月）");
  EXPECT_EQ(cut.rows.at(0), (std::vector<std::string>{"tax-mismatch", "4"}));
  EXPECT_EQ(cut.rows.size(), 3u);
  EXPECT_EQ(cut.tableNotes,
            std::vector<std::string>{"最初の 1 件を表示（全件は mvhost check 1 --months 10-3）"});
}

}  // namespace
}  // namespace taxlink::sheet
