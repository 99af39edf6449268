// Refusals of the data import: each names the file, the JSON path and the
// field, and leaves the store exactly as it was.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "mvhost/lib/DataImport.h"
#include "tests/support/HostToolHome.h"

namespace {

using Json = nlohmann::ordered_json;

const char kBase[] = R"({
  "format": "mvhost-data-1",
  "data_set": {"data_no": 7, "data_id": "T7", "company_name": "Test Trading",
               "period_start": "2014-04-01", "period_end": "2015-03-31",
               "interim_closing": true, "entity_kind": 1},
  "tax_settings": {"filing_class": 2},
  "tax_rates": [8, 5],
  "account_classes": [{"code": "0x40884400", "name": "Purchases", "total": true},
                      {"code": "0x60880000", "name": "Sales", "total": true},
                      {"code": "0x01100000", "name": "Cash"}],
  "accounts": [{"code": "111", "name": "Cash", "class": "0x01100000"},
               {"code": "511", "name": "Sales", "class": "0x60880000", "balance_side": "credit"},
               {"code": "611", "name": "Purchases", "class": "0x40884400"}],
  "departments": [{"code": 1, "name": "Head office"}],
  "journals": [
    {"journal": 1, "date": "2014-04-10", "month": 1,
     "debit": {"account": "111", "amount": 108000, "tax_class": 0},
     "credit": {"account": "511", "dept": 1, "amount": 100000, "tax": 8000, "tax_class": 1},
     "rate": 8},
    {"journal": 2, "date": "2014-09-30", "month": 15,
     "debit": {"account": "611", "amount": "1000.25", "tax": "80.02", "tax_class": 21},
     "credit": {"account": "111", "amount": 1080, "tax_class": 0}, "rate": 8}],
  "fixed_assets": [{"code": "F1", "name": "Van", "acquired": "2014-06-01", "amount": 1500000}],
  "users": [{"id": "clerk", "name": "Clerk"}]
})";

struct RefusalCase {
  const char* name;
  const char* pointer;  // JSON pointer of the changed field
  const char* value;    // its new value, as JSON
  const char* message;  // the whole refusal
};

const RefusalCase kCases[] = {
    {"UnknownAccount", "/journals/0/debit/account", R"("999")",
     R"(bad.json: journals[0].debit.account: unknown account "999")"},
    {"UnknownCreditAccountInSecondLine", "/journals/1/credit/account", R"("112")",
     R"(bad.json: journals[1].credit.account: unknown account "112")"},
    {"BadDayOfMonth", "/journals/1/date", R"("2014-09-31")",
     R"(bad.json: journals[1].date: not a date (YYYY-MM-DD): "2014-09-31")"},
    {"BadDateForm", "/journals/0/date", R"("2014/04/10")",
     R"(bad.json: journals[0].date: not a date (YYYY-MM-DD): "2014/04/10")"},
    {"DateAsNumber", "/fixed_assets/0/acquired", "20140601",
     "bad.json: fixed_assets[0].acquired: not a date (YYYY-MM-DD): 20140601"},
    {"FractionalNumberAmount", "/journals/0/credit/amount", "100000.5",
     "bad.json: journals[0].credit.amount: amount not an integer (write fractions of a yen as "
     "text): 100000.5"},
    {"FiveFractionDigits", "/journals/0/credit/tax", R"("8000.12345")",
     "bad.json: journals[0].credit.tax: amount not an integer or a decimal text with up to 4 "
     "fraction digits: \"8000.12345\""},
    {"AmountTooLarge", "/fixed_assets/0/amount", "922337203685478",
     "bad.json: fixed_assets[0].amount: amount too large: 922337203685478"},
    {"TaxClass12", "/journals/0/credit/tax_class", "12",
     "bad.json: journals[0].credit.tax_class: unknown tax class 12 (known: 0-11, 21-27, 30-38, "
     "40-46)"},
    {"TaxClass28", "/journals/1/debit/tax_class", "28",
     "bad.json: journals[1].debit.tax_class: unknown tax class 28 (known: 0-11, 21-27, 30-38, "
     "40-46)"},
    {"TaxClass39", "/journals/1/debit/tax_class", "39",
     "bad.json: journals[1].debit.tax_class: unknown tax class 39 (known: 0-11, 21-27, 30-38, "
     "40-46)"},
    {"TaxClass47", "/journals/1/debit/tax_class", "47",
     "bad.json: journals[1].debit.tax_class: unknown tax class 47 (known: 0-11, 21-27, 30-38, "
     "40-46)"},
    {"DuplicateAccount", "/accounts/2/code", R"("111")",
     R"(bad.json: accounts[2].code: duplicate account code "111" (also bad.json: accounts[0]))"},
    {"DuplicateDepartment", "/departments/1", R"({"code": 1, "name": "Branch"})",
     "bad.json: departments[1].code: duplicate department code 1 (also bad.json: "
     "departments[0])"},
    {"DuplicateAsset", "/fixed_assets/1",
     R"({"code": "F1", "name": "Desk", "acquired": "2014-07-01", "amount": 1})",
     R"(bad.json: fixed_assets[1].code: duplicate fixed asset code "F1" (also bad.json: fixed_assets[0]))"},
    {"DuplicateClass", "/account_classes/2/code", R"("0x40884400")",
     "bad.json: account_classes[2].code: duplicate account class 0x40884400 (also bad.json: "
     "account_classes[0])"},
    {"DuplicateUser", "/users/1", R"({"id": "clerk"})",
     R"(bad.json: users[1].id: duplicate user "clerk" (also bad.json: users[0]))"},
    {"DuplicateRate", "/tax_rates/1", "8", "bad.json: tax_rates[1]: duplicate tax rate 8"},
    {"MonthDoesNotMatchDate", "/journals/0/month", "2",
     "bad.json: journals[0].month: month 2 does not match the date 2014-04-10 (accounting "
     "month 1)"},
    {"InterimMonthWithoutInterimClosing", "/data_set/interim_closing", "false",
     "bad.json: journals[1].month: month 15 (interim closing) in a data set without an interim "
     "closing"},
    {"YearEndMonthBeforePeriodEnd", "/journals/1/month", "18",
     "bad.json: journals[1].month: month 18 (year-end closing) needs the period's last day "
     "(2015-03-31), not 2014-09-30"},
    {"InterimMonthBeforeMonthEnd", "/journals/1/date", R"("2014-09-29")",
     "bad.json: journals[1].month: month 15 (interim closing) needs the last day of accounting "
     "month 6 (2014-09-30), not 2014-09-29"},
    {"UnknownMonthKind", "/journals/1/month", "13",
     "bad.json: journals[1].month: unknown month kind 13 (1-12, 15, 18)"},
    {"DateAfterPeriod", "/journals/0/date", R"("2015-04-01")",
     "bad.json: journals[0].date: date 2015-04-01 is outside the period 2014-04-01..2015-03-31"},
    {"UnknownDepartment", "/journals/0/credit/dept", "9",
     "bad.json: journals[0].credit.dept: unknown department 9"},
    {"RateNotOfTheDataSet", "/journals/0/rate", "3",
     "bad.json: journals[0].rate: rate 3 is not one of the data set's tax_rates (8, 5)"},
    {"UnknownRate", "/tax_rates/1", "6",
     "bad.json: tax_rates[1]: unknown tax rate 6 (3, 5, 8 or 10)"},
    {"UnknownClassOfAccount", "/accounts/0/class", R"("0x01200000")",
     "bad.json: accounts[0].class: unknown account class 0x01200000"},
    {"UnknownField", "/journals/0/amount", "5", "bad.json: journals[0].amount: unknown field"},
    {"MissingSideAccount", "/journals/0/debit", R"({"amount": 5, "tax_class": 0})",
     "bad.json: journals[0].debit.account: missing"},
    {"DataIdTooLong", "/data_set/data_id", R"("ABCDEFGHIJKLMNOP")",
     "bad.json: data_set.data_id: text longer than 15 Shift_JIS bytes: ABCDEFGHIJKLMNOP"},
    {"TextOutsideShiftJis", "/data_set/company_name", R"("Smile \ud83d\ude00")",
     "bad.json: data_set.company_name: text cannot be written in Shift_JIS: Smile "
     "\xF0\x9F\x98\x80"},
    {"TextWithNul", "/accounts/1/name", R"("Sa\u0000les")",
     "bad.json: accounts[1].name: text holds a NUL character"},
    {"DescriptionOutsideShiftJis", "/journals/0/description", R"("\ud83d\ude00")",
     "bad.json: journals[0].description: text cannot be written in Shift_JIS: \xF0\x9F\x98\x80"},
    // Texts that Shift_JIS holds only as another character.
    {"YenSignComesBackChanged", "/accounts/1/name", R"("Sales \u00a5")",
     "bad.json: accounts[1].name: \"\xC2\xA5\" (U+00A5) comes back from Shift_JIS as "
     "\"\\\": Sales \xC2\xA5"},
    {"OverlineInADescription", "/journals/1/description", R"("a\u203eb")",
     "bad.json: journals[1].description: \"\xE2\x80\xBE\" (U+203E) comes back from "
     "Shift_JIS as \"~\": a\xE2\x80\xBE"
     "b"},
    {"ClassNameComesBackChanged", "/account_classes/2/name", R"("\u00a5")",
     "bad.json: account_classes[2].name: \"\xC2\xA5\" (U+00A5) comes back from Shift_JIS as "
     "\"\\\": \xC2\xA5"},
    // A user id would forge another user's remembered record.
    {"UserIdWithLineFeed", "/users/0/id", R"("ev\nsakura")",
     "bad.json: users[0].id: id holds U+000A; an id may hold no \"/\", \":\" or control "
     "character"},
    {"UserIdWithSlash", "/users/0/id", R"("sakura/1/1")",
     "bad.json: users[0].id: id holds \"/\"; an id may hold no \"/\", \":\" or control "
     "character"},
    {"UserIdWithColon", "/users/0/id", R"("sakura:x")",
     "bad.json: users[0].id: id holds \":\"; an id may hold no \"/\", \":\" or control "
     "character"},
    {"PeriodLongerThanAYear", "/data_set/period_end", R"("2015-04-30")",
     "bad.json: data_set.period_end: the period 2014-04-01..2015-04-30 is not one to twelve "
     "months long"},
    {"WrongFormatTag", "/format", R"("mvhost-data-2")",
     "bad.json: format: not \"mvhost-data-1\": mvhost-data-2"},
    {"SavedAmountOverNamedMember", "/saved_return", R"({"amounts": {"9860": 1}})",
     "bad.json: saved_return.amounts.9860: amount offset 9860 is outside the free part of the "
     "image"},
    {"SavedBytesNotHex", "/saved_return", R"({"bytes": {"100": "0g"}})",
     "bad.json: saved_return.bytes.100: not hexadecimal bytes"},
    {"SavedBytesPastTheEnd", "/saved_return", R"({"bytes": {"15359": "0101"}})",
     "bad.json: saved_return.bytes.15359: bytes at 15359 are empty or outside the free part of "
     "the image"},
    // Control characters would break the report's XML or a record's line.
    {"CompanyNameWithControlCharacter", "/data_set/company_name", R"("Test\u0001Trading")",
     "bad.json: data_set.company_name: text holds the control character U+0001"},
    {"DescriptionWithLineFeed", "/journals/0/description", R"("a\nb")",
     "bad.json: journals[0].description: text holds the control character U+000A"},
    {"AccountNameWithDelete", "/accounts/0/name", R"("Cash\u007f")",
     "bad.json: accounts[0].name: text holds the control character U+007F"},
    // A cycle would count its accounts in each of its totals.
    {"ClassItsOwnParent", "/account_classes/0/parent", R"("0x40884400")",
     "bad.json: account_classes[0].parent: account class 0x40884400 is its own ancestor "
     "(0x40884400 -> 0x40884400)"},
    {"ClassesParentingEachOther", "/account_classes",
     R"([{"code": "0x40884400", "name": "P", "total": true, "parent": "0x60880000"},
         {"code": "0x60880000", "name": "S", "total": true, "parent": "0x40884400"},
         {"code": "0x01100000", "name": "Cash"}])",
     "bad.json: account_classes[0].parent: account class 0x40884400 is its own ancestor "
     "(0x40884400 -> 0x60880000 -> 0x40884400)"},
    {"DepartmentItsOwnParent", "/departments/0/parent", "1",
     "bad.json: departments[0].parent: department 1 is its own ancestor (1 -> 1)"},
    // Where two saved values meet, the image keeps only one of them.
    {"SavedBytesOverAnAmountSlot", "/saved_return", R"({"bytes": {"484": "0102"}})",
     "bad.json: saved_return.bytes.484: bytes 484..485 overlap the amount at 485 that the "
     "return screen saves"},
    {"SavedBytesOverAGivenAmount", "/saved_return",
     R"({"amounts": {"3000": 1}, "bytes": {"3004": "01"}})",
     "bad.json: saved_return.bytes.3004: bytes 3004..3004 overlap the amount at 3000"},
    // The limits of 64 bits, each with its own reason.
    {"AmountPastTheLowestYen", "/fixed_assets/0/amount", "-922337203685478",
     "bad.json: fixed_assets[0].amount: amount too small: -922337203685478"},
    {"AmountBelowInt64", "/fixed_assets/0/amount", "-9223372036854775809",
     "bad.json: fixed_assets[0].amount: amount too small: -9.223372036854776e+18"},
    {"AmountTextPastTheHighestRaw", "/journals/0/credit/amount", R"("922337203685477.5808")",
     "bad.json: journals[0].credit.amount: amount too large: \"922337203685477.5808\""},
    {"IntegerFieldPastUint64", "/data_set/data_no", "18446744073709551616",
     "bad.json: data_set.data_no: out of range 1..2147483647: 1.8446744073709552e+19"},
    {"DataIdOfAnotherDataSet", "/data_set/data_id", R"("OTHER")",
     R"(bad.json: data_set.data_id: "OTHER" is already used by data set 3)"},
};

class ImportRefusalTest : public taxlink_test::HostToolHome,
                          public ::testing::WithParamInterface<RefusalCase> {
 protected:
  // The store holds data set 7 (the base) and data set 3 ("OTHER").
  void SetUp() override {
    HostToolHome::SetUp();
    int32_t no = 0;
    std::string error;
    ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "base.json", home_, false, &no, &error))
        << error;
    Json other = Json::parse(kBase);
    other["data_set"]["data_no"] = 3;
    other["data_set"]["data_id"] = "OTHER";
    ASSERT_TRUE(
        mvhost::ImportDataSetText(store_, other.dump(), "other.json", home_, false, &no, &error))
        << error;
  }
};

TEST_P(ImportRefusalTest, RefusesWithMessageAndLeavesStoreUnchanged) {
  const RefusalCase& c = GetParam();
  Json bad = Json::parse(kBase);
  bad[Json::json_pointer(c.pointer)] = Json::parse(c.value);
  std::string before = Snapshot();
  int32_t no = -1;
  std::string error;
  // With replace: the refusal must also keep the data set it would replace.
  EXPECT_FALSE(mvhost::ImportDataSetText(store_, bad.dump(), "bad.json", home_, true, &no, &error));
  EXPECT_EQ(error, c.message);
  EXPECT_EQ(no, -1);
  EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportRefusalTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

using ImportStoreTest = taxlink_test::HostToolHome;

// The parser would keep a doubled key's last value: a second "journals": []
// would empty the data set without a word.
TEST_F(ImportStoreTest, RefusesADoubledKeyAtAnyDepth) {
  struct {
    std::string text;
    const char* message;
  } cases[] = {
      {std::string(kBase).insert(std::string(kBase).rfind('}'), ",\n  \"journals\": []\n"),
       "bad.json:26:3: duplicate key \"journals\" (first at 15:3)"},
      {std::string(kBase).insert(std::string(kBase).find("\"amount\": 108000"), "\"amount\": 1, "),
       "bad.json:17:47: duplicate key \"amount\" (first at 17:34)"},
  };
  for (const auto& c : cases) {
    std::string before = Snapshot();
    int32_t no = -1;
    std::string error;
    EXPECT_FALSE(mvhost::ImportDataSetText(store_, c.text, "bad.json", home_, false, &no, &error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(Snapshot(), before);
  }
}

TEST_F(ImportStoreTest, ANumberPastTheRangeOfADoubleIsRefused) {
  int32_t no = -1;
  std::string error;
  EXPECT_FALSE(mvhost::ImportDataSetText(store_, R"({"format": 1e400})", "big.json", home_, false,
                                         &no, &error));
  EXPECT_EQ(error, "big.json: not valid JSON (a number out of range)");
}

TEST_F(ImportStoreTest, ExistingNumberNeedsReplace) {
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, false, &no, &error));
  std::string before = Snapshot();
  EXPECT_FALSE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, false, &no, &error));
  EXPECT_EQ(error,
            "a.json: data_set.data_no: data set 7 already exists (import with --replace to replace "
            "it)");
  EXPECT_EQ(Snapshot(), before);

  Json changed = Json::parse(kBase);
  changed["data_set"]["company_name"] = "Renamed";
  changed["journals"].erase(1);
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, changed.dump(), "a.json", home_, true, &no, &error))
      << error;
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM data_set"), 1);
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM journal_line WHERE data_no = 7"), 1);
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM data_set WHERE company_name = 'Renamed'"), 1);
}

TEST_F(ImportStoreTest, StoresRawAmountsRatesAndIds) {
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, false, &no, &error))
      << error;
  EXPECT_EQ(no, 7);
  EXPECT_EQ(QueryInt("SELECT debit_amount FROM journal_line WHERE line_id = 2"), 10002500);
  EXPECT_EQ(QueryInt("SELECT debit_tax FROM journal_line WHERE line_id = 2"), 800200);
  EXPECT_EQ(QueryInt("SELECT credit_amount FROM journal_line WHERE line_id = 1"), 1000000000);
  EXPECT_EQ(QueryInt("SELECT tax_rate FROM journal_line WHERE line_id = 1"), 800);
  EXPECT_EQ(QueryInt("SELECT rate FROM tax_rate WHERE row_no = 2"), 500);
  // Journal sides name accounts by id: "611" is the third account.
  EXPECT_EQ(QueryInt("SELECT debit_account FROM journal_line WHERE line_id = 2"), 3);
  EXPECT_EQ(QueryInt("SELECT account_id FROM account WHERE code = '611'"), 3);
  EXPECT_EQ(QueryInt("SELECT balance_side FROM account WHERE code = '511'"), 2);
  EXPECT_EQ(QueryInt("SELECT class_code FROM account WHERE code = '611'"), 0x40884400);
  EXPECT_EQ(QueryInt("SELECT selected_data_no FROM app_user WHERE user_id = 'clerk'"), 7);
  EXPECT_EQ(QueryInt("SELECT interim_closing FROM data_set"), 1);
  EXPECT_EQ(QueryInt("SELECT acquisition_amount FROM fixed_asset"), 15000000000);
}

// A write that fails half-way (a journal naming an account the model lacks)
// rolls back, including the removal of the data set being replaced.
TEST_F(ImportStoreTest, FailedWriteRollsBack) {
  int32_t no = 0;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, false, &no, &error));
  std::string before = Snapshot();
  mvhost::DataSetModel model;
  model.source = "m.json";
  model.info.dataNo = 7;
  model.info.dataId = "T7";
  model.info.companyName = "X";
  model.info.periodStart = 20140401;
  model.info.periodEnd = 20150331;
  mvhost::JournalLine line;
  line.origin = "m.json: journals[0]";
  line.date = 20140401;
  line.monthKind = 1;
  line.debit.account = "404";
  model.journals.push_back(line);
  EXPECT_FALSE(mvhost::WriteDataSet(store_, model, true, &error));
  EXPECT_EQ(error, R"(m.json: journals[0]: unknown account "404")");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ImportStoreTest, RefusesFileThatIsNotJsonOrNotUtf8) {
  struct {
    const char* text;
    const char* message;  // after the path
  } cases[] = {
      {"{\"format\": ",
       ":1:12: not valid JSON: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {"{\n  \"format\": \"x\",\n}",
       ":3:1: not valid JSON: syntax error while parsing object key - unexpected '}'; expected "
       "string literal"},
      // Shift_JIS text ("会社" in CP932) in a file read as UTF-8.
      {"{\n\"format\": \"\x89\xEF\x8E\xD0\"}",
       ":2:12: not UTF-8 text (for a Shift_JIS file use --encoding cp932)"},
  };
  int32_t no = 0;
  std::string error;
  for (const auto& c : cases) {
    std::string path = WriteFile("broken.json", c.text);
    EXPECT_FALSE(mvhost::ImportDataSetFile(store_, path, false, &no, &error));
    EXPECT_EQ(error, path + c.message);
  }
  EXPECT_FALSE(mvhost::ImportDataSetFile(store_, home_ + "/missing.json", false, &no, &error));
  EXPECT_EQ(error, home_ + "/missing.json: cannot open the file");
}

// Into an empty journal table the lines are loaded without its indexes,
// which are then built again as the store declares them; a store with
// other lines keeps its indexes throughout. Either way they end complete.
TEST_F(ImportStoreTest, JournalIndexesEndCompleteAfterABulkLoad) {
  std::string error;
  const char kIndex[] = "CREATE INDEX journal_line_no ON journal_line (data_no, journal_no)";
  ASSERT_TRUE(store_.Exec((std::string(kIndex) + ";").c_str(), &error)) << error;
  int32_t no = 0;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, false, &no, &error))
      << error;
  Json other = Json::parse(kBase);
  other["data_set"]["data_no"] = 3;
  other["data_set"]["data_id"] = "OTHER";
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, other.dump(), "b.json", home_, false, &no, &error))
      << error;
  EXPECT_EQ(
      QueryInt(std::string("SELECT COUNT(*) FROM sqlite_schema WHERE sql = '") + kIndex + "'"), 1);
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM journal_line INDEXED BY journal_line_no"
                     " WHERE data_no = 7 AND journal_no > 0"),
            2);
  EXPECT_EQ(QueryInt("SELECT COUNT(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'"),
            0);
}

// The first import into a home without a current user makes the file's
// first user current, so that the program can be started at once; later
// imports leave the current user alone.
TEST_F(ImportStoreTest, FirstUserBecomesCurrentOnlyWhenThereIsNone) {
  mvhost::ImportOutcome outcome;
  std::string error;
  ASSERT_TRUE(mvhost::ImportDataSetText(store_, kBase, "a.json", home_, {}, &outcome, &error))
      << error;
  EXPECT_EQ(outcome.madeCurrentUser, "clerk");
  Json other = Json::parse(kBase);
  other["data_set"]["data_no"] = 3;
  other["data_set"]["data_id"] = "OTHER";
  other["users"] = Json::parse(R"([{"id": "boss"}])");
  ASSERT_TRUE(
      mvhost::ImportDataSetText(store_, other.dump(), "b.json", home_, {}, &outcome, &error));
  EXPECT_EQ(outcome.madeCurrentUser, "");
  EXPECT_EQ(Snapshot().find("[host_state]\ncurrent_user|clerk|\n[data_set]"), 0u) << Snapshot();
}

// tax_rates lists the rates lines may carry, given or implied by the date;
// left out, it is 8, 5 and 3.
class TaxRatesListTest : public taxlink_test::HostToolHome {};

TEST_F(TaxRatesListTest, LinesCarryOnlyListedRatesAndTheDefaultListsAllThree) {
  Json rated = Json::parse(kBase);
  rated["tax_rates"] = Json::parse("[5, 3]");
  rated["journals"][1]["rate"] = 3;
  rated["journals"][0].erase("rate");
  int32_t no = -1;
  std::string error;
  EXPECT_FALSE(
      mvhost::ImportDataSetText(store_, rated.dump(), "bad.json", home_, false, &no, &error));
  EXPECT_EQ(error,
            "bad.json: journals[0].rate: the date 2014-04-10 implies rate 8, which is not one of "
            "the data set's tax_rates (5, 3)");

  rated.erase("tax_rates");
  EXPECT_TRUE(mvhost::ImportDataSetText(store_, rated.dump(), "ok.json", home_, false, &no, &error))
      << error;
  EXPECT_EQ(Snapshot().find("tax_rate|7|1|800\ntax_rate|7|2|500\ntax_rate|7|3|300"),
            std::string::npos - 0)
      << Snapshot();
}

}  // namespace
