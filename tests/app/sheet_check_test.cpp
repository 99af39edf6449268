// The sheet's check made in the mvhost process gives what the findings file
// gives once read back: the same rows, counts, errors and the same findings
// handed to the caller, for texts that are not UTF-8 as well.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "mvhost/cli/SheetCheck.h"
#include "sheet/FindingsFile.h"
#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SheetFindingsJson.h"

namespace taxlink::testing {
namespace {

class SheetCheckTest : public ProgramRunTest {};

void ExpectSame(const sheet::CheckFindings& made, const sheet::CheckFindings& read) {
  EXPECT_EQ(made.checked, read.checked);
  EXPECT_EQ(made.error, read.error);
  EXPECT_EQ(made.dataSet, read.dataSet);
  EXPECT_EQ(made.startMonth, read.startMonth);
  EXPECT_EQ(made.endMonth, read.endMonth);
  EXPECT_EQ(made.total, read.total);
  EXPECT_EQ(made.counts, read.counts);
  ASSERT_EQ(made.rows.size(), read.rows.size());
  for (size_t i = 0; i < made.rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(made.rows[i].rule, read.rows[i].rule);
    EXPECT_EQ(made.rows[i].place, read.rows[i].place);
    EXPECT_EQ(made.rows[i].what, read.rows[i].what);
    EXPECT_EQ(made.rows[i].todo, read.rows[i].todo);
  }
}

TEST_F(SheetCheckTest, GivesWhatTheFindingsFileGives) {
  const std::string mvhost = "MVHOST_HOME='" + host_.Home() + "' '" + BinaryFolder() + "/mvhost' ";
  ASSERT_EQ(std::system((mvhost + "init >/dev/null").c_str()), 0);
  ASSERT_EQ(
      std::system((mvhost + "import --warnings none --csv-encoding cp932 '" + TAXLINK_SOURCE_DIR +
                   "/examples/bookkeeping-mistakes/hinoki.json' >/dev/null")
                      .c_str()),
      0);
  // Names and codes the store holds as bytes that are not UTF-8.
  host_.Exec("UPDATE account SET code = code || CAST(x'FF' AS TEXT), name = CAST(x'41C3' AS TEXT)");
  host_.Exec("UPDATE fixed_asset SET name = CAST(x'E3810042' AS TEXT)");

  struct Case {
    std::string home;
    int32_t dataNo;
    int start, end;
    size_t listed, wanted;  // wanted: how many findings `each` takes
  };
  const std::vector<Case> cases = {
      {host_.Home(), 7, 4, 3, mvhost::kSheetListedFindings, 1000},
      {host_.Home(), 7, 4, 3, 2, 5},     // more wanted than listed
      {host_.Home(), 7, 7, 9, 3, 1},     // fewer
      {host_.Home(), 7, 9, 4, 200, 10},  // months across the period's end
      {host_.Home(), 99, 4, 3, 200, 10},
      {host_.Home() + "/nothing", 7, 4, 3, 200, 10},
      {host_.Home(), 7, 13, 3, 200, 10},  // not a calendar month
  };
  bool replaced = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.dataNo) + " " + std::to_string(c.start) + "-" +
                 std::to_string(c.end) + " in " + c.home);
    auto each = [](size_t wanted, std::vector<std::string>* seen) {
      return [wanted, seen](const mvhost::CheckFinding& finding) {
        seen->push_back(finding.Text());
        return seen->size() < wanted;
      };
    };
    std::vector<std::string> seenByFile, seenHere;
    sheet::CheckFindings read;
    std::string readError;
    const bool readable =
        sheet::ParseFindings(mvhost::DataSetFindingsJson(c.home, c.dataNo, c.start, c.end, c.listed,
                                                         each(c.wanted, &seenByFile)),
                             &read, &readError);

    mvhost::SheetCheckRequest request;
    request.dataNo = c.dataNo;
    request.startMonth = c.start;
    request.endMonth = c.end;
    request.listed = c.listed;
    request.each = each(c.wanted, &seenHere);
    sheet::CheckFindings made;
    std::string error;
    ASSERT_EQ(mvhost::SheetCheck(c.home, request, &made, &error), readable) << readError;
    if (!readable) {
      EXPECT_EQ(error, readError);
      continue;
    }
    ExpectSame(made, read);
    EXPECT_EQ(seenHere, seenByFile);
    for (const sheet::FindingRow& row : made.rows) {
      replaced = replaced || row.what.find("\xEF\xBF\xBD") != std::string::npos;
    }
  }
  EXPECT_TRUE(replaced) << "no finding carried a text that is not UTF-8";
}

}  // namespace
}  // namespace taxlink::testing
