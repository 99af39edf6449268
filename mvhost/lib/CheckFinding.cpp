#include "mvhost/lib/CheckFinding.h"

#include <nlohmann/json.hpp>

namespace mvhost {

namespace {

constexpr const char* kRuleIds[kCheckRuleCount] = {
    "tax-mismatch",       "taxable-without-tax",   "tax-on-untaxed-class", "unusual-side",
    "no-refund-line",     "asset-not-listed",      "asset-not-booked",     "rate-refused",
    "sixth-type-refused", "import-class-left-out", "unbalanced-journal",
};

}  // namespace

const char* CheckRuleId(CheckRule rule) { return kRuleIds[static_cast<size_t>(rule)]; }

std::string LinePlace::Item() const {
  if (kind == Kind::kItem) return "journals[" + std::to_string(number) + "]";
  return "line " + std::to_string(number);
}

std::string CheckFinding::Place() const {
  if (journal == 0) return source + ":" + item;
  std::string place = source + ":journal " + std::to_string(journal);
  return item.empty() ? place : place + "/" + item;
}

std::string CheckFinding::Text() const {
  return Place() + ": " + CheckRuleId(rule) + ": " + what + "; " + todo;
}

std::string CheckFinding::Json() const {
  nlohmann::ordered_json object;
  object["place"] = Place();
  object["source"] = source;
  if (journal != 0) object["journal"] = journal;
  object["item"] = item;
  object["rule"] = CheckRuleId(rule);
  object["what"] = what;
  object["todo"] = todo;
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int64_t CheckCounts::Total() const {
  int64_t total = 0;
  for (int64_t count : counts_) total += count;
  return total;
}

std::string CheckCounts::Summary() const {
  std::string text;
  for (size_t i = 0; i < kCheckRuleCount; ++i) {
    if (counts_[i] == 0) continue;
    text +=
        (text.empty() ? "" : ", ") + std::string(kRuleIds[i]) + " " + std::to_string(counts_[i]);
  }
  return text;
}

}  // namespace mvhost
