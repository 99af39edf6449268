#include "mvhost/cli/SheetCheck.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <utility>

#include "mvhost/lib/DataExport.h"
#include "mvhost/lib/HostStore.h"
#include "mvhost/lib/StoredDataCheck.h"

namespace mvhost {

namespace {

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool WellFormedUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return false;
    }
    i += length;
  }
  return true;
}

// The text as the findings file carries it: a sequence that is not UTF-8
// replaced as the JSON writer replaces it.
std::string AsWritten(std::string text) {
  if (WellFormedUtf8(text)) return text;
  const nlohmann::json written = nlohmann::json::parse(
      nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  return written.get<std::string>();
}

bool CalendarMonth(int month) { return month >= 1 && month <= 12; }

}  // namespace

bool SheetCheck(HostStore* store, const std::string& storeError, const SheetCheckRequest& request,
                taxlink::sheet::CheckFindings* findings, std::string* error) {
  *findings = taxlink::sheet::CheckFindings{};
  if (!CalendarMonth(request.startMonth) || !CalendarMonth(request.endMonth)) {
    *error = "\"months\" is not two calendar months as \"4-3\"";
    return false;
  }
  findings->startMonth = request.startMonth;
  findings->endMonth = request.endMonth;
  CheckRequest check;
  check.dataNo = request.dataNo;
  check.startMonth = request.startMonth;
  check.endMonth = request.endMonth;
  std::string checkError = storeError;
  if (store != nullptr && check.dataNo == 0 && !DefaultDataNo(*store, &check.dataNo, &checkError)) {
    store = nullptr;
  }
  if (store == nullptr) {
    findings->error = AsWritten(std::move(checkError));
    return true;
  }
  findings->dataSet = check.dataNo;

  bool eachWants = static_cast<bool>(request.each);
  CheckCounts counts;
  const CheckStatus status = CheckStoredDataSet(
      *store, check,
      [&](const CheckFinding& finding) {
        if (findings->rows.size() < request.listed) {
          taxlink::sheet::FindingRow row;
          row.rule = CheckRuleId(finding.rule);
          // The place within its source: the sheet names the data set once.
          std::string place = AsWritten(finding.Place());
          const std::string source = AsWritten(finding.source);
          if (!source.empty() && place.size() > source.size() &&
              place.compare(0, source.size(), source) == 0 && place[source.size()] == ':') {
            place.erase(0, source.size() + 1);
          }
          row.place = std::move(place);
          row.what = AsWritten(finding.what);
          row.todo = AsWritten(finding.todo);
          findings->rows.push_back(std::move(row));
        }
        if (eachWants) eachWants = request.each(finding);
      },
      &checkError, [&] { return findings->rows.size() < request.listed || eachWants; }, &counts,
      request.unkept);
  if (status != CheckStatus::kChecked) {
    findings->rows.clear();
    findings->error = AsWritten(std::move(checkError));
    return true;
  }
  findings->checked = true;
  findings->total = counts.Total();
  for (size_t i = 0; i < kCheckRuleCount; ++i) {
    const auto rule = static_cast<CheckRule>(i);
    if (counts.Of(rule) > 0) findings->counts.emplace_back(CheckRuleId(rule), counts.Of(rule));
  }
  return true;
}

bool SheetCheck(const std::string& home, const SheetCheckRequest& request,
                taxlink::sheet::CheckFindings* findings, std::string* error) {
  HostStore store;
  std::string storeError;
  const bool opened = store.Open(home, &storeError);
  return SheetCheck(opened ? &store : nullptr, storeError, request, findings, error);
}

}  // namespace mvhost
