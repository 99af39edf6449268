// Journal lines from a CSV file named by the data set file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mvhost/lib/DataCsv.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/JournalBalances.h"
#include "tests/support/HostToolHome.h"

namespace {

const char kHead[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 5, "data_id": "C5", "company_name": "Csv Works",
               "period_start": "2014-04-01", "period_end": "2015-03-31"},
  "tax_rates": [8, 5],
  "accounts": [{"code": "111", "name": "Cash", "class": 1},
               {"code": "511", "name": "Sales", "class": 2, "balance_side": "credit"},
               {"code": "611", "name": "Purchases", "class": 3}],
  "departments": [{"code": 10, "name": "Shop"}],
)";

const char kHeader[] =
    "journal,date,month,debit_account,debit_dept,debit_amount,debit_tax,debit_tax_class,"
    "credit_account,credit_dept,credit_amount,credit_tax,credit_tax_class,rate,business_type,"
    "description\n";

class ImportCsvTest : public taxlink_test::HostToolHome {
 protected:
  // Imports a data set whose journals come from `csv` (and `inline` JSON).
  bool Import(const std::string& csv, const std::string& inlineJournals, std::string* error) {
    WriteFile("lines.csv", csv);
    std::string json = std::string(kHead) + inlineJournals + R"("journals_csv": "lines.csv"})";
    std::string path = WriteFile("csv.json", json);
    int32_t no = 0;
    return mvhost::ImportDataSetFile(store_, path, false, &no, error);
  }
};

TEST_F(ImportCsvTest, ReadsLinesAfterInlineJournals) {
  std::string csv = std::string("\xEF\xBB\xBF") + kHeader +
                    "1,2014-04-02,1,111,,1080,,0,511,10,1000,80,1,8,2,\"Sale, \"\"counter\"\"\"\r\n"
                    "2,2014-05-31,2,611,,\"250.5\",20.04,21,111,,270.54,,0,8,,\r\n"
                    "\r\n"
                    "3,2015-03-31,18,,,,,,511,,-5.0001,,1,5,,closing\r\n";
  std::string inlineJournal =
      R"("journals": [{"journal": 9, "date": "2014-04-01", "month": 1,
          "debit": {"account": "111", "amount": 1, "tax_class": 0}}],)";
  std::string error;
  ASSERT_TRUE(Import(csv, inlineJournal, &error)) << error;
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM journal_line"), 4);
  EXPECT_EQ(QueryInt("SELECT journal_no FROM journal_line WHERE line_id = 1"), 9);
  EXPECT_EQ(QueryInt("SELECT journal_no FROM journal_line WHERE line_id = 2"), 1);
  EXPECT_EQ(QueryInt("SELECT credit_dept FROM journal_line WHERE line_id = 2"), 10);
  EXPECT_EQ(QueryInt("SELECT credit_tax FROM journal_line WHERE line_id = 2"), 800000);
  EXPECT_EQ(QueryInt("SELECT business_type FROM journal_line WHERE line_id = 2"), 2);
  EXPECT_EQ(
      QueryInt("SELECT description = 'Sale, \"counter\"' FROM journal_line WHERE line_id = 2"), 1);
  EXPECT_EQ(QueryInt("SELECT debit_amount FROM journal_line WHERE line_id = 3"), 2505000);
  EXPECT_EQ(QueryInt("SELECT debit_tax FROM journal_line WHERE line_id = 3"), 200400);
  EXPECT_EQ(QueryInt("SELECT debit_tax_class FROM journal_line WHERE line_id = 3"), 21);
  EXPECT_EQ(QueryInt("SELECT debit_account IS NULL FROM journal_line WHERE line_id = 4"), 1);
  EXPECT_EQ(QueryInt("SELECT credit_amount FROM journal_line WHERE line_id = 4"), -50001);
  EXPECT_EQ(QueryInt("SELECT month_kind FROM journal_line WHERE line_id = 4"), 18);
  EXPECT_EQ(QueryInt("SELECT tax_rate FROM journal_line WHERE line_id = 4"), 500);
}

TEST_F(ImportCsvTest, ColumnsInAnyOrderAndOptionalColumnsLeftOut) {
  std::string csv =
      "date,journal,month,credit_account,credit_amount,credit_tax_class\n"
      "2014-06-15,4,3,511,300,3\n";
  std::string error;
  ASSERT_TRUE(Import(csv, "", &error)) << error;
  EXPECT_EQ(QueryInt("SELECT credit_amount FROM journal_line"), 3000000);
  EXPECT_EQ(QueryInt("SELECT credit_tax_class FROM journal_line"), 3);
  EXPECT_EQ(QueryInt("SELECT tax_rate FROM journal_line"), 0);
  EXPECT_EQ(QueryInt("SELECT date FROM journal_line"), 20140615);
}

struct CsvRefusal {
  const char* name;
  const char* body;     // the lines after the header
  const char* message;  // after "PATH:"
};

const CsvRefusal kRefusals[] = {
    {"UnknownAccount", "1,2014-04-02,1,111,,1,,0,,,,,,0,,\n2,2014-04-02,1,999,,1,,0,,,,,,0,,\n",
     "3: debit_account: unknown account \"999\""},
    {"BadDate", "1,2014-04-31,1,111,,1,,0,,,,,,0,,\n",
     "2: date: not a date (YYYY-MM-DD): 2014-04-31"},
    {"AmountWithFiveFractionDigits", "1,2014-04-02,1,111,,1.00001,,0,,,,,,0,,\n",
     "2: debit_amount: amount not an integer or a decimal with up to 4 fraction digits: 1.00001"},
    {"AmountWithText", "1,2014-04-02,1,111,,1e3,,0,,,,,,0,,\n",
     "2: debit_amount: amount not an integer or a decimal with up to 4 fraction digits: 1e3"},
    {"AmountPastTheLowestRaw", "1,2014-04-02,1,111,,-922337203685477.5808,,0,,,,,,0,,\n",
     "2: debit_amount: amount too small: -922337203685477.5808"},
    {"UnknownTaxClass", "1,2014-04-02,1,111,,1,,0,511,,1,,29,0,,\n",
     "2: credit_tax_class: unknown tax class 29 (known: 0-11, 21-27, 30-38, 40-46)"},
    {"MonthOfAnotherDate", "1,2014-05-02,1,111,,1,,0,,,,,,0,,\n",
     "2: month: month 1 does not match the date 2014-05-02 (accounting month 2)"},
    {"AmountWithoutAccount", "1,2014-04-02,1,,,100,,0,511,,100,,1,0,,\n",
     "2: debit_account: missing for a side with an amount"},
    {"NoSide", "1,2014-04-02,1,,,,,,,,,,,0,,\n", "2: debit: neither a debit nor a credit side"},
    {"BusinessTypeSeven", "1,2014-04-02,1,111,,1,,0,,,,,,0,7,\n",
     "2: business_type: out of range 0..6: 7"},
    {"MissingJournal", ",2014-04-02,1,111,,1,,0,,,,,,0,,\n", "2: journal: missing"},
    {"BrokenQuote", "1,2014-04-02,1,111,,1,,0,,,,,,0,,\"open\n", "2: broken quoting"},
    {"TooManyFields", "1,2014-04-02,1,111,,1,,0,,,,,,0,,x,y\n", "2: more fields than columns"},
    // Missing cells would become 0 without a word.
    {"FewerFields", "1,2014-04-02,1,111,,1,,0,,,,,,0,,\n2,2014-04-02,1,111,,1,,0,,,,,,0\n",
     "3: 14 fields for 16 columns: missing business_type, description"},
    {"ShiftJisText", "1,2014-04-02,1,111,,1,,0,,,,,,0,,\x8F\xA4\x95\x69\n",
     "2:34: not UTF-8 text (for a Shift_JIS file use --csv-encoding cp932)"},
};

class CsvRefusalTest : public ImportCsvTest, public ::testing::WithParamInterface<CsvRefusal> {};

TEST_P(CsvRefusalTest, RefusesWithFileLineAndColumn) {
  std::string before = Snapshot();
  std::string error;
  EXPECT_FALSE(Import(std::string(kHeader) + GetParam().body, "", &error));
  EXPECT_EQ(error, home_ + "/lines.csv:" + GetParam().message);
  EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ImportCsvTest, RefusesBadHeaders) {
  struct {
    const char* csv;
    const char* message;
  } cases[] = {
      {"journal,date,month,debit_acount\n", "1: debit_acount: unknown column"},
      {"journal,date,journal,month\n", "1: journal: column named twice"},
      {"journal,month,rate\n", "1: date: missing column"},
      {"", "1: the header line is missing"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(Import(c.csv, "", &error));
    EXPECT_EQ(error, home_ + "/lines.csv:" + c.message);
  }
  std::string error;
  std::string path = WriteFile("nocsv.json", std::string(kHead) + R"("journals_csv": "gone.csv"})");
  int32_t no = 0;
  EXPECT_FALSE(mvhost::ImportDataSetFile(store_, path, false, &no, &error));
  EXPECT_EQ(error, home_ + "/gone.csv: cannot open the journal CSV file");
}

// Files as spreadsheet programs in Japan write them: Shift_JIS and CR LF.
TEST_F(ImportCsvTest, ReadsShiftJisFilesWithTheEncodingOption) {
  WriteFile("lines.csv",
            std::string(kHeader) + "1,2014-04-02,1,111,,1,,0,,,,,,0,,\x8F\xA4\x95\x69\r\n");
  std::string json = std::string(kHead) +
                     "\"users\": [{\"id\": \"u\", \"name\": \"\x8C\x6F\x97\x9D\"}],"
                     "\"journals_csv\": \"lines.csv\"}";
  std::string path = WriteFile("csv.json", json);
  mvhost::ImportOptions options;
  mvhost::ImportOutcome outcome;
  std::string error;
  EXPECT_FALSE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error));
  EXPECT_EQ(error, path + ":10:32: not UTF-8 text (for a Shift_JIS file use --encoding cp932)");
  // --encoding cp932: the CSV file takes it too.
  options.jsonEncoding = {mvhost::TextEncoding::kCp932, true};
  options.csvEncoding = {mvhost::TextEncoding::kCp932, false};
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  // 商品 and 経理, stored in UTF-8.
  EXPECT_EQ(QueryInt("SELECT hex(description) = 'E59586E59381' FROM journal_line"), 1);
  EXPECT_EQ(QueryInt("SELECT hex(name) = 'E7B58CE79086' FROM app_user"), 1);
  // A byte that is no Shift_JIS character is named with its line.
  WriteFile("lines.csv", std::string(kHeader) + "1,2014-04-02,1,111,,1,,0,,,,,,0,,\x81\n");
  options.replace = true;
  EXPECT_FALSE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error));
  EXPECT_EQ(error, home_ +
                       "/lines.csv:2:34: not Shift_JIS text (for a UTF-8 file use "
                       "--csv-encoding utf-8)");
}

// A journal whose debit and credit totals (amount + tax of each side)
// differ is a finding that names the CSV line where the journal starts; the
// import goes on. Lines of one journal may lie apart in the file.
TEST_F(ImportCsvTest, FindsJournalsWhoseSidesDiffer) {
  std::string csv = std::string(kHeader) +
                    "1,2014-04-02,1,111,,1080,,0,511,,1000,80,1,8,,\n"
                    "2,2014-04-02,1,611,,500,40,21,,,,,,8,,\n"
                    "\n"
                    "3,2014-04-02,1,111,,10,,0,511,,10.5,,3,8,,\n"
                    "2,2014-04-03,1,,,,,,111,,540,,0,8,,\n";
  std::string path = WriteFile("csv.json", std::string(kHead) + R"("journals_csv": "lines.csv"})");
  WriteFile("lines.csv", csv);
  std::vector<std::string> findings;
  mvhost::ImportOptions options;
  options.finding = [&findings](const mvhost::CheckFinding& f) {
    if (f.rule == mvhost::CheckRule::kUnbalancedJournal) findings.push_back(f.Text());
  };
  mvhost::ImportOutcome outcome;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  EXPECT_EQ(outcome.journalLines, 4);
  const std::string unbalanced =
      ": unbalanced-journal: the debit total 10 and the credit total "
      "10.5 differ by 0.5; correct the lines so that both sides agree";
  EXPECT_EQ(findings, std::vector<std::string>{home_ + "/lines.csv:journal 3/line 5" + unbalanced});
  EXPECT_EQ(outcome.findings.Of(mvhost::CheckRule::kUnbalancedJournal), 1);

  // In journal order the lines are named as they stream by.
  WriteFile("lines.csv", std::string(kHeader) + "3,2014-04-02,1,111,,10,,0,511,,10.5,,3,8,,\n");
  findings.clear();
  options.replace = true;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  EXPECT_EQ(findings, std::vector<std::string>{home_ + "/lines.csv:journal 3/line 2" + unbalanced});

  // More than the streaming check keeps: all of them, from the store, still
  // by their CSV lines.
  csv = kHeader;
  const int count = static_cast<int>(mvhost::JournalBalances::kKept) + 2;
  for (int j = 1; j <= count; ++j)
    csv += std::to_string(j) + ",2014-04-02,1,111,,10,,0,511,,10.5,,3,8,,\n";
  WriteFile("lines.csv", csv);
  findings.clear();
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  ASSERT_EQ(findings.size(), static_cast<size_t>(count));
  EXPECT_EQ(findings.back(), home_ + "/lines.csv:journal " + std::to_string(count) + "/line " +
                                 std::to_string(count + 1) + unbalanced);
  // Wanting the first five, the rest are counted.
  findings.clear();
  options.findingsWanted = 5;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  EXPECT_EQ(findings.size(), 5u);
  EXPECT_EQ(outcome.findings.Of(mvhost::CheckRule::kUnbalancedJournal), count);
}

TEST(CsvRecordTest, Splits) {
  struct {
    const char* record;
    std::vector<std::string> fields;
  } cases[] = {
      {"", {""}},
      {"a,b", {"a", "b"}},
      {"a,,", {"a", "", ""}},
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"\"\"\"", {"\""}},
      {"\"\",x", {"", "x"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> fields;
    EXPECT_TRUE(mvhost::SplitCsvRecord(c.record, &fields)) << c.record;
    EXPECT_EQ(fields, c.fields) << c.record;
  }
  std::vector<std::string> fields;
  for (const char* broken : {"\"a", "\"a\"b", "a\"b"}) {
    EXPECT_FALSE(mvhost::SplitCsvRecord(broken, &fields)) << broken;
  }
}

}  // namespace

namespace {

// The complete example of docs/data-format.md imports as it stands.
TEST_F(ImportCsvTest, DocumentedExampleImports) {
  std::string doc = ReadFile(std::string(TAXLINK_SOURCE_DIR) + "/docs/data-format.md");
  size_t example = doc.find("## A complete example");
  ASSERT_NE(example, std::string::npos);
  size_t jsonStart = doc.find("```json\n", example);
  size_t jsonEnd = doc.find("```\n", jsonStart + 8);
  size_t csvStart = doc.find("```\n", jsonEnd + 4);
  size_t csvEnd = doc.find("```\n", csvStart + 4);
  ASSERT_NE(csvEnd, std::string::npos);
  WriteFile("kaede-journals.csv", doc.substr(csvStart + 4, csvEnd - csvStart - 4));
  std::string path = WriteFile("kaede.json", doc.substr(jsonStart + 8, jsonEnd - jsonStart - 8));
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, false, &no, &error)) << error;
  EXPECT_EQ(no, 11);
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM journal_line"), 5);
  EXPECT_EQ(QueryInt("SELECT debit_amount FROM journal_line WHERE line_id = 2"), 543215000);
}

}  // namespace
