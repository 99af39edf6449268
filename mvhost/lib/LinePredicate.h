#ifndef TAXLINK_MVHOST_LINEPREDICATE_H_
#define TAXLINK_MVHOST_LINEPREDICATE_H_

#include <sqlite3.h>

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
class LinePredicate {
 public:
  // Compiles filter for the lines of dataNo; 0, or the error TranslateFilter
  // gives for it. Account classes are read when the filter asks for them.
  int32_t Compile(sqlite3* db, int32_t dataNo, const StFINDINFO* filter);
  bool Matches(const PackedLine& line) const;

 private:
  struct Condition {
    int32_t field = 0;  // 0: matches every line
    int16_t side = 0;
    int16_t op = 0;
    int64_t value = 0;  // month kinds in accounting order
    int16_t link = 0;
    std::vector<Condition> group;  // field 999
  };
  void CompileList(const FilterCondition* conditions, size_t maxCount,
                   std::vector<Condition>* out);
  bool MatchesList(const std::vector<Condition>& list, const PackedLine& line) const;
  bool MatchesOne(const Condition& c, const PackedLine& line) const;
  bool ClassMatches(const Condition& c, bool has, int32_t account) const;

  std::vector<Condition> top_;
  std::unordered_map<int32_t, int64_t> accountClasses_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_LINEPREDICATE_H_
