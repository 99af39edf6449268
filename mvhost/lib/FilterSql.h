#ifndef TAXLINK_MVHOST_FILTERSQL_H_
#define TAXLINK_MVHOST_FILTERSQL_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "host/StFINDINFO.h"

namespace mvhost {

// What a filter is evaluated on, with the table alias the SQL uses:
// journal lines "j", accounts "a", fixed assets "f".
enum class FilterTarget { kJournalLine, kAccount, kFixedAsset };

// A filter as a parameterised SQL condition: sql holds "?" placeholders and
// values their integers, in order.
struct SqlFilter {
  std::string sql;
  std::vector<int64_t> values;
};

// Translates a query filter into SQL. Conditions are joined strictly left
// to right: a and b or c is (a and b) or c. Groups (field 999) are resolved
// through ClFilterGroupRegistry and evaluated the same way. A null filter, or
// an array whose first condition has field id 0, matches everything.
// Returns 0 or a kErrFilter* code (unknown field for the target, operator,
// value type, side, link or group reference; a too deep or endless array).
int32_t TranslateFilter(const StFINDINFO* filter, FilterTarget target, SqlFilter* out);

// The filter as bytes (its conditions and those of its groups): filters
// with equal keys translate alike, so a caller that is given the same
// filter call after call translates it once. False when the filter cannot
// be keyed (a group reference that does not resolve, too deep, too long):
// translate it.
bool FilterKey(const StFINDINFO* filter, std::string* key);
// Whether FilterKey would give key for filter, compared in place without
// building the key.
bool FilterHasKey(const StFINDINFO* filter, std::string_view key);

// The same for an array of conditions (at most maxCount of them).
int32_t TranslateConditions(const FilterCondition* conditions, size_t maxCount, FilterTarget target,
                            int depth, SqlFilter* out);

// The value a condition compares with, as its value type reads it (type 2:
// the low 16 bits, signed; type 19: unsigned 32 bits; else 32 bits).
int64_t FilterValueOf(const FilterCondition& c);

// Whether every condition of the filter (its groups included) is on one of
// the given fields. A null or match-all filter uses none. False when a group
// reference cannot be resolved.
bool FilterUsesOnlyFields(const StFINDINFO* filter, std::initializer_list<int32_t> fields);

// Evaluates in C++ a filter whose conditions (its groups included) are all
// on one integer column, for that column's value, as the SQL of
// TranslateFilter selects a row holding it. False when the filter cannot be
// evaluated so (another field, an operator, link or group TranslateFilter
// refuses): the caller then goes through SQL.
bool FilterHoldsForValue(const StFINDINFO* filter, int32_t field, int64_t value, bool* holds);

// Limits of the evaluator.
constexpr int kMaxFilterDepth = 8;
constexpr size_t kMaxGroupConditions = 64;

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_FILTERSQL_H_
