// Export: the canonical text, the import-export round trip of the demo data
// sets byte for byte, the saved-return image and the default data set.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/DataImport.h"
#include "mvhost/lib/DataSavedReturn.h"
#include "tests/support/HostToolHome.h"

namespace {

using Json = nlohmann::ordered_json;

struct ExampleCase {
  const char* file;  // under examples/
  int32_t dataNo;
};

const ExampleCase kExamples[] = {
    {"standard-corporation/sakura.json", 1},
    {"simplified-corporation/midori.json", 2},
    {"individual/aoba.json", 3},
};

size_t CsvRows(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines - 1;  // the header
}

class ExampleRoundTripTest : public taxlink_test::HostToolHome,
                             public ::testing::WithParamInterface<ExampleCase> {};

TEST_P(ExampleRoundTripTest, ImportExportImportExportIsIdentical) {
  const ExampleCase& c = GetParam();
  std::string path = std::string(TAXLINK_SOURCE_DIR) + "/examples/" + c.file;
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(store_, path, false, &no, &error)) << error;
  EXPECT_EQ(no, c.dataNo);
  std::string first;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, no, &first, &error)) << error;

  // The export carries every journal line of the CSV file inline.
  Json exported = Json::parse(first);
  std::string csv = ReadFile(path.substr(0, path.rfind('/')) + "/journals.csv");
  EXPECT_EQ(exported["journals"].size(), CsvRows(csv));
  EXPECT_FALSE(exported.contains("journals_csv"));

  // Into a second, fresh store, and back out.
  mvhost::HostStore second;
  ASSERT_TRUE(second.Create(home_ + "/second", &error)) << error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(second, WriteFile("first.json", first), false, &no, &error))
      << error;
  std::string again;
  ASSERT_TRUE(mvhost::ExportDataSet(second, no, &again, &error)) << error;
  EXPECT_EQ(again, first);

  // Replacing the data set with its own export changes nothing but the
  // time of its import.
  ASSERT_TRUE(store_.Exec("UPDATE data_set SET imported_at = 0;", &error)) << error;
  std::string before = Snapshot();
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, first, "first.json", home_, true, &no, &error));
  EXPECT_GT(QueryInt("SELECT imported_at FROM data_set"), 0);
  ASSERT_TRUE(store_.Exec("UPDATE data_set SET imported_at = 0;", &error)) << error;
  EXPECT_EQ(Snapshot(), before);
}

// The lines in a CSV file beside the text: the same bytes come back, in
// both files, and as the inline text.
TEST_P(ExampleRoundTripTest, WithTheLinesInACsvFileTheSameBytesComeBack) {
  const ExampleCase& c = GetParam();
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetFile(
      store_, std::string(TAXLINK_SOURCE_DIR) + "/examples/" + c.file, false, &no, &error))
      << error;
  std::string inlineText;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, no, &inlineText, &error)) << error;
  const mvhost::ExportOptions options{home_ + "/lines.csv", "lines.csv"};
  std::ostringstream first;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, no, options, first, &error)) << error;
  Json exported = Json::parse(first.str());
  EXPECT_EQ(exported["journals"], Json::array());
  EXPECT_EQ(exported["journals_csv"], "lines.csv");

  mvhost::HostStore second;
  ASSERT_TRUE(second.Create(home_ + "/second", &error)) << error;
  ASSERT_TRUE(
      mvhost::ImportDataSetFile(second, WriteFile("first.json", first.str()), false, &no, &error))
      << error;
  std::string again;
  ASSERT_TRUE(mvhost::ExportDataSet(second, no, &again, &error)) << error;
  EXPECT_EQ(again, inlineText);
  std::ostringstream json;
  ASSERT_TRUE(
      mvhost::ExportDataSet(second, no, {home_ + "/second/lines.csv", "lines.csv"}, json, &error))
      << error;
  EXPECT_EQ(json.str(), first.str());
  EXPECT_EQ(ReadFile(home_ + "/second/lines.csv"), ReadFile(home_ + "/lines.csv"));
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleRoundTripTest, ::testing::ValuesIn(kExamples));

using ExportTest = taxlink_test::HostToolHome;

const char kSmall[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 4, "data_id": "S4", "company_name": "Small",
               "period_start": "2014-01-21", "period_end": "2015-01-20"},
  "tax_rates": [8, 5],
  "accounts": [{"code": "1", "name": "Cash", "class": 16},
               {"code": "2", "name": "Sales", "class": "0x60880000", "balance_side": "credit"}],
  "journals": [
    {"journal": 1, "date": "2014-02-20", "month": 1,
     "debit": {"account": "1", "amount": "-0.0001", "tax_class": 0}, "rate": 0},
    {"journal": 1, "date": "2014-02-21", "month": 2,
     "credit": {"account": "2", "amount": "1000.2500", "tax": "80.02", "tax_class": 1},
     "rate": 5, "business_type": 6, "description": "a \"quoted\" text"}],
  "saved_return": {"taxation_method": 2, "period_start": "2014-01-21", "period_end": null,
                   "refund_amounts": [1, "2.5"], "amounts": {"12515": -3},
                   "bytes": {"100": "0a0b", "15359": "ff"}}
})";

// Fields written in canonical form: fractions as text without trailing zeros,
// whole yen as numbers, absent sides and defaults left out, classes in hex.
TEST_F(ExportTest, CanonicalForm) {
  int32_t no = 0;
  std::string error, text;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kSmall, "s.json", home_, false, &no, &error))
      << error;
  ASSERT_TRUE(mvhost::ExportDataSet(store_, 4, &text, &error)) << error;
  Json j = Json::parse(text);
  EXPECT_EQ(j["accounts"][0]["class"], "0x00000010");
  EXPECT_EQ(j["accounts"][0]["balance_side"], "debit");
  EXPECT_EQ(j["journals"][0]["debit"]["amount"], "-0.0001");
  EXPECT_FALSE(j["journals"][0].contains("credit"));
  EXPECT_FALSE(j["journals"][0].contains("business_type"));
  EXPECT_EQ(j["journals"][1]["credit"]["amount"], "1000.25");
  EXPECT_EQ(j["journals"][1]["credit"]["tax"], "80.02");
  EXPECT_EQ(j["journals"][1]["business_type"], 6);
  EXPECT_EQ(j["journals"][1]["description"], "a \"quoted\" text");
  EXPECT_EQ(j["saved_return"]["period_end"], nullptr);
  EXPECT_EQ(j["saved_return"]["refund_amounts"][1], "2.5");
  EXPECT_EQ(j["saved_return"]["refund_amounts"][15], 0);
  EXPECT_EQ(j["saved_return"]["amounts"]["12515"], -3);
  EXPECT_EQ(j["saved_return"]["bytes"]["100"], "0a0b");
  EXPECT_EQ(j["saved_return"]["bytes"]["15359"], "ff");
  EXPECT_EQ(text.back(), '\n');
}

TEST_F(ExportTest, ATextACsvFileCannotCarryIsRefusedNamingItsLine) {
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kSmall, "s.json", home_, false, &no, &error))
      << error;
  ASSERT_TRUE(
      store_.Exec("UPDATE journal_line SET description = 'two' || char(10) || 'lines' "
                  "WHERE line_id = 2;",
                  &error));
  std::ostringstream out;
  EXPECT_FALSE(mvhost::ExportDataSet(store_, 4, {home_ + "/lines.csv", ""}, out, &error));
  EXPECT_EQ(error,
            "journal 1 of 2014-02-21: the description cannot be written to a CSV file "
            "(a line break); export the lines inline");
  std::string text;
  EXPECT_TRUE(mvhost::ExportDataSet(store_, 4, &text, &error)) << error;
}

TEST_F(ExportTest, SavedReturnImageHoldsTheNamedMembers) {
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kSmall, "s.json", home_, false, &no, &error))
      << error;
  EXPECT_EQ(QueryInt("SELECT length(image) FROM saved_return"), 15360);
  EXPECT_EQ(QueryInt("SELECT hex(substr(image, 4, 1)) FROM saved_return"), 2);
  // Period start 2014-01-21 at offset 9, the amount -3 yen at 12515 and the
  // second refund amount 2.5 yen at 9876, all little-endian.
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(store_.db(),
                               "SELECT hex(substr(image, 10, 8)), hex(substr(image, 12516, 8)),"
                               " hex(substr(image, 9877, 8)) FROM saved_return",
                               -1, &stmt, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "5950330100000000");
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)), "D08AFFFFFFFFFFFF");
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)), "A861000000000000");
  sqlite3_finalize(stmt);
}

// Image -> model -> image is exact whatever the image holds.
TEST(SavedReturnImageTest, AnyImageRoundTrips) {
  std::vector<std::vector<uint8_t>> images;
  images.emplace_back(mvhost::kSavedReturnSize, 0);
  std::vector<uint8_t> amounts(mvhost::kSavedReturnSize, 0);
  amounts[12515] = 0x40;      // an amount whose low byte alone is set
  amounts[12523 + 1] = 0x01;  // one whose low byte is zero
  amounts[12603 + 8] = 0x07;  // a byte right after a known amount
  amounts[41] = 0x11;         // free bytes next to the named head
  amounts[9864] = 0x22;       // and just before the named tail
  images.push_back(amounts);
  std::mt19937 random(42);
  for (int n = 0; n < 3; ++n) {
    std::vector<uint8_t> noise(mvhost::kSavedReturnSize);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
    images.push_back(noise);
  }
  for (size_t i = 0; i < images.size(); ++i) {
    mvhost::SavedReturn saved = mvhost::SavedReturnFromImage(images[i]);
    EXPECT_EQ(mvhost::SavedReturnImage(saved), images[i]) << "image " << i;
  }
  mvhost::SavedReturn saved = mvhost::SavedReturnFromImage(amounts);
  EXPECT_EQ(saved.amounts.at(12515), 0x40);
  EXPECT_EQ(saved.amounts.at(12523), 0x100);
  EXPECT_EQ(saved.bytes.at(12611), std::vector<uint8_t>{0x07});
  EXPECT_EQ(saved.bytes.at(41), std::vector<uint8_t>{0x11});
}

TEST_F(ExportTest, DefaultDataSet) {
  int32_t no = 0;
  std::string error;
  EXPECT_FALSE(mvhost::DefaultDataNo(store_, &no, &error));
  EXPECT_EQ(error, "the store holds no data set");
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kSmall, "s.json", home_, false, &no, &error));
  ASSERT_TRUE(mvhost::DefaultDataNo(store_, &no, &error));
  EXPECT_EQ(no, 4);
  Json other = Json::parse(kSmall);
  other["data_set"]["data_no"] = 9;
  other["data_set"]["data_id"] = "S9";
  other["users"] = Json::parse(R"([{"id": "u9"}])");
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, other.dump(), "o.json", home_, false, &no, &error));
  // The first import made its user current; without a current user the
  // store's two data sets leave the choice open.
  ASSERT_TRUE(store_.Exec("DELETE FROM host_state WHERE key = 'current_user';", &error));
  EXPECT_FALSE(mvhost::DefaultDataNo(store_, &no, &error));
  EXPECT_EQ(error,
            "no data set is selected and the store holds several: name one (see mvhost list)");
  ASSERT_TRUE(store_.Exec("INSERT INTO host_state VALUES ('current_user', 'u9');", &error));
  no = 0;
  ASSERT_TRUE(mvhost::DefaultDataNo(store_, &no, &error)) << error;
  EXPECT_EQ(no, 9);
  std::string text;
  EXPECT_FALSE(mvhost::ExportDataSet(store_, 5, &text, &error));
  EXPECT_EQ(error, "no data set 5");
}

}  // namespace
