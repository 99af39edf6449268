// The encodings of the data set file and its CSV file, each on its own.
#include <gtest/gtest.h>

#include <string>

#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataImport.h"
#include "platform/text/Encoding.h"
#include "tests/support/HostToolHome.h"

namespace {

using mvhost::FileEncoding;
using mvhost::TextEncoding;

// "株式会社" in UTF-8 and in Shift_JIS, and the UTF-8 bytes read as
// Shift_JIS ("譬ｪ蠑丈ｼ夂､ｾ").
const char kUtf8Name[] = "\xE6\xA0\xAA\xE5\xBC\x8F\xE4\xBC\x9A\xE7\xA4\xBE";
const char kSjisName[] = "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0";
const char kMisread[] =
    "\xE8\xAD\xAC\xEF\xBD\xAA\xE8\xA0\x91\xE4\xB8\x88\xEF\xBD\xBC\xE5\xA4\x82\xEF\xBD\xA4\xEF"
    "\xBD\xBE";
const char kBom[] = "\xEF\xBB\xBF";

// The company name starts at line 2, column 31; the description of the
// CSV line at line 2, column 34.
std::string JsonWith(const std::string& name) {
  return "{\"format\": \"mvhost-data-1\",\n\"data_set\": {\"company_name\": \"" + name +
         "\", \"data_no\": 4, \"data_id\": \"E4\",\n"
         "  \"period_start\": \"2014-04-01\", \"period_end\": \"2015-03-31\"},\n"
         "\"accounts\": [{\"code\": \"111\", \"name\": \"Cash\", \"class\": 1}],\n"
         "\"journals_csv\": \"lines.csv\"}";
}
std::string CsvWith(const std::string& description) {
  return "journal,date,month,debit_account,debit_dept,debit_amount,debit_tax,debit_tax_class,"
         "credit_account,credit_dept,credit_amount,credit_tax,credit_tax_class,rate,"
         "business_type,description\n1,2014-04-02,1,111,,1,,0,,,,,,0,," +
         description + "\n";
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) hex += std::string{kDigits[c >> 4], kDigits[c & 15]};
  return hex;
}

class ImportEncodingTest : public taxlink_test::HostToolHome {};

TEST_F(ImportEncodingTest, EachFileInItsOwnEncoding) {
  const std::string ambiguity = std::string(": read as Shift_JIS, but the file is UTF-8 text: \"") +
                                kUtf8Name + "\" would be read as \"" + kMisread + "\" (use ";
  struct {
    const char* name;
    std::string json;
    std::string csv;
    FileEncoding jsonEncoding;
    FileEncoding csvEncoding;
    std::string error;  // after the folder; empty: imported with both texts as kUtf8Name
  } cases[] = {
      // A UTF-8 file written by hand beside a spreadsheet's Shift_JIS file.
      {"UnicodeJsonShiftJisCsv",
       JsonWith(kUtf8Name),
       CsvWith(kSjisName),
       {TextEncoding::kUtf8, false},
       {TextEncoding::kCp932, true},
       ""},
      {"BothShiftJis",
       JsonWith(kSjisName),
       CsvWith(kSjisName),
       {TextEncoding::kCp932, true},
       {TextEncoding::kCp932, false},
       ""},
      // A byte-order mark says UTF-8 whatever was given.
      {"MarkedFilesGivenShiftJis",
       kBom + JsonWith(kUtf8Name),
       kBom + CsvWith(kUtf8Name),
       {TextEncoding::kCp932, true},
       {TextEncoding::kCp932, true},
       ""},
      // The CSV file takes the JSON file's option but is UTF-8.
      {"UnicodeCsvTakingTheJsonOption",
       JsonWith("Kiri"),
       CsvWith(kUtf8Name),
       {TextEncoding::kCp932, true},
       {TextEncoding::kCp932, false},
       "/lines.csv:2:34" + ambiguity +
           "--csv-encoding utf-8 for a UTF-8 file, or --csv-encoding cp932 to read it as "
           "Shift_JIS all the same)"},
      {"UnicodeJsonNotGivenShiftJis",
       JsonWith(kUtf8Name),
       CsvWith("x"),
       {TextEncoding::kCp932, false},
       {TextEncoding::kUtf8, false},
       "/e.json:2:31" + ambiguity +
           "--encoding utf-8 for a UTF-8 file, or --encoding cp932 to read it as Shift_JIS all "
           "the same)"},
      {"JsonNotShiftJis",
       JsonWith("\x81"),
       CsvWith("x"),
       {TextEncoding::kCp932, true},
       {TextEncoding::kUtf8, false},
       "/e.json:2:31: not Shift_JIS text (for a UTF-8 file use --encoding utf-8)"},
      {"JsonNotUtf8",
       JsonWith(kSjisName),
       CsvWith("x"),
       {TextEncoding::kUtf8, false},
       {TextEncoding::kUtf8, false},
       "/e.json:2:31: not UTF-8 text (for a Shift_JIS file use --encoding cp932)"},
      {"CsvNotShiftJis",
       JsonWith("Kiri"),
       CsvWith("ab\x81"),
       {TextEncoding::kUtf8, false},
       {TextEncoding::kCp932, true},
       "/lines.csv:2:36: not Shift_JIS text (for a UTF-8 file use --csv-encoding utf-8)"},
      {"CsvNotUtf8",
       JsonWith("Kiri"),
       CsvWith(kSjisName),
       {TextEncoding::kCp932, true},
       {TextEncoding::kUtf8, true},
       "/lines.csv:2:34: not UTF-8 text (for a Shift_JIS file use --csv-encoding cp932)"},
  };
  for (const auto& c : cases) {
    std::string path = WriteFile("e.json", c.json);
    WriteFile("lines.csv", c.csv);
    mvhost::ImportOptions options;
    options.replace = true;
    options.jsonEncoding = c.jsonEncoding;
    options.csvEncoding = c.csvEncoding;
    mvhost::ImportOutcome outcome;
    std::string error;
    const bool imported = mvhost::ImportDataSetFile(store_, path, options, &outcome, &error);
    if (!c.error.empty()) {
      EXPECT_FALSE(imported) << c.name;
      EXPECT_EQ(error, home_ + c.error) << c.name;
      continue;
    }
    ASSERT_TRUE(imported) << c.name << ": " << error;
    if (c.json.find("Kiri") == std::string::npos) {
      EXPECT_EQ(QueryInt("SELECT hex(company_name) = '" + Hex(kUtf8Name) + "' FROM data_set"), 1)
          << c.name;
    }
    EXPECT_EQ(QueryInt("SELECT hex(description) = '" + Hex(kUtf8Name) + "' FROM journal_line"), 1)
        << c.name;
  }
}

TEST(TextEncodingNameTest, NamesAndAliases) {
  struct {
    const char* name;
    bool known;
    TextEncoding encoding;
  } cases[] = {
      {"utf-8", true, TextEncoding::kUtf8},
      {"UTF-8", true, TextEncoding::kUtf8},
      {"utf8", true, TextEncoding::kUtf8},
      {"cp932", true, TextEncoding::kCp932},
      {"Shift_JIS", true, TextEncoding::kCp932},
      {"sjis", true, TextEncoding::kCp932},
      {"Windows-31J", true, TextEncoding::kCp932},
      {"euc-jp", false, TextEncoding::kUtf8},
      {"", false, TextEncoding::kUtf8},
      {"utf-88", false, TextEncoding::kUtf8},
  };
  for (const auto& c : cases) {
    TextEncoding encoding = TextEncoding::kUtf8;
    EXPECT_EQ(mvhost::ParseTextEncoding(c.name, &encoding), c.known) << c.name;
    EXPECT_EQ(encoding, c.encoding) << c.name;
  }
}

// The standard-taxation example in Shift_JIS imports to the very data set
// its UTF-8 files give.
TEST_F(ImportEncodingTest, ShiftJisFilesGiveTheSameDataSet) {
  const std::string folder = std::string(TAXLINK_SOURCE_DIR) + "/examples/standard-corporation/";
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, folder + "sakura.json", false, &no, &error))
      << error;
  std::string fromUtf8;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, no, &fromUtf8, &error)) << error;

  std::string json = ReadFile(folder + "sakura.json");
  std::string sjisJson;
  ASSERT_TRUE(platform::TryUtf8ToCp932(json, &sjisJson));
  std::string sjisCsv;
  ASSERT_TRUE(platform::TryUtf8ToCp932(ReadFile(folder + "journals.csv"), &sjisCsv));
  ASSERT_NE(sjisCsv, ReadFile(folder + "journals.csv"));
  std::string path = WriteFile("sakura.json", sjisJson);
  WriteFile("journals.csv", sjisCsv);
  mvhost::ImportOptions options;
  options.replace = true;
  options.jsonEncoding = {TextEncoding::kCp932, true};
  options.csvEncoding = {TextEncoding::kCp932, false};
  mvhost::ImportOutcome outcome;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, options, &outcome, &error)) << error;
  std::string fromShiftJis;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, no, &fromShiftJis, &error)) << error;
  EXPECT_EQ(fromShiftJis, fromUtf8);
}

}  // namespace
