// The recorder keeps a side that both the host's summation and the engine's
// refund passes take as one row of the line table, the engine's own rows
// after the host's, and its spools' entries as made one by one.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/StKAMOKUINFO.h"
#include "host/StKAMOKUSUMINFO.h"
#include "host/StSWKTINFO.h"
#include "platform/winfs/File.h"
#include "platform/winfs/WinFileSystem.h"
#include "tests/support/TempFolder.h"
#include "trace/TraceKeys.h"
#include "trace/TraceRecorder.h"
#include "trace/TraceRecords.h"

namespace taxlink {
namespace {

TaxLineSide HostSide(int32_t journal) {
  TaxLineSide side{};
  side.journalId = journal;
  side.lineNo = 1;
  side.debit = true;
  side.taxClass = 24;  // non-taxable purchases: feeds no return figure
  side.accountId = 7;
  return side;
}

// The text of a spool as the trace gets it.
std::string SpoolText(const TraceRecorder& recorder, uint64_t key) {
  const TraceSpools::Spool* spool = recorder.spools().Find(key);
  if (spool == nullptr) return "";
  std::string text;
  EXPECT_TRUE(recorder.spools().ReadText(*spool, [&text](std::size_t bytes) {
    text.resize(text.size() + bytes);
    return text.data() + text.size() - bytes;
  }));
  EXPECT_EQ(text.size(), spool->bytes);
  return text;
}

// What the entries of one figure name, in order: a line entry's row, -1 for
// an entry of another kind.
std::vector<int64_t> NamedRows(const TraceRecorder& recorder, uint64_t key) {
  std::vector<int64_t> rows;
  // The spool holds the trace's text of the entries, comma-separated.
  for (const nlohmann::json& entry :
       nlohmann::json::parse("[" + SpoolText(recorder, key) + "]")) {
    rows.push_back(entry.is_array() ? entry.at(0).get<int64_t>() : -1);
  }
  return rows;
}

// The host hands a line's sides over as the engine's walk passes the line:
// a side both take is one row, and rows are numbered in the order they are
// made, the engine's own among the host's.
TEST(TraceRecorderTest, ASideBothWalksTakeIsOneRowAndRowsAreNumberedAsMade) {
  // Many: more entries than a spool's chunk.
  const int32_t sizes[] = {40, 20000};
  StKAMOKUINFO account{};
  account.accountId = 7;
  StKAMOKUSUMINFO sum{};
  sum.accountId = 7;
  const uint64_t key = EngineFigureKey(Figure::kCorpSellingAdminBook);
  for (const int32_t lines : sizes) {
    for (const bool onThread : {false, true}) {
      SCOPED_TRACE(std::to_string(lines) + " lines" + (onThread ? ", on its own thread" : ""));
      TraceRecorder recorder(false);
      std::string error;
      ASSERT_TRUE(recorder.Open(&error, -1, onThread)) << error;
      // Line j: the host takes it unless j % 3 == 0, the engine when j is
      // odd (twice when j % 5 == 0: one row); an account's sum comes after
      // line 10.
      int64_t rows = 0;
      std::vector<int64_t> expected;  // the row each entry names, -1 none
      for (int32_t j = 1; j <= lines; ++j) {
        int64_t hostRow = -1;
        if (j % 3 != 0) {
          ASSERT_TRUE(recorder.Side(HostSide(j)));
          hostRow = rows++;
        }
        if (j % 2 == 1) {
          const int64_t row = hostRow >= 0 ? hostRow : rows++;
          StSWKTINFO line{};
          line.journalId = j;
          line.lineNo = 1;
          for (int times = j % 5 == 0 ? 2 : 1; times > 0; --times) {
            recorder.Contribute(Contribution{Figure::kCorpSellingAdminBook,
                                             Contribution::Source::kJournalLine, j, 1, 100, false,
                                             &line, &account, 1});
            expected.push_back(row);
          }
        }
        if (j == 10) {
          recorder.Contribute(Contribution{Figure::kCorpSellingAdminBook,
                                           Contribution::Source::kAccountSum, 7, 0, 5, false,
                                           &sum});
          expected.push_back(-1);
        }
      }
      recorder.Finish();
      ASSERT_FALSE(recorder.failed());
      EXPECT_EQ(static_cast<int64_t>(recorder.spools().Find(kLineTableKey)->count), rows);
      EXPECT_EQ(NamedRows(recorder, key), expected);
    }
  }
}

// A figure including tax whose sides all went to the same figures excluding
// tax and tax has its entries made only when the trace copies them, or as
// soon as a side breaks that: they are the entries made one by one.
TEST(TraceRecorderTest, EntriesIncludingTaxLeftUnmadeAreTheSameWhenMade) {
  // Purchases at the first rate: figures that no business type splits.
  constexpr uint16_t kExcl = 104, kTax = 112, kIncl = 120;
  const uint64_t keys[3] = {TraceKey(TraceKeyKind::kRateFigure, 0, 0, kExcl),
                            TraceKey(TraceKeyKind::kRateFigure, 0, 0, kTax),
                            TraceKey(TraceKeyKind::kRateFigure, 0, 0, kIncl)};
  // A side: w all three as booked, n all three with the other sign, o the
  // amount including tax not the sum of the two, m one part as booked and
  // one not, e the amount excluding tax alone, k the amount including tax
  // alone.
  struct Case {
    const char* name;
    std::string sides;
    bool sumOfParts;
  };
  const std::string many(5000, 'w');  // more than a chunk of each spool
  const Case cases[] = {
      {"as booked", "wwwww", true},
      {"with the other sign", "nwnnw", true},
      {"an amount including tax not the sum of its parts", "wow", true},
      {"one part as booked, one not", "wmw", true},
      {"an amount excluding tax alone, late", many + "ew", false},
      {"an amount excluding tax alone, last", many + "e", false},
      {"an amount including tax alone, late", many + "kw", false},
      {"an amount including tax alone, first", "kww", false},
      {"many", many, true},
  };
  for (const Case& c : cases) {
    for (const bool onThread : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (onThread ? ", on its own thread" : ""));
      TraceRecorder recorder(false);
      std::string error;
      ASSERT_TRUE(recorder.Open(&error, -1, onThread)) << error;
      std::string expected[3];
      int64_t sum[3] = {};
      for (std::size_t i = 0; i < c.sides.size(); ++i) {
        const char kind = c.sides[i];
        TaxLineSide side = HostSide(static_cast<int32_t>(i + 1));
        side.taxClass = 1;
        side.amount = 10000 * static_cast<int64_t>(i + 1);
        side.tax = 800 * static_cast<int64_t>(i + 1);
        const int sign = kind == 'n' ? -1 : 1;
        const int64_t amounts[3] = {sign * (kind == 'm' ? -side.amount : side.amount),
                                    sign * side.tax,
                                    sign * (side.amount + side.tax) + (kind == 'o' ? 1 : 0) +
                                        (kind == 'm' ? -2 * side.amount : 0)};
        const uint16_t offsets[3] = {kExcl, kTax, kIncl};
        for (int taken = 0; taken < 3; ++taken) {
          if ((kind == 'e' && taken != 0) || (kind == 'k' && taken != 2)) continue;
          TaxLineSide::Target& target = side.targets[side.targetCount++];
          target.record = TaxLineSide::Record::kRateRow;
          target.taken = static_cast<TaxLineSide::Taken>(taken);
          target.offset = offsets[taken];
          target.amount = amounts[taken];
          const int64_t booked = taken == 0 ? side.amount : taken == 1 ? side.tax
                                                                       : side.amount + side.tax;
          if (!expected[taken].empty()) expected[taken] += ',';
          expected[taken] += '\n';
          AppendLineEntry(expected[taken], i, static_cast<TakenAmount>(taken), amounts[taken],
                          amounts[taken] == booked);
          sum[taken] += amounts[taken];
        }
        ASSERT_TRUE(recorder.Side(side));
      }
      recorder.Finish();
      uint64_t excluding = 0, tax = 0;
      EXPECT_EQ(recorder.SumOfParts(keys[2], &excluding, &tax), c.sumOfParts);
      if (c.sumOfParts) {
        EXPECT_EQ(excluding, keys[0]);
        EXPECT_EQ(tax, keys[1]);
      }
      for (const uint64_t key : keys) EXPECT_TRUE(recorder.Complete(key));
      ASSERT_FALSE(recorder.failed());
      for (int taken = 0; taken < 3; ++taken) {
        SCOPED_TRACE(taken);
        EXPECT_EQ(SpoolText(recorder, keys[taken]), expected[taken]);
        const TraceSpools::Spool* spool = recorder.spools().Find(keys[taken]);
        ASSERT_NE(spool, nullptr);
        EXPECT_EQ(spool->sum, sum[taken]);
        EXPECT_EQ(spool->count, static_cast<uint64_t>(std::count(
                                    expected[taken].begin(), expected[taken].end(), '\n')));
      }
    }
  }
}

// The engine's sides carry only their account's id, its texts going ahead
// once: accounts that share a slot of that cache, taken in turns, each keep
// their own texts, and an account only a host row names is not added.
TEST(TraceRecorderTest, EngineAccountsKeepTheirOwnTextsWhenTheyShareACacheSlot) {
  StKAMOKUINFO accounts[3]{};
  const int32_t ids[3] = {7, 7 + 256, 7 + 512};  // one slot of 256
  for (int i = 0; i < 3; ++i) {
    accounts[i].accountId = ids[i];
    std::snprintf(accounts[i].code, sizeof(accounts[i].code), "C%d", ids[i]);
    std::snprintf(accounts[i].name, sizeof(accounts[i].name), "N%d", ids[i]);
  }
  for (const bool onThread : {false, true}) {
    SCOPED_TRACE(onThread ? "on its own thread" : "in turn");
    TraceRecorder recorder(false);
    std::string error;
    ASSERT_TRUE(recorder.Open(&error, -1, onThread)) << error;
    // Journal 1 is a host row (account 9); the engine names it with account 519.
    TaxLineSide hostSide = HostSide(1);
    hostSide.accountId = 9;
    ASSERT_TRUE(recorder.Side(hostSide));
    for (int32_t journal = 1; journal <= 12; ++journal) {
      StSWKTINFO line{};
      line.journalId = journal;
      line.lineNo = 1;
      const StKAMOKUINFO& account = accounts[journal == 1 ? 2 : journal % 2];
      recorder.Contribute(Contribution{Figure::kCorpSellingAdminBook,
                                       Contribution::Source::kJournalLine, journal, 1, 100, false,
                                       &line, &account, 1});
    }
    recorder.Finish();
    ASSERT_FALSE(recorder.failed());
    std::map<int32_t, std::string> names;
    for (const auto& [id, json] : recorder.accounts()) {
      names[id] = nlohmann::json::parse(json).at("name").get<std::string>();
    }
    // The host's side gave no texts (HostSide has none).
    EXPECT_EQ(names, (std::map<int32_t, std::string>{{7, "N7"}, {9, ""}, {263, "N263"}}));
  }
}

// A line table that cannot be written, on the recorder's threads or in
// turn, stops the walk that feeds it and fails the recorder.
TEST(TraceRecorderTest, ALineTableThatCannotBeWrittenFailsTheRecorder) {
  const std::string folder = testing::MakeMemoryTempFolder("trace-full");
  const struct {
    const char* name;
    bool onThread, inPlace;
  } cases[] = {{"in turn", false, false},
               {"on its own thread", true, false},
               {"on its own threads, in place", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int file = c.inPlace ? ::open((folder + "/trace").c_str(),
                                        O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)
                               : -1;
    ASSERT_EQ(file >= 0, c.inPlace);
    TraceRecorder recorder(false);
    std::string error;
    ASSERT_TRUE(recorder.Open(&error, file, c.onThread)) << error;
    // Files of this process may not grow past 64 KiB meanwhile.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 1 << 16;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool stopped = false;
    for (int32_t journal = 1; journal <= 200000 && !stopped; ++journal) {
      TaxLineSide side = HostSide(journal);
      side.taxClass = 1;  // a row and nothing else
      stopped = !recorder.Side(side);
    }
    recorder.Finish();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    if (file >= 0) ::close(file);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(recorder.failed());
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace taxlink
