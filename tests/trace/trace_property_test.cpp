// The trace over generated data sets: for every amount the report holds, the
// contributions add up to the figure before rounding (through the named rule
// where there is one), that figure rounds to the written value, every line
// named is a line of the data set as it was booked, and no line feeds a
// figure its tax class does not feed under the host's class table.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "aggregation/AccountClasses.h"
#include "aggregation/AggregationEngine.h"
#include "aggregation/ProgressSink.h"
#include "aggregation/TaxSettings.h"
#include "host/RefundStatementClasses.h"
#include "mvhost/lib/TaxClassRules.h"
#include "platform/winfs/WinFileSystem.h"
#include "report/AmountRounding.h"
#include "report/FormTopics.h"
#include "report/ReportFile.h"
#include "report/ReportFormat.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TempFolder.h"
#include "trace/ReportValues.h"
#include "trace/Sha256.h"
#include "trace/TraceFile.h"
#include "trace/TraceRecorder.h"

namespace taxlink {
namespace {

using nlohmann::json;
using testing::DataSetSpec;
using testing::HostFixture;
using testing::HostStorage;

constexpr int64_t kYen = 10000;
constexpr int32_t kRowRates[kRateGroups] = {800, 500, 300};

// The accounts of every generated data set: id, code, class, balance side.
struct AccountRow {
  int32_t id;
  uint32_t classCode;
  int32_t balanceSide;
};
constexpr AccountRow kCash{1, 0x01100000, 1};
constexpr AccountRow kSales{2, 0x40888000, 2};
constexpr AccountRow kCostAccounts[] = {
    {3, 0x20400000, 1},  // purchases (merchandise)
    {4, 0x40882010, 1},  // selling and administrative
    {5, 0x40844080, 1},  // non-operating
    {6, 0x40440040, 1},  // other
};
constexpr int kSalesClasses[] = {1, 2, 3, 4, 5, 11, 0};
constexpr int kSalesReturnClasses[] = {6, 7, 8, 9, 10};
constexpr int kPurchaseClasses[] = {21, 22, 23, 24, 30, 34, 40, 41, 42, 43, 0};
constexpr int kPurchaseReturnClasses[] = {25, 26, 27, 38, 44, 45, 46};

struct BookedSide {
  int32_t account;
  int taxClass;
};
struct BookedLine {
  BookedSide debit;
  BookedSide credit;
  int32_t rate;
  int businessType;
};

struct Generated {
  DataSetSpec wanted;
  std::map<int32_t, BookedLine> lines;  // by line id (= journal number)
  std::map<int32_t, uint32_t> accountClass;
  int startMonth = 0;
  int endMonth = 0;
};

template <class T, std::size_t N>
T Pick(std::mt19937& random, const T (&items)[N]) {
  return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}
int Between(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

// A data set of the seed: entity kind, filing class, rounding, tax
// inclusion, interim closing, departments, lines on both sides of the
// books at three rates and in the adjustment months, and assets.
Generated Generate(HostFixture& host, uint32_t seed) {
  std::mt19937 random(seed);
  Generated g;
  DataSetSpec& wanted = g.wanted;
  const bool calendarYear = Between(random, 0, 1) == 1;
  wanted.periodStart = calendarYear ? 20140101 : 20140401;
  wanted.periodEnd = calendarYear ? 20141231 : 20150331;
  wanted.interimClosing = Between(random, 0, 1) == 1;
  // Kind 2 is neither corporate nor individual: no refund pass walks the
  // lines, so the host traces the return with a walk of its own.
  wanted.entityKind = Pick(random, {0, 1, 2, 3, 4});
  const bool individual = wanted.entityKind >= 3;
  wanted.incomeKind = individual ? Between(random, 1, 3) : 0;
  wanted.filingClass = Between(random, 1, 2);
  wanted.roundingMode = Between(random, 0, 2);
  wanted.taxIncluded = Between(random, 0, 1) == 1;
  wanted.mainBusinessType = Between(random, 1, 5);
  const int32_t no = host.AddDataSet(wanted);
  host.SelectForUser("U01", no);

  host.AddAccountClass({.code = 0x01100000, .name = "cash", .parent = std::nullopt, .total = true});
  host.AddAccountClass(
      {.code = 0x40888000, .name = "sales", .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x40884400, .name = "cost", .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x20400000, .name = "purchases", .parent = 0x40884400u});
  host.AddAccountClass({.code = 0x40882000, .name = "sga", .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x40882010, .name = "admin", .parent = 0x40882000u});
  host.AddAccountClass(
      {.code = 0x40844000, .name = "nonop", .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x40844080, .name = "interest", .parent = 0x40844000u});
  host.AddAccountClass(
      {.code = 0x40440000, .name = "other", .parent = std::nullopt, .total = true});
  host.AddAccountClass({.code = 0x40440040, .name = "losses", .parent = 0x40440000u});
  for (const AccountRow& row :
       {kCash, kSales, kCostAccounts[0], kCostAccounts[1], kCostAccounts[2], kCostAccounts[3]}) {
    host.AddAccount({.accountId = row.id,
                     .code = std::to_string(100 + row.id),
                     .name = "account " + std::to_string(row.id),
                     .classCode = row.classCode,
                     .balanceSide = row.balanceSide});
    g.accountClass[row.id] = row.classCode;
  }
  const bool departments = individual && wanted.incomeKind == 3;
  if (departments) {
    host.AddDepartment({.code = 101, .name = "shop", .incomeKind = 1});
    host.AddDepartment({.code = 102, .name = "rent", .incomeKind = 2});
  }

  const int firstMonth = calendarYear ? 1 : 4;
  for (int i = 0; i < 80; ++i) {
    const int offset = Between(random, 0, 13);  // 12: interim, 13: year end
    int16_t monthKind = 0;
    int32_t date = 0;
    if (offset == 12) {
      if (!wanted.interimClosing) continue;
      monthKind = 15;
      date = calendarYear ? 20140630 : 20140930;
    } else if (offset == 13) {
      monthKind = 18;
      date = wanted.periodEnd;
    } else {
      const int month = (firstMonth - 1 + offset) % 12 + 1;
      const int year = month < firstMonth ? 2015 : 2014;
      date = year * 10000 + month * 100 + Between(random, 1, 28);
    }
    const int32_t rate = Pick(random, {800, 500, 300, 0});
    const int64_t amount = int64_t{Between(random, 1, 900000)} * kYen + Between(random, 0, 9999);
    const int64_t tax = amount * (rate == 0 ? 800 : rate) / 10000;
    const int dept = departments ? Pick(random, {0, 101, 102}) : 0;
    const AccountRow& cost = Pick(random, kCostAccounts);
    testing::JournalSide cash{.account = kCash.id, .amount = amount};
    testing::JournalSide booked;
    BookedLine line{};
    const bool debitBooked = Between(random, 0, 1) == 1;
    switch (Between(random, 0, 3)) {
      case 0:
        booked = {.account = kSales.id,
                  .amount = amount,
                  .tax = tax,
                  .taxClass = Pick(random, kSalesClasses),
                  .dept = dept};
        break;
      case 1:
        booked = {.account = kSales.id,
                  .amount = amount,
                  .tax = tax,
                  .taxClass = Pick(random, kSalesReturnClasses),
                  .dept = dept};
        break;
      case 2:
        booked = {.account = cost.id,
                  .amount = amount,
                  .tax = tax,
                  .taxClass = Pick(random, kPurchaseClasses),
                  .dept = dept};
        break;
      default:
        booked = {.account = cost.id,
                  .amount = amount,
                  .tax = tax,
                  .taxClass = Pick(random, kPurchaseReturnClasses),
                  .dept = dept};
        break;
    }
    const int businessType = Between(random, 0, 6);
    testing::JournalSpec journal{
        .date = date, .rate = rate, .businessType = businessType, .monthKind = monthKind};
    journal.debit = debitBooked ? booked : cash;
    journal.credit = debitBooked ? cash : booked;
    line.debit = {journal.debit.account, journal.debit.taxClass};
    line.credit = {journal.credit.account, journal.credit.taxClass};
    line.rate = rate;
    line.businessType = businessType;
    g.lines[host.AddJournal(journal)] = line;
  }
  for (int32_t id = 1; id <= 3; ++id) {
    host.AddAsset({.assetId = id,
                   .code = "A" + std::to_string(id),
                   .name = "asset " + std::to_string(id),
                   .kind = Pick(random, {1, 9}),
                   .acquisitionDate = wanted.periodStart + 100 * Between(random, 0, 8),
                   .acquisitionAmount = int64_t{Between(random, 1, 500000)} * kYen + id,
                   .incomeKind = Between(random, 1, 2)});
  }
  // The whole year or a range inside it.
  g.startMonth = firstMonth;
  g.endMonth = (firstMonth + 10) % 12 + 1;
  if (Between(random, 0, 2) == 0) g.startMonth = (firstMonth + 2) % 12 + 1;
  return g;
}

StDATAINFO RecordOf(const DataSetSpec& wanted) {
  StDATAINFO data;
  std::memset(&data, 0, sizeof(data));
  std::strncpy(data.dataId, wanted.dataId.c_str(), sizeof(data.dataId) - 1);
  data.dataNo = wanted.dataNo;
  std::strncpy(data.companyName, wanted.companyName.c_str(), sizeof(data.companyName) - 1);
  data.periodStart = wanted.periodStart;
  data.periodEnd = wanted.periodEnd;
  data.interimClosing = wanted.interimClosing ? 1 : 0;
  data.entityKind = static_cast<uint8_t>(wanted.entityKind);
  data.incomeKind = static_cast<uint8_t>(wanted.incomeKind);
  return data;
}

// An amount of the trace: yen with four decimals, or an integer of
// ten-thousandths (the line table and line contributions).
int64_t Raw(const json& yen) {
  if (yen.is_number_integer()) return yen.get<int64_t>();
  const std::string text = yen.get<std::string>();
  const std::size_t dot = text.find('.');
  const bool negative = text[0] == '-';
  const int64_t whole = std::stoll(text.substr(negative ? 1 : 0, dot - (negative ? 1 : 0)));
  const int64_t raw = whole * kYen + std::stoll(text.substr(dot + 1));
  return negative ? -raw : raw;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Writes the report and the trace of a run into folder (through file when
// given, else written whole); the parsed trace.
json WriteBoth(const ReportInputs& inputs, const StDATAINFO& data, const TraceRun& run,
               TraceRecorder* recorder, const std::string& folder, std::string* report,
               TraceFile* file = nullptr) {
  const std::string reportPath = platform::ToWindowsPath(folder + "/report.xml");
  const std::string tracePath = platform::ToWindowsPath(folder + "/trace.json");
  const Status written =
      WriteReportFile(inputs, 0, reportPath.c_str(), data,
                      run.savedReturn ? ReportSource::kSavedReturn : ReportSource::kJournals);
  EXPECT_TRUE(written.ok()) << written.ToString();
  const Status traced = file != nullptr
                            ? file->Write(inputs, data, run, recorder, reportPath)
                            : WriteTraceFile(inputs, data, run, recorder, reportPath, tracePath);
  EXPECT_TRUE(traced.ok()) << traced.ToString();
  *report = ReadAll(folder + "/report.xml");
  return json::parse(ReadAll(folder + "/trace.json"));
}

// The properties of the schema file's definition of name.
std::set<std::string> SchemaProperties(const json& schema, const char* name) {
  std::set<std::string> keys;
  for (const auto& [key, value] : schema["$defs"][name]["properties"].items()) keys.insert(key);
  return keys;
}

// A contribution as an object: a line contribution (an array in the order
// of line_entry_columns) gets kind "line" and its columns as members; one
// without its amount took what its row booked (amount, tax or their sum).
json AsObject(const json& trace, const json& c) {
  if (!c.is_array()) return c;
  const std::size_t columns = trace["line_entry_columns"].size();
  EXPECT_TRUE(c.size() == columns || c.size() + 1 == columns) << c.dump();
  json line{{"kind", "line"}};
  for (std::size_t i = 0; i < c.size() && i < columns; ++i) {
    line[trace["line_entry_columns"][i].get<std::string>()] = c[i];
  }
  if (c.size() + 1 == columns && c.size() == 2) {
    const json& row = trace["lines"].at(c[0].get<std::size_t>());
    const int taken = c[1];
    line["amount"] =
        (taken != 1 ? row.at(10).get<int64_t>() : 0) + (taken != 0 ? row.at(11).get<int64_t>() : 0);
  }
  return line;
}

// The figures of a trace by group (or section) and element.
std::map<std::pair<std::string, std::string>, const json*> FiguresByName(const json& trace) {
  std::map<std::pair<std::string, std::string>, const json*> figures;
  for (const json& figure : trace["figures"]) {
    const std::string where = figure["group"].is_null() ? figure["section"] : figure["group"];
    figures[{where, figure["element"]}] = &figure;
  }
  return figures;
}

// What every trace must hold whatever the method: one figure per non-empty
// amount of the report, members the schema knows, line rows of the schema's
// columns, the plain sum through the rule to the raw figure, a named figure
// taken at its raw amount, and the raw figure rounded to the written value.
void CheckFigures(const json& trace, const std::string& report, int roundingMode) {
  static const json schema =
      json::parse(ReadAll(std::string(TAXLINK_SOURCE_DIR) + "/trace/Trace.schema.json"));
  static const std::set<std::string> figureKeys = SchemaProperties(schema, "figure");
  static const std::set<std::string> contributionKeys = SchemaProperties(schema, "contribution");
  for (const auto& [key, value] : trace.items()) {
    EXPECT_TRUE(schema["properties"].contains(key)) << key;
  }
  EXPECT_EQ(trace["line_columns"], schema["properties"]["line_columns"]["const"]);
  EXPECT_EQ(trace["line_entry_columns"], schema["properties"]["line_entry_columns"]["const"]);
  const std::size_t columns = schema["$defs"]["line"]["prefixItems"].size();
  for (const json& line : trace["lines"]) {
    ASSERT_EQ(line.size(), columns) << line.dump();
    for (const json& column : line) ASSERT_TRUE(column.is_number_integer()) << line.dump();
  }
  int nonEmpty = 0;
  const ReportValues values = ReadReportValues(report);
  for (const GroupFormat& group : ReportFormat()) {
    for (const ElementFormat& element : group.elements) {
      auto value = values.find({group.name, element.name});
      nonEmpty += group.inData && value != values.end() && !value->second.empty() &&
                  (element.kind == ValueKind::kAmount || element.kind == ValueKind::kAmountOrZero);
    }
  }
  EXPECT_EQ(static_cast<int>(trace["figures"].size()), nonEmpty);
  const auto byName = FiguresByName(trace);
  for (const json& figure : trace["figures"]) {
    SCOPED_TRACE(figure["element"].get<std::string>());
    for (const auto& [key, value] : figure.items()) EXPECT_TRUE(figureKeys.count(key)) << key;
    int64_t sum = 0;
    for (const json& entry : figure["contributions"]) {
      const json c = AsObject(trace, entry);
      if (entry.is_object()) {
        for (const auto& [key, value] : c.items()) EXPECT_TRUE(contributionKeys.count(key)) << key;
      }
      sum += Raw(c["amount"]);
      if (c["kind"] == "figure") {
        const std::string where = c["group"].is_null() ? c["section"] : c["group"];
        auto part = byName.find({where, c["element"]});
        ASSERT_NE(part, byName.end()) << c.dump();
        EXPECT_NE(part->second, &figure);
        EXPECT_EQ(Raw((*part->second)["raw"]), Raw(c["amount"])) << c.dump();
      }
    }
    EXPECT_EQ(figure["count"].get<std::size_t>(), figure["contributions"].size());
    const int64_t raw = Raw(figure["raw"]);
    if (figure.contains("rule")) {
      EXPECT_EQ(Raw(figure["sum"]), sum);
      const std::string rule = figure["rule"];
      EXPECT_EQ(rule == "securities_factor" ? sum / 20 * 20 : sum * 20, raw) << rule;
    } else {
      EXPECT_EQ(sum, raw);
    }
    EXPECT_EQ(AmountRounding(raw, static_cast<uint8_t>(roundingMode)),
              figure["value"].get<int64_t>());
  }
}

// A line contribution with the facts of the row it names, as one object.
json LineOf(const json& trace, const json& contribution) {
  const std::size_t index = contribution["line"].get<std::size_t>();
  EXPECT_LT(index, trace["lines"].size());
  if (index >= trace["lines"].size()) return json::object();
  const json& row = trace["lines"][index];
  json line = contribution;
  for (std::size_t i = 0; i < row.size(); ++i)
    line[trace["line_columns"][i].get<std::string>()] = row[i];
  line["line_id"] = row[1];
  for (const json& account : trace["accounts"]) {
    if (account["id"] == row[4]) line["account"] = account;
  }
  return line;
}

const FormElement* FormOf(const std::string& group, const std::string& name) {
  const GroupFormat* format = FindGroup(group);
  if (format == nullptr) return nullptr;
  for (const ElementFormat& element : format->elements) {
    if (element.name == name) return element.form;
  }
  return nullptr;
}

// A line of a DATA figure feeds it under its class's rule: the figure is
// one of the class's, at the line's rate row, and of its business type.
void CheckDataLine(const json& figure, const json& line) {
  const std::string group = figure["group"];
  const FormElement* element = FormOf(group, figure["element"]);
  ASSERT_NE(element, nullptr);
  const int rateIndex = group.back() - '0';
  EXPECT_EQ(line["rate"].get<int32_t>(), kRowRates[rateIndex]);
  const mvhost::TaxClassRule rule = mvhost::RuleOfTaxClass(line["tax_class"].get<int>());
  ASSERT_EQ(rule.use, mvhost::TaxClassRule::Use::kSummed);
  const int businessType = line["business_type"];
  if (element->journal == JournalSource::kBusinessType) {
    const bool salesGroup = group.rfind("D02021", 0) == 0;
    EXPECT_EQ(rule.business, salesGroup ? mvhost::TaxClassRule::BusinessFigure::kSales
                                        : mvhost::TaxClassRule::BusinessFigure::kReturns);
    EXPECT_EQ(businessType, element->businessType);
    return;
  }
  const int offset = element->figure;
  EXPECT_TRUE(offset == rule.excl || offset == rule.tax || offset == rule.incl)
      << "class " << line["tax_class"] << " offset " << offset;
  if (element->journal == JournalSource::kUnclassified) {
    EXPECT_TRUE(businessType < 1 || businessType > 6 ||
                rule.business == mvhost::TaxClassRule::BusinessFigure::kNone);
  }
}

// A line named by a figure is a side of a line of the data set as it was
// booked, and feeds that figure under its class.
void CheckBookedLine(const Generated& g, const json& figure, const json& c) {
  auto found = g.lines.find(c["line_id"].get<int32_t>());
  ASSERT_NE(found, g.lines.end()) << c.dump();
  EXPECT_EQ(c["journal"].get<int32_t>(), found->first);
  const BookedSide& side = c["side"] == 1 ? found->second.debit : found->second.credit;
  EXPECT_EQ(c["account"]["id"].get<int32_t>(), side.account);
  EXPECT_EQ(c["tax_class"].get<int>(), side.taxClass);
  EXPECT_EQ(c["business_type"].get<int>(), found->second.businessType);
  if (found->second.rate != 0) {
    EXPECT_EQ(c["rate"].get<int32_t>(), found->second.rate);
  }
  if (figure["section"] == "DATA") {
    CheckDataLine(figure, c);
  } else {
    // The refund statements take lines of non-taxable purchase classes
    // on accounts of their classes.
    EXPECT_TRUE(IsNonTaxablePurchaseClass(static_cast<uint8_t>(side.taxClass)));
    EXPECT_NE(FindRefundStatementClass(g.accountClass.at(side.account)), nullptr);
  }
}

void CheckJournalTrace(const Generated& g, const json& trace) {
  // Each side of a line is one row, whichever walks took it.
  std::set<std::tuple<int64_t, int64_t, int64_t>> sides;
  for (const json& row : trace["lines"]) {
    EXPECT_TRUE(
        sides.insert({row[0].get<int64_t>(), row[1].get<int64_t>(), row[5].get<int64_t>()}).second)
        << row.dump();
  }
  for (const json& figure : trace["figures"]) {
    SCOPED_TRACE(figure["element"].get<std::string>());
    for (const json& entry : figure["contributions"]) {
      const json c = AsObject(trace, entry);
      const std::string kind = c["kind"];
      EXPECT_NE(kind, "saved");
      if (kind == "account") {
        // An account's own sum, or the total of the statement line's class.
        static const std::map<std::string, std::string> kClassTotals = {{"SHOHINSHIIRE1", "cost"},
                                                                        {"HANBAIIPPAN1", "sga"},
                                                                        {"EIGYOGAIHIYOU1", "nonop"},
                                                                        {"SONOTASONEKI1", "other"}};
        const int32_t id = c["account"]["id"];
        EXPECT_EQ(c["account"]["name"],
                  id != 0 ? "account " + std::to_string(id) : kClassTotals.at(figure["element"]));
      }
      if (kind != "line") continue;
      const json line = LineOf(trace, c);
      ASSERT_TRUE(line.contains("line_id")) << c.dump();
      // The amount the figure took is the row's amount of that kind, signed.
      // taken: 0 excluding tax, 1 tax, 2 including tax (their sum).
      const int taken = c["taken"];
      ASSERT_TRUE(taken >= 0 && taken <= 2) << c.dump();
      const int64_t booked =
          (taken != 1 ? Raw(line["amount"]) : 0) + (taken != 0 ? Raw(line["tax"]) : 0);
      EXPECT_EQ(std::abs(Raw(c["amount"])), std::abs(booked)) << line.dump();
      CheckBookedLine(g, figure, line);
    }
  }
}

const TraceRun kGeneratedRun{.user = "U01", .time = "2026-12-09T10:00:00Z"};

// The journal run over a generated data set with a recorder (on threads of
// its own when onThread), its report and trace written into folder: the
// line table into the trace as the run goes when inPlace, else spooled and
// written whole at the end.
void TraceGenerated(const Generated& g, const std::string& folder, bool inPlace, bool onThread,
                    std::string* report, json* trace) {
  const StDATAINFO data = RecordOf(g.wanted);
  TaxSettings settings;
  ASSERT_TRUE(ReadTaxSettings(data, &settings).ok());
  TraceRun run = kGeneratedRun;
  run.startMonth = g.startMonth;
  run.endMonth = g.endMonth;
  TraceFile file(platform::ToWindowsPath(folder + "/trace.json"));
  if (inPlace) {
    ASSERT_TRUE(file.Begin(data, run));
  }
  TraceRecorder recorder(settings.taxIncluded());
  std::string error;
  ASSERT_TRUE(recorder.Open(&error, file.lineTableDescriptor(), onThread)) << error;
  TaxSummaryTables tables;
  AggregationEngine engine(data, g.startMonth, g.endMonth, settings);
  const Status status = engine.Run(ProgressSink::None(), &tables, &recorder, &recorder);
  ASSERT_TRUE(status.ok()) << status.ToString();
  *trace = WriteBoth(ReportInputs{tables, settings, nullptr, 1}, data, run, &recorder, folder,
                     report, &file);
}

TEST(TracePropertyTest, EveryFigureOfGeneratedDataSetsAddsUpToItsLines) {
  const std::string folder = testing::MakeMemoryTempFolder("trace-property");
  int namedFigures = 0;  // sums of figures that name their parts
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    HostFixture host(HostStorage::kMemory);
    const Generated g = Generate(host, seed);
    std::string report;
    json trace;
    // Odd seeds write the line table into the trace as the run goes, even
    // ones spool it and write the trace whole at the end.
    TraceGenerated(g, folder, seed % 2 == 1, false, &report, &trace);
    if (::testing::Test::HasFatalFailure()) break;
    EXPECT_EQ(trace["report"]["time"], kGeneratedRun.time);
    EXPECT_EQ(trace["report"]["sha256"], Sha256Hex(report));
    EXPECT_EQ(trace["report"]["method"], "journals");
    CheckFigures(trace, report, g.wanted.roundingMode);
    CheckJournalTrace(g, trace);
    for (const json& figure : trace["figures"]) {
      for (const json& c : figure["contributions"]) {
        namedFigures += c.is_object() && c["kind"] == "figure";
      }
    }
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(namedFigures, 0);
  std::filesystem::remove_all(folder);
}

// The program records on a thread of its own; the trace must be the bytes
// that recording in turn makes, written in place or whole.
TEST(TracePropertyTest, ATraceRecordedOnItsOwnThreadHasTheSameBytes) {
  const std::string folder = testing::MakeMemoryTempFolder("trace-thread");
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    HostFixture host(HostStorage::kMemory);
    const Generated g = Generate(host, seed);
    std::string traces[2];
    for (int onThread = 0; onThread < 2; ++onThread) {
      const std::string at = folder + "/" + std::to_string(onThread);
      std::filesystem::create_directories(at);
      std::string report;
      json trace;
      TraceGenerated(g, at, seed % 2 == 1, onThread == 1, &report, &trace);
      if (::testing::Test::HasFatalFailure()) return;
      traces[onThread] = ReadAll(at + "/trace.json");
    }
    EXPECT_GT(traces[0].size(), 1000u);
    EXPECT_TRUE(traces[0] == traces[1]) << "the traces differ";
  }
  std::filesystem::remove_all(folder);
}

TEST(TracePropertyTest, SavedReturnFiguresNameTheirMembers) {
  const std::string folder = testing::MakeMemoryTempFolder("trace-saved");
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    HostFixture host(HostStorage::kMemory);
    DataSetSpec wanted;
    wanted.entityKind = seed <= 2 ? 0 : 3;
    wanted.filingClass = seed % 2 == 0 ? 2 : 1;
    wanted.roundingMode = Between(random, 0, 2);
    host.SelectForUser("U01", host.AddDataSet(wanted));
    const StDATAINFO data = RecordOf(wanted);
    TaxSettings settings;
    ASSERT_TRUE(ReadTaxSettings(data, &settings).ok());
    auto saved = std::make_unique<StSaveTaxInfo>();
    std::memset(saved.get(), 0, sizeof(StSaveTaxInfo));
    for (const FormTopic& topic : FormTopics()) {
      for (const FormElement& element : topic.elements) {
        for (uint16_t offset : element.saved.at) {
          const int64_t raw =
              int64_t{Between(random, -9000, 900000)} * kYen + Between(random, 0, 9999);
          if (offset != 0) std::memcpy(reinterpret_cast<char*>(saved.get()) + offset, &raw, 8);
        }
      }
    }
    for (int64_t& amount : saved->refundAmounts)
      amount = int64_t{Between(random, 0, 90000)} * kYen + 5000;
    TaxSummaryTables tables;
    TraceRun run{.startMonth = 4, .endMonth = 3, .savedReturn = true, .user = "U01", .time = ""};
    std::string report;
    const json trace = WriteBoth(ReportInputs{tables, settings, saved.get(), 1}, data, run, nullptr,
                                 folder, &report);
    EXPECT_EQ(trace["report"]["method"], "saved");
    ASSERT_FALSE(trace["figures"].empty());
    CheckFigures(trace, report, wanted.roundingMode);
    for (const json& figure : trace["figures"]) {
      ASSERT_EQ(figure["contributions"].size(), 1u);
      EXPECT_EQ(figure["contributions"][0]["kind"], "saved");
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace taxlink
