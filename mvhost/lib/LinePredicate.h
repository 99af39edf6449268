#ifndef TAXLINK_MVHOST_LINEPREDICATE_H_
#define TAXLINK_MVHOST_LINEPREDICATE_H_

#include <sqlite3.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/StFINDINFO.h"
#include "mvhost/lib/PackedLine.h"

namespace mvhost {

// A query filter compiled for packed journal lines: the same conditions,
// links and groups as the SQL of TranslateFilter, evaluated in C++ on each
// line of a walk. (Comparisons are never negated, so a condition on a side
// without an account, which SQL evaluates to NULL, is simply false.)
//
// A list of conditions (the filter or a group) that reads one column only,
// the month kind or the tax class of one side, is tabulated when compiled:
// its result for each value 0..255 is worked out once (each comparison's
// range as a set of values, combined left to right as the list links them),
// and a line then costs one lookup (values outside the table are evaluated
// as before). The aggregation's filters are such lists: the tax
// classes of each side, the month range.
//
// A filter whose every condition reads one of those three columns (or none)
// is then flattened: each condition ("leaf") gets a bit, each column a table
// of the leaves that hold for each value 0..255, and the filter a table of
// its result for every combination of leaf results. A line then costs three
// lookups and one bit test instead of a walk of the condition tree; a line
// with a value outside 0..255 is evaluated through the tree.
class LinePredicate {
 public:
  // Compiles filter for the lines of dataNo; 0, or the error TranslateFilter
  // gives for it. Account classes are read when the filter asks for them.
  int32_t Compile(sqlite3* db, int32_t dataNo, const StFINDINFO* filter);
  bool Matches(const PackedLine& line) const {
    if (flat_) {
      const auto month = static_cast<uint32_t>(line.monthKind);
      const auto debit = static_cast<uint32_t>(line.debitTaxClass);
      const auto credit = static_cast<uint32_t>(line.creditTaxClass);
      if ((month | debit | credit) < static_cast<uint32_t>(kTableSize)) {
        return results_[leaves_[0][month] | leaves_[1][debit] | leaves_[2][credit]];
      }
    }
    return MatchesList(top_, line);
  }
  // Compiles a filter of the account walk (conditions on the account class,
  // links and groups); 0, or the error TranslateFilter gives for it.
  int32_t CompileForAccounts(const StFINDINFO* filter);
  // Whether an account of this class matches what CompileForAccounts
  // compiled, as the filter's SQL over the account's integer class code.
  bool MatchesAccountClass(int64_t classCode) const { return AccountMatchesList(top_, classCode); }
  // For a filter that reads the month kind and tax classes only (as the
  // totals per tax class answer): whether a line of these values matches.
  bool MatchesClasses(int32_t monthKind, int32_t debitTaxClass, int32_t creditTaxClass) const {
    PackedLine line{};
    line.monthKind = monthKind;
    line.hasDebit = 1;
    line.debitTaxClass = debitTaxClass;
    line.hasCredit = 1;
    line.creditTaxClass = creditTaxClass;
    return Matches(line);
  }

 private:
  // The column a list of conditions reads, when it reads one only.
  enum class Column : int8_t { kSeveral, kNone, kMonthKind, kDebitTaxClass, kCreditTaxClass };
  static constexpr int32_t kFieldTable = -1;  // a tabulated list
  static constexpr int32_t kTableSize = 256;

  struct Condition {
    int32_t field = 0;  // 0: matches every line
    int16_t side = 0;
    int16_t op = 0;
    int64_t value = 0;  // month kinds in accounting order
    int16_t link = 0;
    // Field 999: the group's conditions; kFieldTable: the list the table
    // stands for, evaluated for values outside it.
    std::vector<Condition> group;
    Column column = Column::kSeveral;  // kFieldTable
    std::bitset<kTableSize> table;     // kFieldTable
  };
  void CompileList(const FilterCondition* conditions, size_t maxCount, std::vector<Condition>* out);
  static Column ColumnOf(const Condition& c);
  static Column ColumnOf(const std::vector<Condition>& list);
  static int64_t ColumnValue(Column column, const PackedLine& line);
  // Replaces a list that reads one column by its table.
  void Tabulate(std::vector<Condition>* list) const;
  // The values 0..255 of column for which c (or list) holds, built from the
  // comparisons' ranges instead of evaluating each value; false when a
  // condition reads anything else.
  static bool ConditionMask(const Condition& c, Column column, std::bitset<kTableSize>* mask);
  static bool ListMask(const std::vector<Condition>& list, Column column,
                       std::bitset<kTableSize>* mask);
  bool MatchesList(const std::vector<Condition>& list, const PackedLine& line) const;
  bool MatchesOne(const Condition& c, const PackedLine& line) const;
  bool ClassMatches(const Condition& c, bool has, int32_t account) const;
  bool AccountMatchesList(const std::vector<Condition>& list, int64_t classCode) const;
  // Flattens top_ when it reads no more than the three tabulated columns and
  // has no more than kMaxLeaves conditions.
  void Flatten();
  // Numbers the leaves of list in evaluation order; false if one reads
  // another column.
  bool CollectLeaves(const std::vector<Condition>& list, std::vector<const Condition*>* leaves);
  // The result of list when the leaves from *next on hold as bits says.
  bool EvaluateLeaves(const std::vector<Condition>& list, uint32_t bits, int* next) const;

  static constexpr int kMaxLeaves = 8;
  // Compiled filters kept for their next use.
  static constexpr size_t kCompiledKept = 32;
  bool flat_ = false;
  // Per column (month kind, debit, credit tax class): the leaves that hold
  // for each value, as bits.
  std::array<std::array<uint8_t, kTableSize>, 3> leaves_{};
  std::bitset<size_t{1} << kMaxLeaves> results_;
  std::vector<Condition> top_;
  std::unordered_map<int32_t, int64_t> accountClasses_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_LINEPREDICATE_H_
