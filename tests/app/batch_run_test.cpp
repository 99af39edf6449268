// `mvhost batch` end to end: the real programs run for every client of a
// home, answered by the host; the index, the reports, the run log and the
// remembered records are read back.

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "mvhost/cli/BatchIndex.h"
#include "mvhost/cli/BatchScript.h"
#include "platform/text/Encoding.h"
#include "platform/winfs/PathMapping.h"
#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"
#include "trace/Sha256.h"

namespace taxlink::testing {
namespace {

struct Command {
  int exitCode = -1;
  std::string output;  // standard output and error
};

// Journals of October with a tax of 5 % booked at 8 %: one tax-mismatch
// finding each.
nlohmann::json MismatchedJournals(int count) {
  nlohmann::json journals = nlohmann::json::array();
  for (int journal = 1; journal <= count; ++journal) {
    journals.push_back(
        {{"journal", journal},
         {"date", "2014-10-15"},
         {"month", 7},
         {"debit", {{"account", "152"}, {"amount", 105000}, {"tax_class", 0}}},
         {"credit", {{"account", "511"}, {"amount", 100000}, {"tax", 5000}, {"tax_class", 1}}},
         {"rate", 8}});
  }
  return journals;
}

FILE* Start(const std::string& line) { return ::popen((line + " 2>&1").c_str(), "r"); }

Command Finish(FILE* pipe) {
  Command run;
  char buffer[512];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A command in a process group of its own (as a shell's job), its output
// to `log`: the test can send it a terminal's Ctrl+C.
pid_t StartJob(const std::string& line, const std::string& log) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    std::freopen(log.c_str(), "w", stdout);
    ::dup2(STDOUT_FILENO, STDERR_FILENO);
    const std::string job = "exec env " + line;  // the signal goes to the command, not a shell
    ::execl("/bin/sh", "sh", "-c", job.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::setpgid(pid, pid);
  return pid;
}

int WaitJob(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A command on a terminal of its own: everything it wrote there.
Command OnTerminal(const std::string& line) {
  int terminal = -1;
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 120;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, &size);
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  Command run;
  char buffer[512];
  // The terminal reports EIO once the command and its children are gone.
  for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) {
    run.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(terminal);
  run.exitCode = WaitJob(pid);
  return run;
}

std::string Utf8(const char* cp932) { return platform::Cp932ToUtf8(cp932); }

class BatchRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    out_ = Program().workFolder() + "/batch";
    ASSERT_EQ(Mvhost("init").exitCode, 0);
  }

  std::string Prefix() const {
    return "MVHOST_HOME='" + host_.Home() + "' '" + BinaryFolder() + "/mvhost' ";
  }
  Command Mvhost(const std::string& args) const { return Finish(Start(Prefix() + args)); }
  // A batch into the test's folder with the test's copy of the program.
  std::string BatchLine(const std::string& args) {
    return Prefix() + "batch --out '" + out_ + "' --program '" + Program().programFolder() +
           "/TaxLinkAlto' " + args;
  }

  void Import(const std::string& file) {
    Command run = Mvhost("import --warnings none '" + file + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }

  // A variant of the standard-corporation example under another number.
  void ImportVariant(int dataNo, const std::string& id, const std::string& user,
                     const std::function<void(nlohmann::json&)>& change) {
    const std::string examples = std::string(TAXLINK_SOURCE_DIR) + "/examples/standard-corporation";
    nlohmann::json set = nlohmann::json::parse(ReadFileBytes(examples + "/sakura.json"));
    set["data_set"]["data_no"] = dataNo;
    set["data_set"]["data_id"] = id;
    set["users"] = nlohmann::json::array({{{"id", user}, {"name", user}}});
    set["journals_csv"] = examples + "/journals.csv";
    change(set);
    const std::string file = Program().workFolder() + "/" + id + ".json";
    std::ofstream(file, std::ios::binary) << set.dump();
    Import(file);
  }

  std::map<std::string, mvhost::ClientResult> IndexRows() const {
    std::map<std::string, mvhost::ClientResult> rows;
    for (const auto& row : mvhost::BatchIndex::ParseCsv(ReadFileBytes(out_ + "/index.csv"))) {
      rows[row.dataId] = row;
    }
    return rows;
  }

  std::set<std::string> FolderNames() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  std::string out_;
};

const char* const kExamples[] = {"standard-corporation/sakura.json",
                                 "simplified-corporation/midori.json", "individual/aoba.json"};

TEST_F(BatchRunTest, WritesTheExamplesAndRecordsTheRefusals) {
  for (const char* example : kExamples) {
    Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example);
  }
  ImportVariant(4, "EXEMPT", "exempt",
                [](nlohmann::json& s) { s["tax_settings"]["filing_class"] = 0; });
  ImportVariant(5, "PAST", "past", [](nlohmann::json& s) { s["data_set"]["record_kind"] = 99; });
  // A year from April 2019 with one sale at 10 % in October.
  ImportVariant(6, "TEN", "ten", [](nlohmann::json& s) {
    s["data_set"]["period_start"] = "2019-04-01";
    s["data_set"]["period_end"] = "2020-03-31";
    s["tax_rates"] = {10, 8};
    s.erase("journals_csv");
    s.erase("fixed_assets");
    s["journals"] = nlohmann::json::array(
        {{{"journal", 1},
          {"date", "2019-10-15"},
          {"month", 7},
          {"debit", {{"account", "152"}, {"amount", 1100000}, {"tax_class", 0}}},
          {"credit", {{"account", "511"}, {"amount", 1000000}, {"tax", 100000}, {"tax_class", 1}}},
          {"rate", 10}}});
  });
  const std::string userBefore = Mvhost("state current_user").output;

  Command batch = Finish(Start(BatchLine("--all --whole-period -j 2")));
  EXPECT_EQ(batch.exitCode, 1) << batch.output;

  // The written reports are those of single launches (the golden files).
  std::map<std::string, mvhost::ClientResult> rows = IndexRows();
  ASSERT_EQ(rows.size(), 6u) << batch.output;
  for (const auto& [id, golden] : std::map<std::string, std::string>{
           {"SAKURA2014", "sakura"}, {"MIDORI2014", "midori"}, {"AOBA2014", "aoba"}}) {
    SCOPED_TRACE(id);
    const mvhost::ClientResult& row = rows[id];
    EXPECT_EQ(row.status, "written") << row.message;
    const std::string report = ReadFileBytes(out_ + "/" + id + ".xml");
    EXPECT_EQ(report, ReadFileBytes(std::string(TAXLINK_SOURCE_DIR) + "/tests/app/golden/" +
                                    golden + ".xml"));
    EXPECT_EQ(row.reportSha256, Sha256Hex(report));
    EXPECT_EQ(row.reportSize, static_cast<int64_t>(report.size()));
    EXPECT_EQ(row.sheet, id + ".html");
    EXPECT_TRUE(row.findings.has_value());
    ASSERT_TRUE(row.figures.has_value());
  }
  // Key figures as the sakura report has them.
  EXPECT_EQ(rows["SAKURA2014"].figures->sales[0], 48512000);
  EXPECT_EQ(rows["SAKURA2014"].figures->salesTax[0], 3880960);
  EXPECT_EQ(rows["SAKURA2014"].figures->sales[2], 200000);
  EXPECT_FALSE(rows["SAKURA2014"].figures->purchasesExceedSales);

  const std::string ends = Utf8("\n\nアプリケーションを終了します。"_sjis);
  const std::map<std::string, std::string> refusals = {
      {"EXEMPT",
       Utf8("消費税申告区分が免税のデータは、連携の対象として使用できません。"_sjis) + ends},
      {"PAST", Utf8("過去実績データは、連携の対象として使用できません。"_sjis) + ends},
      {"TEN",
       Utf8(
           "集計範囲に税率「10%」の仕訳があるため、集計できません。\n\n"
           "※消費税率「10%」の仕訳の集計は、今後提供予定の連動コンポーネントにて対応します。"_sjis)}};
  for (const auto& [id, message] : refusals) {
    EXPECT_EQ(rows[id].status, "refused") << id;
    EXPECT_EQ(rows[id].message, message) << id;
    EXPECT_EQ(rows[id].report, "") << id;
  }

  EXPECT_EQ(Mvhost("state current_user").output, userBefore);
  // The runs are in the run log, with the report's SHA-256.
  nlohmann::json runs = nlohmann::json::parse(Mvhost("runs --data 1 --json").output);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["via"], "batch");
  EXPECT_EQ(runs[0]["user"], "sakura");
  EXPECT_EQ(runs[0]["sha256"], rows["SAKURA2014"].reportSha256);
  EXPECT_NE(ReadFileBytes(out_ + "/index.html").find("href=\"./SAKURA2014.xml\""),
            std::string::npos);
}

TEST_F(BatchRunTest, TwoBatchesAtOnceLoseNothing) {
  for (const char* example : kExamples) {
    Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example);
  }
  FILE* first = Start(BatchLine("--whole-period --overwrite -j 2 1 2 3"));
  FILE* second = Start(BatchLine("--whole-period --overwrite -j 2 3 2"));
  Command a = Finish(first);
  Command b = Finish(second);
  EXPECT_EQ(a.exitCode, 0) << a.output;
  EXPECT_EQ(b.exitCode, 0) << b.output;

  std::map<std::string, mvhost::ClientResult> rows = IndexRows();
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& [id, row] : rows) {
    EXPECT_EQ(row.status, "written") << id << ": " << row.message;
    EXPECT_EQ(row.reportSha256, Sha256Hex(ReadFileBytes(out_ + "/" + id + ".xml")));
  }
  // Every run remembered its conditions under the batch's user and data set.
  const std::string remembered = ReadFileBytes(host_.Home() + "/folders/app/TaxLinkAlto.env");
  for (const char* key : {"sakura/1/1:0/4/3/", "sakura/1/2:0/4/3/", "sakura/1/3:0/1/12/"}) {
    EXPECT_NE(remembered.find(key), std::string::npos) << key << " in\n" << remembered;
  }
}

// Merges remember the rows they wrote: one made after another batch merged
// must read that batch's rows again, and the files must be what a merge from
// scratch writes.
TEST_F(BatchRunTest, IndexMergesKeepAnotherBatchsRows) {
  std::filesystem::create_directories(out_);
  auto row = [](int32_t dataNo, const std::string& id, const std::string& status) {
    mvhost::ClientResult result;
    result.dataNo = dataNo;
    result.dataId = id;
    result.status = status;
    result.message = "a, \"quoted\"\nmessage <b>";
    return result;
  };
  mvhost::BatchIndex first(out_);
  mvhost::BatchIndex second(out_);
  std::string error;
  ASSERT_TRUE(first.Merge({row(3, "C3", "written"), row(1, "C1", "failed")}, &error)) << error;
  ASSERT_TRUE(second.Merge({row(2, "C2", "written"), row(1, "C1", "written")}, &error)) << error;
  ASSERT_TRUE(first.Merge({row(4, "C4", "refused")}, &error)) << error;
  ASSERT_TRUE(first.Merge({row(0, "C0", "written")}, &error)) << error;

  const std::vector<mvhost::ClientResult> rows = first.Read();
  std::vector<std::string> seen;
  seen.reserve(rows.size());
  for (const mvhost::ClientResult& result : rows)
    seen.push_back(result.dataId + ":" + result.status);
  EXPECT_EQ(seen, (std::vector<std::string>{"C0:written", "C1:written", "C2:written", "C3:written",
                                            "C4:refused"}));
  EXPECT_EQ(ReadFileBytes(first.CsvPath()), mvhost::BatchIndex::CsvText(rows));
  EXPECT_EQ(ReadFileBytes(first.HtmlPath()), mvhost::BatchIndex::HtmlText(rows));
}

TEST_F(BatchRunTest, ResumeLeavesReportsNewerThanTheirData) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[0]);
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[1]);
  // Import times are in seconds: a report counts as newer from the next one.
  ::sleep(1);
  ASSERT_EQ(Finish(Start(BatchLine("--whole-period 1 2"))).exitCode, 0);
  ::sleep(1);
  Command replaced = Mvhost("import --replace --warnings none '" + std::string(TAXLINK_SOURCE_DIR) +
                            "/examples/" + kExamples[1] + "'");
  ASSERT_EQ(replaced.exitCode, 0) << replaced.output;

  Command resumed = Finish(Start(BatchLine("--whole-period --overwrite --resume 1 2")));
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_NE(resumed.output.find("1/2 1 SAKURA2014 skipped (written before)\n"), std::string::npos)
      << resumed.output;
  EXPECT_NE(resumed.output.find("2/2 2 MIDORI2014 written "), std::string::npos) << resumed.output;
  EXPECT_EQ(nlohmann::json::parse(Mvhost("runs --data 1 --json").output).size(), 1u);
  EXPECT_EQ(IndexRows().size(), 2u);
}

TEST_F(BatchRunTest, RefusesUnusableOptions) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[0]);
  struct Case {
    const char* args;
    const char* message;
  };
  for (const Case& c : {
           Case{"--all", "mvhost: give either --months S-E or --whole-period\n"},
           Case{"--months 4-3 --whole-period --all",
                "mvhost: give either --months S-E or --whole-period\n"},
           Case{"--whole-period", "mvhost: give either data numbers or --all\n"},
           Case{"--whole-period --all 1", "mvhost: give either data numbers or --all\n"},
           Case{"--months 4-13 --all",
                "mvhost: --months: not a range of calendar months S-E (1 to 12): 4-13\n"},
           Case{"--whole-period 9", "mvhost: no data set 9\n"},
       }) {
    Command run = Finish(Start(BatchLine(c.args)));
    EXPECT_EQ(run.exitCode, 2) << c.args;
    EXPECT_EQ(run.output.rfind(c.message, 0), 0u) << c.args << "\n" << run.output;
  }
  struct stat st;
  EXPECT_NE(::stat((out_ + "/index.csv").c_str(), &st), 0) << "nothing ran";
}

// Ctrl+C at the terminal reaches the batch and the running client alike:
// no further client starts, nothing half written is left in the folder,
// the index holds what finished, and --resume completes the rest.
TEST_F(BatchRunTest, CtrlCLeavesAnIndexOfWhatFinishedAndResumeCompletesIt) {
  for (const char* example : kExamples) {
    Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example);
  }
  for (int no = 4; no <= 6; ++no) {
    ImportVariant(no, "S" + std::to_string(no), "s" + std::to_string(no), [](nlohmann::json&) {});
  }
  ::sleep(1);  // reports count as newer than their data from the next second
  const std::string log = Program().workFolder() + "/stopped.log";
  // Clients after the first wait before they start, so that the Ctrl+C below
  // always finds the second one running however fast the machine is.
  const std::string program = Program().workFolder() + "/slow-after-first";
  std::ofstream(program) << "#!/bin/sh\n[ -e '" << out_ << "/index.csv' ] && sleep 3\nexec '"
                         << Program().programFolder() << "/TaxLinkAlto' \"$@\"\n";
  ::chmod(program.c_str(), 0755);
  const pid_t batch = StartJob(
      Prefix() + "batch --out '" + out_ + "' --program '" + program + "' --all --whole-period -j 1",
      log);
  // Stop once the first client is in the index, while the second runs.
  for (int wait = 0; wait < 3000 && ::access((out_ + "/index.csv").c_str(), F_OK) != 0; ++wait) {
    ::usleep(20000);
  }
  ::usleep(150000);
  ::kill(-batch, SIGINT);
  EXPECT_EQ(WaitJob(batch), 1);
  const std::string output = ReadFileBytes(log);
  EXPECT_NE(output.find("mvhost: the batch was stopped: "), std::string::npos) << output;

  std::map<std::string, mvhost::ClientResult> rows = IndexRows();
  ASSERT_GE(rows.size(), 1u) << output;
  ASSERT_LT(rows.size(), 6u) << output;
  std::set<std::string> expected = {"index.csv", "index.html", "index.lock"};
  for (const auto& [id, row] : rows) {
    // The client the Ctrl+C cut short is in the index as failed, without a report.
    if (row.status != "written") {
      EXPECT_EQ(row.report, "") << id;
    } else {
      EXPECT_EQ(row.reportSha256, Sha256Hex(ReadFileBytes(out_ + "/" + id + ".xml"))) << id;
      expected.insert({id + ".xml", id + ".html"});
    }
    if (!row.findingsFile.empty()) expected.insert(row.findingsFile);
  }
  // Neither a report nor the temporary of a program stopped while it wrote.
  EXPECT_EQ(FolderNames(), expected);

  Command resumed = Finish(Start(BatchLine("--all --whole-period --resume -j 2")));
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_NE(resumed.output.find("skipped (written before)"), std::string::npos) << resumed.output;
  rows = IndexRows();
  ASSERT_EQ(rows.size(), 6u);
  for (const auto& [id, row] : rows) EXPECT_EQ(row.status, "written") << id << row.message;
}

// A program stopped while it writes its report, every time: one that takes
// the conditions, begins its temporary as the program does and stops
// itself as Ctrl+C would. The host, which saw it end, removes the temporary.
TEST_F(BatchRunTest, AProgramStoppedWhileWritingLeavesNoTemporary) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[0]);
  const nlohmann::json taken = {
      {"event", "dialog"},
      {"id", 130},
      {"result", 1005},
      {"fields", {{"1008", {{"text", WindowsPathOf(out_ + "/SAKURA2014.xml")}}}}}};
  const std::string program = Program().workFolder() + "/stops-while-writing";
  std::ofstream(program) << "#!/bin/sh\n"
                         << "printf '%s\\n' '" << taken.dump() << "' > \"$TAXLINK_UI_TRANSCRIPT\"\n"
                         << "echo partial > '" << out_ << "/TaxLinkReport.'$$.tmp\n"
                         << "kill -INT $$\n";
  ::chmod(program.c_str(), 0755);
  std::filesystem::create_directories(out_);

  Command batch = Finish(Start(Prefix() + "batch --out '" + out_ + "' --program '" + program +
                               "' --whole-period --no-findings 1"));
  EXPECT_EQ(batch.exitCode, 1) << batch.output;
  EXPECT_EQ(IndexRows()["SAKURA2014"].status, "failed");
  EXPECT_EQ(FolderNames(), (std::set<std::string>{"index.csv", "index.html", "index.lock"}));
}

// A worker that ends abnormally (killed under its client) is replaced: its
// client is not in the index, the clients after it run in a new worker and
// are written as alone.
TEST_F(BatchRunTest, AKilledWorkerIsReplacedAndTheOthersRun) {
  for (const char* example : kExamples) {
    Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example);
  }
  const std::string program = Program().workFolder() + "/kills-its-worker";
  std::ofstream(program) << "#!/bin/sh\n[ \"$MVHOST_DATA_NO\" = 2 ] && kill -KILL $PPID && exit 1\nexec '"
                         << Program().programFolder() << "/TaxLinkAlto' \"$@\"\n";
  ::chmod(program.c_str(), 0755);
  Command batch = Finish(Start(Prefix() + "batch --out '" + out_ + "' --program '" + program +
                               "' --all --whole-period -j 1"));
  EXPECT_EQ(batch.exitCode, 1) << batch.output;
  EXPECT_NE(batch.output.find("1 clients not run"), std::string::npos) << batch.output;
  std::map<std::string, mvhost::ClientResult> rows = IndexRows();
  ASSERT_EQ(rows.size(), 2u) << batch.output;
  for (const auto& [id, row] : rows) {
    EXPECT_EQ(row.status, "written") << id << row.message;
    EXPECT_NE(row.dataNo, 2) << id;
    EXPECT_EQ(row.reportSha256, Sha256Hex(ReadFileBytes(out_ + "/" + id + ".xml"))) << id;
  }
  // The new worker's client is in the run log too.
  EXPECT_EQ(nlohmann::json::parse(Mvhost("runs --data 3 --json").output).size(), 1u);
}

// The findings file lists the first 1000 findings and says how many there
// are and how to list them all; the index counts them all.
TEST_F(BatchRunTest, FindingsFileListsTheFirst1000) {
  ImportVariant(4, "MANY", "many", [](nlohmann::json& s) {
    s.erase("journals_csv");
    s.erase("fixed_assets");
    s["journals"] = MismatchedJournals(1001);
  });
  Command batch = Finish(Start(BatchLine("--whole-period 4")));
  const mvhost::ClientResult row = IndexRows()["MANY"];
  EXPECT_EQ(row.findings, 1001) << batch.output;
  const std::string text = ReadFileBytes(out_ + "/MANY.findings.txt");
  size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, 1001u);
  EXPECT_NE(text.find("journal 1000/line 1000: tax-mismatch"), std::string::npos);
  EXPECT_EQ(text.find("journal 1001/"), std::string::npos);
  const std::string last =
      "(the first 1000 of 1001 findings; mvhost check 4 --months 4-3 lists them all)\n";
  EXPECT_EQ(text.substr(text.size() - std::min(text.size(), last.size())), last);
}

// --method saved: the saved values are what the run takes and what the
// index and the run log record; a data set without them is not run.
TEST_F(BatchRunTest, SavedMethodIsRecordedAndNeedsSavedValues) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[0]);
  ImportVariant(4, "NOSAVED", "nosaved", [](nlohmann::json& s) { s.erase("saved_return"); });
  Command batch = Finish(Start(BatchLine("--whole-period --method saved 1 4")));
  EXPECT_EQ(batch.exitCode, 1) << batch.output;
  std::map<std::string, mvhost::ClientResult> rows = IndexRows();
  EXPECT_EQ(rows["SAKURA2014"].status, "written") << rows["SAKURA2014"].message;
  EXPECT_EQ(rows["SAKURA2014"].method, "saved");
  EXPECT_EQ(rows["SAKURA2014"].months, "");
  EXPECT_EQ(rows["NOSAVED"].status, "failed");
  EXPECT_EQ(rows["NOSAVED"].message, "the data set has no saved return values");
  nlohmann::json runs = nlohmann::json::parse(Mvhost("runs --data 1 --json").output);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["method"], "saved");
  EXPECT_EQ(nlohmann::json::parse(Mvhost("runs --data 4 --json").output).size(), 0u);
}

// A written client's sheet carries the findings its index row counts;
// --no-findings checks nothing, for the sheet neither.
TEST_F(BatchRunTest, FindingsOnTheSheetOrNowhere) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[1]);
  for (const bool findings : {true, false}) {
    SCOPED_TRACE(findings);
    Command batch = Finish(Start(BatchLine(std::string("--whole-period --overwrite 2") +
                                           (findings ? "" : " --no-findings"))));
    ASSERT_EQ(batch.exitCode, 0) << batch.output;
    const mvhost::ClientResult row = IndexRows()["MIDORI2014"];
    const std::string sheet = ReadFileBytes(out_ + "/MIDORI2014.html");
    EXPECT_EQ(sheet.find("id=\"findings\"") != std::string::npos, findings);
    if (findings) {
      EXPECT_EQ(row.findings, 1);  // the fixed-asset record without its purchase
      EXPECT_EQ(row.findingsFile, "MIDORI2014.findings.txt");
      EXPECT_NE(ReadFileBytes(out_ + "/MIDORI2014.findings.txt").find("asset-not-booked"),
                std::string::npos);
    } else {
      EXPECT_FALSE(row.findings.has_value());
      EXPECT_EQ(row.findingsFile, "");
    }
  }
}

// The sheet a client gets while its program ends (from the findings of the
// check beside the program, on two cores or more) is the page a launch
// makes after its run of the same report: the same but for the report's
// time on it.
TEST_F(BatchRunTest, SheetMadeWhileTheProgramEndsIsTheLaunchsSheet) {
  Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + kExamples[1]);
  Command batch = Finish(Start(BatchLine("--whole-period --overwrite -j 1 2")));
  ASSERT_EQ(batch.exitCode, 0) << batch.output;
  const std::string report = ReadFileBytes(out_ + "/MIDORI2014.xml");
  const std::string made = ReadFileBytes(out_ + "/MIDORI2014.html");
  ASSERT_NE(made.find("asset-not-booked"), std::string::npos);
  // The one client's run log entry, written by its worker with the findings
  // the check kept after the program, or by the batch: there once.
  nlohmann::json runs = nlohmann::json::parse(Mvhost("runs --data 2 --json").output);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["via"], "batch");
  EXPECT_EQ(runs[0]["sha256"], IndexRows()["MIDORI2014"].reportSha256);

  mvhost::BatchRunConditions conditions;
  conditions.startMonth = 4;
  conditions.endMonth = 3;
  conditions.windowsPath = platform::PosixToWindowsUtf8(out_ + "/MIDORI2014.xml");
  conditions.overwrite = true;
  const std::string script = Program().workFolder() + "/launch.jsonl";
  std::ofstream(script, std::ios::binary) << mvhost::BatchScriptText(conditions);
  Command launch = Finish(Start("MVHOST_DATA_NO=2 TAXLINK_UI=script TAXLINK_UI_SCRIPT='" + script +
                                "' " + Prefix() + "launch Alto --sheet --program '" +
                                Program().programFolder() + "/TaxLinkAlto'"));
  ASSERT_EQ(launch.exitCode, 0) << launch.output;
  ASSERT_EQ(ReadFileBytes(out_ + "/MIDORI2014.xml"), report);
  const std::regex time("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [+-][0-9]{4}");
  EXPECT_EQ(std::regex_replace(ReadFileBytes(out_ + "/MIDORI2014.html"), time, "T"),
            std::regex_replace(made, time, "T"));
}

// A run that took other months than the batch gave (a program that types
// its own end month) gets the sheet and the findings of the months it took,
// not those of the check made beside it over the batch's months.
TEST_F(BatchRunTest, ARunOverOtherMonthsGetsTheirFindings) {
  ImportVariant(4, "OCTOBER", "october", [](nlohmann::json& s) {
    s.erase("journals_csv");
    s.erase("fixed_assets");
    s["journals"] = MismatchedJournals(3);
  });
  const std::string program = Program().workFolder() + "/april-to-june";
  std::ofstream(program) << "#!/bin/sh\nsed -i 's/\"id\":1016,\"text\":\"3\"/\"id\":1016,\"text\":\"6\"/' "
                            "\"$TAXLINK_UI_SCRIPT\"\nexec '"
                         << Program().programFolder() << "/TaxLinkAlto' \"$@\"\n";
  ::chmod(program.c_str(), 0755);
  Command batch = Finish(Start(Prefix() + "batch --out '" + out_ + "' --program '" + program +
                               "' --whole-period -j 1 4"));
  const mvhost::ClientResult row = IndexRows()["OCTOBER"];
  ASSERT_EQ(row.status, "written") << batch.output << row.message;
  EXPECT_EQ(row.findings, 0);
  EXPECT_EQ(ReadFileBytes(out_ + "/OCTOBER.findings.txt"), "");
  EXPECT_EQ(ReadFileBytes(out_ + "/OCTOBER.html").find("tax-mismatch"), std::string::npos);
}

// On a terminal the batch draws one bar, redrawn as clients end, and ends
// it with the summary line.
TEST_F(BatchRunTest, TerminalShowsABarAndASummary) {
  for (const char* example : kExamples) {
    Import(std::string(TAXLINK_SOURCE_DIR) + "/examples/" + example);
  }
  Command run = OnTerminal(BatchLine("--all --whole-period -j 1"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  size_t draws = 0;
  for (size_t at = 0; (at = run.output.find("\r\033[K[", at)) != std::string::npos; ++at) ++draws;
  EXPECT_EQ(draws, 4u) << run.output;  // before the first client, and after each
  EXPECT_NE(run.output.find("[------------------------------] 0/3 done, 0 not written, 0:00 "
                            "elapsed, ? left"),
            std::string::npos)
      << run.output;
  const std::string last = "[##############################] 3/3 done, 0 not written, ";
  const size_t end = run.output.rfind(last);
  ASSERT_NE(end, std::string::npos) << run.output;
  // The terminal turns each newline into CR LF.
  const std::string summary =
      "3 of 3 clients: 3 written, 0 refused or failed; index: " + out_ + "/index.html\r\n";
  EXPECT_NE(run.output.find(" left\r\n" + summary, end), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find(" written "), std::string::npos) << "no line per client";
}

}  // namespace
}  // namespace taxlink::testing
