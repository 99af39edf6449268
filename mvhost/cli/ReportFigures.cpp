#include "mvhost/cli/ReportFigures.h"

#include <string_view>

#include "sheet/ReportContent.h"
#include "sheet/ReportReader.h"

namespace mvhost {

namespace {

// An amount element's value; an empty element is zero.
int64_t Amount(const std::string& text) {
  int64_t value = 0;
  bool negative = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == 0 && text[i] == '-') {
      negative = true;
    } else if (text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + (text[i] - '0');
    }
  }
  return negative ? -value : value;
}

// The name of a per-rate element without its rate digits.
std::string_view WithoutRate(std::string_view name) {
  size_t end = name.size();
  while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
  return name.substr(0, end);
}

// The index in kRates of a rate's digits; -1 for none.
int RateIndex(std::string_view digits) {
  for (size_t r = 0; r < ReportFigures::kRates.size(); ++r) {
    if (digits == std::to_string(ReportFigures::kRates[r])) return static_cast<int>(r);
  }
  return -1;
}

// How an element counts towards the sales and purchases that decide a
// refund: +1 adds, -1 subtracts (returns), 0 does not count.
int SalesSign(std::string_view stem) {
  if (stem == "KAZEIURIAGEZEINUKI") return 1;
  if (stem == "KAZEIURIAGEHENKANZEINUKI") return -1;
  return 0;
}

int PurchaseSign(std::string_view stem) {
  if (stem == "SHIIREKAZEIZEINUKI" || stem == "SHIIREHIKAZEIZEINUKI" ||
      stem == "SHIIREKYOTUUZEINUKI") {
    return 1;
  }
  if (stem == "SHIIREHENKANKAZEIZEINUKI" || stem == "SHIIREHENKANHIKAZEIZEINUKI" ||
      stem == "SHIIREHENKANKYOTUUZEINUKI") {
    return -1;
  }
  return 0;
}

}  // namespace

bool ReportFigures::Read(std::string_view reportBytes, ReportFigures* figures, std::string* error) {
  taxlink::sheet::ReportContent content;
  taxlink::sheet::ReportProblem problem;
  if (!taxlink::sheet::ParseReport(reportBytes, &content, &problem)) {
    *error = "the report is not valid: " + problem.Text();
    return false;
  }
  *figures = Of(content);
  return true;
}

ReportFigures ReportFigures::Of(const taxlink::sheet::ReportContent& content) {
  ReportFigures result;
  ReportFigures* figures = &result;
  int64_t sales = 0;
  int64_t purchases = 0;
  for (const taxlink::sheet::ReportGroup& group : content.groups) {
    for (const taxlink::sheet::ReportElement& element : group.elements) {
      const std::string_view stem = WithoutRate(element.name);
      const bool sale = stem == "KAZEIURIAGEZEINUKI";
      const bool saleTax = stem == "KAZEIURIAGEZEIGAKU";
      const int sign = SalesSign(stem) - PurchaseSign(stem);
      if (!sale && !saleTax && sign == 0) continue;
      const int64_t amount = Amount(element.text);
      const int r = RateIndex(std::string_view(element.name).substr(stem.size()));
      if (r >= 0 && sale) figures->sales[static_cast<size_t>(r)] += amount;
      if (r >= 0 && saleTax) figures->salesTax[static_cast<size_t>(r)] += amount;
      sales += SalesSign(stem) * amount;
      purchases += PurchaseSign(stem) * amount;
    }
  }
  figures->purchasesExceedSales = purchases > sales;
  return result;
}

}  // namespace mvhost
