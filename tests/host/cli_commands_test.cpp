// The mvhost commands other than launch, run as the executable.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "resources/StringResources.h"

namespace {

struct CommandResult {
  int exitCode;
  std::string out;  // standard output
  std::string err;  // standard error
};

class CliCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mvhost_ = std::string(TAXLINK_BINARY_DIR) + "/bin/mvhost";
    ASSERT_EQ(::access(mvhost_.c_str(), X_OK), 0) << "build the mvhost target first";
    home_ = (std::filesystem::temp_directory_path() / ("mvhost-cli-" + std::to_string(::getpid())))
                .string();
    std::filesystem::remove_all(home_);
  }
  void TearDown() override { std::filesystem::remove_all(home_); }

  // Runs "mvhost --home HOME ARGS".
  CommandResult Mvhost(const std::string& args) {
    return Run(mvhost_ + " --home " + home_ + " " + args);
  }

  // Runs a shell command line.
  CommandResult Run(const std::string& line) {
    std::string errFile = home_ + ".err";
    std::string command = line + " 2>" + errFile;
    CommandResult result{-1, "", ""};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::ostringstream text;
    text << err.rdbuf();
    result.err = text.str();
    std::remove(errFile.c_str());
    return result;
  }

  static std::string Example(const char* file) {
    return std::string(TAXLINK_SOURCE_DIR) + "/examples/" + file;
  }

  std::string mvhost_;
  std::string home_;
};

TEST_F(CliCommandsTest, CommandsNeedAnInitialisedHome) {
  CommandResult r = Mvhost("list");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "mvhost: no host store in " + home_ + " (run mvhost init)\n");
  r = Mvhost("init");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "host home ready: " + home_ + "\n");
  EXPECT_TRUE(std::filesystem::exists(home_ + "/host.db"));
  EXPECT_EQ(Mvhost("init").exitCode, 0);  // again: nothing lost
  r = Mvhost("export");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "mvhost: the store holds no data set\n");
}

TEST_F(CliCommandsTest, ImportExportThroughFilesIsStable) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  CommandResult r = Mvhost("import " + Example("standard-corporation/sakura.json"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "imported data set 1 from " + Example("standard-corporation/sakura.json") +
                       "\ncurrent user: sakura (the home had none)\n");
  CommandResult first = Mvhost("export");  // the only data set
  ASSERT_EQ(first.exitCode, 0) << first.err;
  std::string path = home_ + "/first.json";
  std::ofstream(path, std::ios::binary) << first.out;
  r = Mvhost("import " + path);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "mvhost: " + path +
                       ": data_set.data_no: data set 1 already exists (import with --replace to "
                       "replace it)\n");
  ASSERT_EQ(Mvhost("import --replace " + path).exitCode, 0);
  CommandResult second = Mvhost("export 1");
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(Mvhost("export 2").err, "mvhost: no data set 2\n");
}

TEST_F(CliCommandsTest, ListSelectAndDefaultExport) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  ASSERT_EQ(Mvhost("import " + Example("simplified-corporation/midori.json")).exitCode, 0);
  ASSERT_EQ(Mvhost("import " + Example("individual/aoba.json")).exitCode, 0);
  ASSERT_EQ(Mvhost("state current_user ''").exitCode, 0);
  EXPECT_EQ(Mvhost("export").err,
            "mvhost: no data set is selected and the store holds several: name one (see mvhost "
            "list)\n");
  CommandResult r = Mvhost("select clerk 3");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "user clerk selects data set 3\n");
  EXPECT_EQ(Mvhost("select clerk 8").err, "mvhost: no data set 8\n");
  ASSERT_EQ(Mvhost("state current_user clerk").exitCode, 0);
  r = Mvhost("export");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"data_no\": 3,"), std::string::npos);
  // The user now selects data set 3, so its export lists the user.
  EXPECT_NE(r.out.find("\"id\": \"clerk\""), std::string::npos);

  r = Mvhost("list");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("data sets:\n  2  MIDORI2014  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  3  AOBA2014  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  clerk    selects 3 (first number 0)  current\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  midori  "), std::string::npos) << r.out;
}

TEST_F(CliCommandsTest, StateKeysAndValues) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  ASSERT_EQ(Mvhost("import " + Example("simplified-corporation/midori.json")).exitCode, 0);
  struct {
    const char* args;
    int exitCode;
    const char* out;
    const char* err;
  } cases[] = {
      {"state", 0, "current_user midori\n", ""},
      {"state edition Alto", 0, "edition Alto\n", ""},
      {"state edition 4", 0, "edition 4\n", ""},
      {"state edition Gold", 1, "",
       "mvhost: edition must be Alto, Std, Serena or an application type number: Gold\n"},
      {"state link busy", 0, "link busy\n", ""},
      {"state link shut", 1, "", "mvhost: link must be open, closed or busy: shut\n"},
      {"state colour red", 1, "",
       "mvhost: unknown state key colour (edition, link, current_user)\n"},
      // Only a user of the store can be current: any other stops every launch.
      {"state current_user ghost", 1, "",
       "mvhost: no user ghost in the store (users: midori); mvhost select USER DATA-NUMBER adds "
       "one\n"},
      // The import's rules for user ids: none that would read as another
      // user's remembered record, none the host's record cannot hold.
      {"select sakura/1 2", 1, "",
       "mvhost: user sakura/1: id holds \"/\"; an id may hold no \"/\", \":\" or control "
       "character\n"},
      {"select 'ev\nsakura' 2", 1, "",
       "mvhost: user ev\nsakura: id holds U+000A; an id may hold no \"/\", \":\" or control "
       "character\n"},
      {"select uuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuu 2", 1, "",
       "mvhost: user uuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuu: text "
       "longer than 64 Shift_JIS bytes: "
       "uuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuu\n"},
      {"state current_user a:b", 1, "",
       "mvhost: current_user a:b: id holds \":\"; an id may hold no \"/\", \":\" or control "
       "character\n"},
      {"select clerk 2", 0, "user clerk selects data set 2\n", ""},
      {"state current_user clerk", 0, "current_user clerk\n", ""},
      {"state", 0, "current_user clerk\nedition 4\nlink busy\n", ""},
      {"state link ''", 0, "link removed\n", ""},
      {"state", 0, "current_user clerk\nedition 4\n", ""},
      {"state edition", 0, "4\n", ""},
      {"state link", 1, "", "mvhost: link is not set\n"},
      {"state colour", 1, "", "mvhost: unknown state key colour (edition, link, current_user)\n"},
  };
  for (const auto& c : cases) {
    CommandResult r = Mvhost(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_EQ(r.out, c.out) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
}

// Usage errors exit 2 with one "mvhost:" line and the usage of the command
// (of every command when none was named); --home goes before or after it.
TEST_F(CliCommandsTest, UsageErrorsAndTheHomeOption) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  const std::string kImportOptions =
      "[--replace] [--encoding ENCODING] [--csv-encoding ENCODING] [--warnings all|none]";
  const std::string kCheckOptions = "[DATA-NUMBER] [--months S-E] [--json]";
  const std::string kLaunchOptions =
      "EDITION [--function-id N] [--path TEXT] [--program PATH] [--sheet]";
  const std::string kBatchOptions =
      "--out DIR (--months S-E | --whole-period) [--method journals|saved] [--edition "
      "Alto|Std|Serena] [--overwrite] [-j N] [--resume] [--no-findings] [--program PATH] "
      "(DATA-NUMBER... | --all)";
  const std::string all =
      "usage: mvhost [--home DIR] init\n"
      "       mvhost [--home DIR] import " +
      kImportOptions +
      " FILE.json\n"
      "       mvhost [--home DIR] export [DATA-NUMBER] [--journals-csv FILE]\n"
      "       mvhost [--home DIR] check " +
      kCheckOptions +
      "\n"
      "       mvhost [--home DIR] list\n"
      "       mvhost [--home DIR] select USER DATA-NUMBER\n"
      "       mvhost [--home DIR] state [KEY [VALUE]]\n"
      "       mvhost [--home DIR] launch " +
      kLaunchOptions +
      "\n"
      "       mvhost [--home DIR] batch " +
      kBatchOptions +
      "\n"
      "       mvhost [--home DIR] runs [--data DATA-NUMBER] [--json]\n"
      "       mvhost --help | --version\n";
  struct {
    const char* args;  // after "mvhost"
    int exitCode;
    std::string err;
  } cases[] = {
      {"", 2, "mvhost: no command given\n" + all},
      {"frob", 2, "mvhost: unknown command frob\n" + all},
      {"--home /nowhere frob", 2, "mvhost: unknown command frob\n" + all},
      {"import", 2,
       "mvhost: FILE is required\nusage: mvhost [--home DIR] import " + kImportOptions +
           " FILE.json\n"},
      {"import --csv-encoding latin1 a.json", 2,
       "mvhost: --csv-encoding: unknown encoding latin1 (utf-8, or cp932 also named shift_jis, "
       "sjis, windows-31j)\nusage: mvhost [--home DIR] import " +
           kImportOptions + " FILE.json\n"},
      {"check --months 4-13", 2,
       "mvhost: --months: not a range of calendar months S-E (1 to 12): 4-13\nusage: mvhost "
       "[--home DIR] check " +
           kCheckOptions + "\n"},
      {"select clerk", 2,
       "mvhost: DATA-NUMBER is required\nusage: mvhost [--home DIR] select USER DATA-NUMBER\n"},
      {"list extra", 2,
       "mvhost: The following argument was not expected: extra\nusage: mvhost [--home DIR] "
       "list\n"},
      {"launch Alto --function-id 40000", 2,
       "mvhost: --function-id: Value 40000 not in range -32768 to 32767\nusage: mvhost [--home "
       "DIR] launch " +
           kLaunchOptions + "\n"},
      {"batch --all", 2,
       "mvhost: --out is required\nusage: mvhost [--home DIR] batch " + kBatchOptions + "\n"},
      {"list", 1, "mvhost: no host home given (use --home DIR or set MVHOST_HOME)\n"},
  };
  for (const auto& c : cases) {
    std::string command = mvhost_ + " " + c.args;
    CommandResult r = Run("env -u MVHOST_HOME " + command);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  CommandResult version = Run(mvhost_ + " --version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, std::string("mvhost ") + taxlink::LoadStringResource(1) + "\n");
  // --home after the command.
  CommandResult after = Run("env -u MVHOST_HOME " + mvhost_ + " list --home " + home_);
  EXPECT_EQ(after.exitCode, 0) << after.err;
  EXPECT_EQ(after.out, "data sets:\nusers:\n");
}

// The import prints the first five findings of the bookkeeping check and a
// count per rule; check prints them all, exits 1 when it has any and 3 when
// it cannot check.
TEST_F(CliCommandsTest, ImportWarningsAndCheck) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  std::string journals;
  for (int j = 1; j <= 7; ++j) {
    journals += std::string(j == 1 ? "" : ",") + R"({"journal": )" + std::to_string(j) +
                R"(, "date": "2014-04-02", "month": 1,
       "debit": {"account": "111", "amount": 2, "tax_class": 0},
       "credit": {"account": "511", "amount": 1, "tax_class": 3}})";
  }
  const std::string path = home_ + "/kiri.json";
  std::ofstream(path) << R"({"format": "mvhost-data-1",
    "data_set": {"data_no": 5, "data_id": "KIRI", "company_name": "Kiri",
                 "period_start": "2014-04-01", "period_end": "2015-03-31"},
    "accounts": [{"code": "111", "name": "Cash", "class": 1},
                 {"code": "511", "name": "Sales", "class": 2, "balance_side": "credit"}],
    "journals": [)" + journals +
                             "]}";
  auto finding = [&](int journal, const std::string& place) {
    return place + ":journal " + std::to_string(journal) + "/" +
           (place == path ? "journals[" + std::to_string(journal - 1) + "]"
                          : "line " + std::to_string(journal)) +
           ": unbalanced-journal: the debit total 2 and the credit total 1 differ by 1; correct "
           "the lines so that both sides agree\n";
  };
  CommandResult r = Mvhost("import " + path);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::string warnings;
  for (int j = 1; j <= 5; ++j) warnings += "mvhost: warning: " + finding(j, path);
  EXPECT_EQ(r.err, warnings +
                       "mvhost: warning: 7 findings of the bookkeeping check "
                       "(unbalanced-journal 7); the first 5 are shown, mvhost check 5 "
                       "lists them all\n");
  r = Mvhost("import --replace --warnings none " + path);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  r = Mvhost("import --replace --warnings all " + path);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 8);

  r = Mvhost("check 5");
  EXPECT_EQ(r.exitCode, 1);
  std::string all;
  for (int j = 1; j <= 7; ++j) all += finding(j, "data set 5");
  EXPECT_EQ(r.out, all);
  EXPECT_EQ(r.err, "");
  r = Mvhost("check --months 5-3 --json");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "[]\n");
  r = Mvhost("check --months 4-4 --json");
  EXPECT_EQ(r.exitCode, 1);
  const std::string first =
      "[\n{\"place\":\"data set 5:journal 1/line 1\",\"source\":\"data set 5\",\"journal\":1,"
      "\"item\":\"line 1\",\"rule\":\"unbalanced-journal\",";
  EXPECT_EQ(r.out.substr(0, first.size()), first);
  EXPECT_EQ(r.out.substr(r.out.size() - 4), "}\n]\n");
  r = Mvhost("check 6");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "mvhost: no data set 6\n");
  r = Mvhost("check --months 3-4");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
            "mvhost: months 3-4: the period 2014-04-01..2015-03-31 of data set 5 runs from month 4 "
            "to month 3; give two of its months, the first not after the second");
}

}  // namespace

namespace {

// The one text a query yields, or SQLite's error.
std::string Query(const std::string& dbPath, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string text;
  if (sqlite3_open(dbPath.c_str(), &db) == SQLITE_OK) {
    char* error = nullptr;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "NULL";
          return 0;
        },
        &text, &error);
    if (error != nullptr) text = error;
    sqlite3_free(error);
  }
  sqlite3_close(db);
  return text;
}

// A home made before the run log and the import times: the first command
// adds both and keeps the data; a later import records its time.
TEST_F(CliCommandsTest, AnOlderStoreIsUpgradedWhenOpened) {
  ASSERT_EQ(Mvhost("init").exitCode, 0);
  ASSERT_EQ(Mvhost("import " + Example("standard-corporation/sakura.json")).exitCode, 0);
  const std::string db = home_ + "/host.db";
  ASSERT_EQ(Query(db, "DROP TABLE run_log; ALTER TABLE data_set DROP COLUMN imported_at;"), "");
  CommandResult runs = Mvhost("runs");
  EXPECT_EQ(runs.exitCode, 0) << runs.err;
  EXPECT_EQ(runs.out, "");
  EXPECT_EQ(Query(db, "SELECT data_id || '|' || imported_at FROM data_set"), "SAKURA2014|0");
  ASSERT_EQ(Mvhost("import --replace " + Example("standard-corporation/sakura.json")).exitCode, 0);
  EXPECT_NE(Query(db, "SELECT imported_at FROM data_set"), "0");
}

}  // namespace
