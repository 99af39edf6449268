#include "bench/BenchHome.h"

#include <sqlite3.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "aggregation/AggregationEngine.h"
#include "app/HostReads.h"
#include "host/ClDataMgr.h"
#include "host/ClSetShohizei.h"
#include "mvhost/lib/HostSession.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/SqliteHost.h"
#include "mvhost/lib/StoreAdmin.h"
#include "mvhost/lib/StoreRows.h"
#include "platform/text/Encoding.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::bench {

namespace {

constexpr char kDataId[] = "BENCH01";
constexpr char kUserId[] = "U01";
// Bump when the generated data changes, so that cached homes are rebuilt.
constexpr int kGeneratorVersion = 1;

[[noreturn]] void Fail(const std::string& what) { FailBench(what); }

// Text in Shift_JIS, stored as UTF-8 like every text of the store.
std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// A row written by the store's row writer, or the end of the benchmark.
void Written(bool written, const std::string& error) {
  if (!written) Fail("insert failed: " + error);
}

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message != nullptr ? message : "unknown error";
    sqlite3_free(message);
    Fail(sql + ": " + text);
  }
}

std::string Marker(const BenchDataSetShape& shape) {
  return std::to_string(kGeneratorVersion) + ":" + std::to_string(shape.journalLines) + ":" +
         std::to_string(shape.accounts) + ":" + std::to_string(shape.departments);
}

bool HasMarker(sqlite3* db, const std::string& marker) {
  sqlite3_stmt* stmt = nullptr;
  bool found = false;
  if (sqlite3_prepare_v2(db, "SELECT value FROM host_state WHERE key = 'bench_data'", -1, &stmt,
                         nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    found = text != nullptr && marker == reinterpret_cast<const char*>(text);
  }
  sqlite3_finalize(stmt);
  return found;
}

// Account classes: the refund-statement totals with their member classes,
// sales and a balance-sheet class for the counter accounts.
struct ClassRow {
  uint32_t code;
  const char* name;
  uint32_t parent;  // 0: none
  bool total;
};
const ClassRow kClasses[] = {
    {0x10000000, "資産"_sjis, 0, true},
    {0x10800000, "流動資産"_sjis, 0x10000000, false},
    {0x40888000, "売上高"_sjis, 0, true},
    {0x40848000, "営業外収益"_sjis, 0, false},
    {0x40884400, "売上原価"_sjis, 0, true},
    {0x20804000, "仕入高"_sjis, 0x40884400, false},
    {0x20400000, "製造原価"_sjis, 0x40884400, false},
    {0x20200000, "外注費"_sjis, 0x40884400, false},
    {0x40882000, "販売費及び一般管理費"_sjis, 0, true},
    {0x40882040, "販売費"_sjis, 0x40882000, false},
    {0x40882020, "一般管理費"_sjis, 0x40882000, false},
    {0x40882010, "広告宣伝費"_sjis, 0x40882000, false},
    {0x40844000, "営業外費用"_sjis, 0, true},
    {0x40440000, "特別損失"_sjis, 0, true},
    {0x40440040, "固定資産売却損"_sjis, 0x40440000, false},
};

// What a generated line books: the side carrying the tax class, its classes.
enum class LineKind { kSale, kPurchase, kOutside, kReturn, kOtherSale, kImport, kBadDebt };

struct LineMix {
  LineKind kind;
  int weight;  // per 1000 lines
};
const LineMix kMix[] = {
    {LineKind::kSale, 350},  {LineKind::kPurchase, 350}, {LineKind::kOutside, 160},
    {LineKind::kReturn, 60}, {LineKind::kOtherSale, 50}, {LineKind::kImport, 25},
    {LineKind::kBadDebt, 5},
};

// The first day of calendar month (year, month) + offset months.
int32_t DateOf(int kind, int day) {
  // Month kind 1 is April 2014 (closing day 31: kinds follow calendar months).
  int month = 3 + kind;
  int year = 2014;
  if (month > 12) {
    month -= 12;
    year = 2015;
  }
  return year * 10000 + month * 100 + day;
}

void Generate(sqlite3* db, const BenchDataSetShape& shape) {
  Exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
  Exec(db, "BEGIN");
  mvhost::StoreRows rows(db);
  mvhost::DataSetInfo info;
  info.dataNo = 1;
  info.dataId = kDataId;
  info.companyName = Utf8("ベンチマーク商事株式会社"_sjis);
  info.periodStart = 20140401;
  info.periodEnd = 20150331;
  info.interimClosing = true;
  mvhost::TaxSettings settings;  // standard taxation, rounding 1, credit method 0
  Written(rows.DataSet(info, settings), rows.error());
  Written(rows.User(1, {"", kUserId, Utf8("計測担当"_sjis), 1}), rows.error());
  std::string error;
  Written(mvhost::WriteStateEntry(db, "current_user", kUserId, &error), error);

  for (const ClassRow& c : kClasses) {
    mvhost::AccountClass accountClass;
    accountClass.code = c.code;
    accountClass.name = Utf8(c.name);
    if (c.parent != 0) accountClass.parent = c.parent;
    accountClass.total = c.total;
    Written(rows.AccountClass(1, accountClass), rows.error());
  }

  // Accounts 1..9 are balance-sheet counter accounts (cash, receivables,
  // payables); the rest spread over the profit-and-loss classes.
  std::mt19937 random(20140401);
  const int counterAccounts = 9;
  std::vector<int> salesAccounts;
  std::vector<int> costAccounts;
  {
    const size_t classCount = sizeof(kClasses) / sizeof(kClasses[0]);
    for (int id = 1; id <= shape.accounts; ++id) {
      uint32_t classCode = 0x10800000;
      int balanceSide = 1;
      if (id > counterAccounts) {
        const ClassRow& c = kClasses[2 + random() % (classCount - 2)];
        classCode = c.code;
        balanceSide = (classCode == 0x40888000 || classCode == 0x40848000) ? 2 : 1;
        (balanceSide == 2 ? salesAccounts : costAccounts).push_back(id);
      }
      char code[16];
      std::snprintf(code, sizeof(code), "%04d", id * 10);
      std::string name =
          (id <= counterAccounts ? "預金"_sjis : "勘定科目"_sjis) + std::to_string(id);
      mvhost::Account account;
      account.code = code;
      account.name = Utf8(name);
      account.classCode = classCode;
      account.balanceSide = balanceSide;
      account.refundFlag1 = random() % 10 == 0 ? 1 : 0;
      account.refundFlag2 = random() % 20 == 0 ? 1 : 0;
      Written(rows.Account(1, id, account), rows.error());
    }
  }
  if (salesAccounts.empty() || costAccounts.empty()) Fail("too few accounts for the line mix");
  for (int code = 1; code <= shape.departments; ++code) {
    mvhost::Department department;
    department.code = code;
    department.name = Utf8("部門"_sjis + std::to_string(code));
    department.incomeKind = 1 + code % 3;
    Written(rows.Department(1, department), rows.error());
  }
  for (int id = 1; id <= 200; ++id) {
    mvhost::FixedAsset asset;
    asset.code = "A" + std::to_string(id);
    asset.name = Utf8("固定資産"_sjis + std::to_string(id));
    asset.kind = id % 25 == 0 ? 9 : 1;
    asset.acquisitionDate = DateOf(1 + id % 12, 1 + id % 28);
    asset.acquisitionAmount = static_cast<int64_t>(100000 + random() % 5000000) * 10000;
    Written(rows.FixedAsset(1, id, asset), rows.error());
  }

  auto pick = [&](const std::vector<int>& from) { return from[random() % from.size()]; };
  for (int32_t id = 1; id <= shape.journalLines; ++id) {
    // Month kinds 1..12 and the two closing adjustments.
    int roll = static_cast<int>(random() % 1000);
    int kind = 1 + static_cast<int>(random() % 12);
    int32_t date = DateOf(kind, 1 + static_cast<int>(random() % 28));
    if (roll < 15) {
      kind = 15;
      date = 20140930;
    } else if (roll < 30) {
      kind = 18;
      date = 20150331;
    }
    // The rate: mostly 8 % given or implied by the date, some transitional.
    int rateRoll = static_cast<int>(random() % 100);
    int rate = rateRoll < 85 ? 800 : rateRoll < 92 ? 0 : rateRoll < 97 ? 500 : 300;
    int effective = rate == 0 ? 800 : rate;

    int mixRoll = static_cast<int>(random() % 1000);
    LineKind lineKind = LineKind::kSale;
    for (const LineMix& m : kMix) {
      if (mixRoll < m.weight) {
        lineKind = m.kind;
        break;
      }
      mixRoll -= m.weight;
    }
    int64_t amount = static_cast<int64_t>(1000 + random() % 4999000) * 10000;
    int64_t tax = amount / 10000 * effective / 10000 * 10000;
    int debitAccount = 1 + static_cast<int>(random() % counterAccounts);
    int creditAccount = 1 + static_cast<int>(random() % counterAccounts);
    int debitClass = 0;
    int creditClass = 0;
    int64_t debitTax = 0;
    int64_t creditTax = 0;
    int businessType = 0;
    switch (lineKind) {
      case LineKind::kSale:
        creditAccount = pick(salesAccounts);
        creditClass = 1;
        creditTax = tax;
        businessType = 1 + static_cast<int>(random() % 5);
        break;
      case LineKind::kPurchase: {
        debitAccount = pick(costAccounts);
        int r = static_cast<int>(random() % 10);
        debitClass = r < 7 ? 21 : r < 8 ? 22 : r < 9 ? 23 : 24;
        debitTax = debitClass == 24 ? 0 : tax;
        break;
      }
      case LineKind::kOutside:
        debitAccount = pick(costAccounts);
        debitClass = random() % 2 == 0 ? 0 : 40;
        break;
      case LineKind::kReturn:
        if (random() % 2 == 0) {
          debitAccount = pick(salesAccounts);
          debitClass = 6;
          debitTax = tax;
          businessType = 1 + static_cast<int>(random() % 5);
        } else {
          creditAccount = pick(costAccounts);
          creditClass = 25 + static_cast<int>(random() % 3);
          creditTax = tax;
        }
        break;
      case LineKind::kOtherSale:
        creditAccount = pick(salesAccounts);
        creditClass = 2 + static_cast<int>(random() % 4);  // 2..5
        break;
      case LineKind::kImport: {
        debitAccount = pick(costAccounts);
        int r = static_cast<int>(random() % 20);
        debitClass = r < 8 ? 41 : r < 14 ? 34 : r < 19 ? 30 : 31;
        break;
      }
      case LineKind::kBadDebt:
        debitAccount = pick(costAccounts);
        debitClass = 10;
        debitTax = tax;
        break;
    }
    // A line books one side only now and then (a compound journal's lines).
    bool debitOnly = random() % 50 == 0 && creditClass == 0;
    int dept = static_cast<int>(random() % (shape.departments + 1));
    mvhost::JournalLine line;
    line.journalNo = (id + 1) / 2;
    line.date = date;
    line.monthKind = kind;
    line.debit = {"", dept, amount, debitTax, debitClass};
    line.credit = {"", dept, amount, creditTax, creditClass};
    line.businessType = businessType;
    line.description = Utf8("取引"_sjis + std::to_string(id % 997));
    Written(rows.JournalLine(1, id, line, debitAccount, debitOnly ? 0 : creditAccount, rate),
            rows.error());
  }
  Written(mvhost::WriteStateEntry(db, "bench_data", Marker(shape), &error), error);
  Exec(db, "COMMIT");
  // No ANALYZE: the host's own stores have no statistics either, and the
  // plans measured here must be the ones they get.
  Exec(db, "PRAGMA journal_mode = DELETE");
}

}  // namespace

std::string BenchDataFolder() {
  const char* configured = std::getenv("TAXLINK_BENCH_DATA");
  return configured != nullptr && *configured != '\0' ? configured : TAXLINK_BENCH_DATA_DIR;
}

bool IsLineCount(const std::string& argument) {
  if (argument.empty() || argument.size() > 9 || argument[0] == '0') return false;
  for (char c : argument) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void CheckBenchArguments(int argc, char** argv, const char* usage,
                         bool (*accept)(const std::string& argument)) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::printf("%s\nThe data sets are generated into %s (TAXLINK_BENCH_DATA).\n", usage,
                  BenchDataFolder().c_str());
      std::exit(0);
    }
  }
  for (int i = 1; i < argc; ++i) {
    if (!accept(argv[i])) {
      std::fprintf(stderr, "%s: unknown argument %s\n%s", argv[0], argv[i], usage);
      std::exit(2);
    }
  }
}

void BenchHome::Activate() const {
  mvhost::RegisterSqliteHost();
  ::setenv("MVHOST_HOME", home.c_str(), 1);
}

const BenchHome& CachedBenchHome(const BenchDataSetShape& shape) {
  static std::map<std::string, std::unique_ptr<BenchHome>> homes;
  std::string marker = Marker(shape);
  auto found = homes.find(marker);
  if (found != homes.end()) {
    found->second->Activate();
    return *found->second;
  }
  auto bench = std::make_unique<BenchHome>();
  bench->home = BenchDataFolder() + "/lines-" + std::to_string(shape.journalLines);
  bench->dataId = kDataId;
  bench->journalLines = shape.journalLines;

  mvhost::HostStore store;
  std::string error;
  if (!store.Create(bench->home, &error)) Fail(error);
  if (!HasMarker(store.db(), marker)) {
    // Start from an empty store: a half-generated one is thrown away.
    store.Close();
    std::string path = bench->home + "/host.db";
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) Fail("cannot remove " + path);
    if (!store.Create(bench->home, &error)) Fail(error);
    std::fprintf(stderr, "bench data: generating %d journal lines in %s ...\n", shape.journalLines,
                 bench->home.c_str());
    // (<chrono> does not compile with the program's execution character set.)
    timespec started{};
    timespec ended{};
    ::clock_gettime(CLOCK_MONOTONIC, &started);
    Generate(store.db(), shape);
    ::clock_gettime(CLOCK_MONOTONIC, &ended);
    double seconds = static_cast<double>(ended.tv_sec - started.tv_sec) +
                     static_cast<double>(ended.tv_nsec - started.tv_nsec) / 1e9;
    std::fprintf(stderr, "bench data: generated in %.1f s\n", seconds);
  }
  // What an import builds with the lines: the host's derived journal data.
  {
    timespec started{};
    timespec ended{};
    ::clock_gettime(CLOCK_MONOTONIC, &started);
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(store.db(), "SELECT data_no FROM data_set", -1, &find, nullptr);
    while (sqlite3_step(find) == SQLITE_ROW) {
      if (mvhost::JournalDerived::Ensure(store.db(), sqlite3_column_int(find, 0)) != 0) {
        Fail("cannot build the derived journal data");
      }
    }
    sqlite3_finalize(find);
    ::clock_gettime(CLOCK_MONOTONIC, &ended);
    double seconds = static_cast<double>(ended.tv_sec - started.tv_sec) +
                     static_cast<double>(ended.tv_nsec - started.tv_nsec) / 1e9;
    if (seconds > 0.5) std::fprintf(stderr, "bench data: derived data built in %.1f s\n", seconds);
  }
  store.Close();

  bench->Activate();
  mvhost::HostSession::Close();
  if (!LoadSelectedDataSet(&bench->dataSet).ok()) Fail("the host does not hand out the data set");
  bench->dataNo = bench->dataSet.dataNo;
  auto inserted = homes.emplace(marker, std::move(bench));
  return *inserted.first->second;
}

void FailBench(const std::string& what) {
  std::fprintf(stderr, "bench data: %s\n", what.c_str());
  std::exit(2);
}

bool PrepareJournalAggregation(const BenchHome& home, TaxSettings* settings) {
  if (!ReadTaxSettings(home.dataSet, settings).ok()) return false;
  settings->record.filingClass = 2;
  return true;
}

Status RunJournalPasses(const BenchHome& home, const TaxSettings& settings,
                        TaxSummaryTables* tables, int startMonth, int endMonth,
                        ProgressSink& progress) {
  AggregationEngine engine(home.dataSet, startMonth, endMonth, settings);
  return engine.Run(progress, tables);
}

}  // namespace taxlink::bench
