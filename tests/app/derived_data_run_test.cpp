// Runs of the real program whose derived journal data are not built: a user
// who may only read the store, and a run that starts while another process
// rebuilds them. Both write the report a normal run writes, and neither
// adds to the host's error log.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "mvhost/lib/JournalDerived.h"
#include "mvhost/lib/PackedLine.h"
#include "mvhost/lib/RebuildLock.h"
#include "tests/support/ProgramRunFixture.h"
#include "tests/support/SjisLiteral.h"

namespace taxlink::testing {
namespace {

const char* const kClosing =
    "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。"_sjis;
constexpr int kRebuildWindow = 9201;  // the host's own window
constexpr unsigned kNobody = 65534;

class DerivedDataRunTest : public ProgramRunTest {
 protected:
  void SetUp() override {
    AddSelectedCompany(host_);
    for (int month = 4; month <= 12; ++month) {
      host_.AddJournal(
          Sale(20140010 + month * 100, int64_t{100000} * month, int64_t{8000} * month));
      host_.AddJournal(
          Purchase(20140020 + month * 100, int64_t{40000} * month, int64_t{3200} * month));
    }
  }

  // The output folder is drive D:, which every user may write.
  ProgramRunResult Run() {
    std::vector<std::string> steps = JournalRunSteps("D:\\tax.xml", 4, 3);
    steps.push_back(AnswerStep("ok", kClosing));
    ProgramRunResult result = RunWith(steps, {}, {"TAXLINK_DRIVES=C=/;D=" + OutPosix("")});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Mismatches(result), "");
    return result;
  }

  std::string Store() const { return host_.Home() + "/host.db"; }
};

double Seconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST_F(DerivedDataRunTest, AUserWhoMayOnlyReadTheStoreWritesNothingToIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "starting the program as another user needs root";
  // Everyone may read the store and write beside it; only root may write it.
  for (const std::string& folder : {host_.Home(), host_.Home() + "/folders/app",
                                    Program().workFolder(), Program().workFolder() + "/out"}) {
    ::chmod(folder.c_str(), 0777);
  }
  ::chmod(Store().c_str(), 0644);
  const std::string before = ReadFileBytes(Store());
  Program().RunAsUser(kNobody);
  Run();
  const std::string report = ReadFileBytes(OutPosix("tax.xml"));
  EXPECT_NE(report, "");
  EXPECT_EQ(ReadFileBytes(Store()), before);
  EXPECT_EQ(ReadFileBytes(host_.Home() + "/error.log"), "");

  // A user who may write builds them in the store, with the same figures.
  Program().RunAsUser(std::nullopt);
  std::remove(OutPosix("tax.xml").c_str());
  Run();
  EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), report);
  EXPECT_NE(ReadFileBytes(Store()), before);
}

TEST_F(DerivedDataRunTest, ARunWaitsWithTheHostsWindowWhileAnotherProcessRebuilds) {
  host_.BuildJournalDerived(1);
  host_.Exec("UPDATE journal_derived_state SET built = 0, progress = 5, progress_end = 18");
  mvhost::RebuildLock lock(Store());
  ASSERT_TRUE(lock.TryLock(1));
  constexpr double kRebuildTakes = 1.5;  // seconds
  std::thread other([&] {
    ::usleep(static_cast<useconds_t>(kRebuildTakes * 1e6));
    EXPECT_EQ(mvhost::JournalDerived::Rebuild(host_.Db(), 1), 0);
    lock.Unlock(1);
  });
  const double started = Seconds();
  ProgramRunResult result = Run();
  const double took = Seconds() - started;
  other.join();
  EXPECT_GE(took, kRebuildTakes);
  int shown = 0;
  for (const nlohmann::json& window : EventsOf(result, "progress")) {
    if (window.value("id", 0) == kRebuildWindow && window.value("visible", false)) ++shown;
  }
  EXPECT_GE(shown, 1);
  EXPECT_EQ(ReadFileBytes(host_.Home() + "/error.log"), "");
}

// Damaged derived data end a run written with the figures of sound data, or
// failed with the host's message naming the data set and no report; a run
// after a failed walk rebuilds them and writes.
TEST_F(DerivedDataRunTest, DamagedDerivedDataGiveTheSameReportOrNone) {
  host_.BuildJournalDerived(1);
  Run();
  const std::string sound = ReadFileBytes(OutPosix("tax.xml"));
  const std::string monthKind = std::to_string(offsetof(mvhost::PackedLine, monthKind));
  const struct {
    std::string damage;
    const char* record;  // the host's message names it; null: written
    const char* undo;
  } kCases[] = {
      {"UPDATE journal_chunk SET lines = substr(lines, 1, 100)", nullptr, ""},
      {"UPDATE journal_chunk SET lines = 'text'", nullptr, ""},
      {"UPDATE journal_class_total SET lines = lines + 1 WHERE month_kind = 2", nullptr, ""},
      {"UPDATE journal_chunk SET lines = CAST(substr(lines, 1, " + monthKind +
           ") || x'0D000000' || substr(lines, " + monthKind + " + 5) AS BLOB)",
       "data set 1: chunk 0: packed line 1 has month kind 13", ""},
      {"UPDATE journal_line SET credit_amount = 'abc' || credit_amount WHERE line_id = 2",
       "data set 1: journal line 2 holds a value the host never writes",
       "UPDATE journal_line SET credit_amount = CAST(substr(credit_amount, 4) AS INTEGER) "
       "WHERE line_id = 2"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    host_.Exec(c.damage);
    std::remove(OutPosix("tax.xml").c_str());
    if (c.record != nullptr) {
      std::vector<std::string> steps = JournalRunSteps("D:\\tax.xml", 4, 3);
      steps.push_back(AnswerStep("ok"));
      ProgramRunResult result = RunWith(steps, {}, {"TAXLINK_DRIVES=C=/;D=" + OutPosix("")});
      EXPECT_EQ(result.exitCode, 2) << result.standardError;
      EXPECT_EQ(MessageTexts(result),
                std::vector<std::string>{
                    Utf8("会計データの仕訳データが破損しているため、集計できません。\n"_sjis +
                         std::string(c.record) + "\n\nエラーコード: -2015"_sjis)});
      EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), "");
      host_.Exec(c.undo);
    }
    Run();
    EXPECT_EQ(ReadFileBytes(OutPosix("tax.xml")), sound);
  }
}

}  // namespace
}  // namespace taxlink::testing
