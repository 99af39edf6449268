#ifndef TAXLINK_MVHOST_CHECKFINDING_H_
#define TAXLINK_MVHOST_CHECKFINDING_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mvhost {

// The rules of the bookkeeping check (docs/mvhost.md, "check"), in the order
// in which counts are shown.
enum class CheckRule : uint8_t {
  kTaxMismatch,
  kTaxableWithoutTax,
  kTaxOnUntaxedClass,
  kUnusualSide,
  kNoRefundLine,
  kAssetNotListed,
  kAssetNotBooked,
  kRateRefused,
  kSixthTypeRefused,
  kImportClassLeftOut,
  kUnbalancedJournal,
};
inline constexpr size_t kCheckRuleCount = 11;

// The rule's id as findings and the docs show it ("tax-mismatch").
const char* CheckRuleId(CheckRule rule);

// Where a journal line was read: a line of a CSV file or of a stored data
// set ("line 41"), or an item of the data set file's "journals"
// ("journals[3]"). `source` names the file or the data set ("data set 1")
// and outlives the check.
struct LinePlace {
  enum class Kind : uint8_t { kLine, kItem };
  const std::string* source = nullptr;
  Kind kind = Kind::kLine;
  int64_t number = 0;

  std::string Item() const;
};

// One finding: what is wrong where, and what to do about it.
struct CheckFinding {
  CheckRule rule = CheckRule::kTaxMismatch;
  std::string source;   // the file or "data set N"
  int32_t journal = 0;  // 0 when the finding is about a fixed-asset record
  std::string item;     // "line 41", "journals[3]", "fixed asset A001", "fixed_assets[0]"
  std::string what;
  std::string todo;

  // "SOURCE:journal 12/line 41", "SOURCE:fixed asset A001", or
  // "SOURCE:journal 12" for a journal named without its lines.
  std::string Place() const;
  // "PLACE: RULE: WHAT; TODO", the finding's line.
  std::string Text() const;
  // The finding as one JSON object on one line (UTF-8).
  std::string Json() const;
};

// Findings counted per rule.
class CheckCounts {
 public:
  void Add(CheckRule rule, int64_t count = 1) { counts_[static_cast<size_t>(rule)] += count; }
  int64_t Of(CheckRule rule) const { return counts_[static_cast<size_t>(rule)]; }
  int64_t Total() const;
  // "tax-mismatch 3, unbalanced-journal 1", the rules with findings in rule
  // order; empty when there are none.
  std::string Summary() const;

 private:
  std::array<int64_t, kCheckRuleCount> counts_{};
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CHECKFINDING_H_
