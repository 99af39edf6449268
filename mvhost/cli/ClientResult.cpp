#include "mvhost/cli/ClientResult.h"

#include <cstdlib>

namespace mvhost {

namespace {

std::string Optional(const std::optional<int64_t>& value) {
  return value ? std::to_string(*value) : std::string();
}

std::optional<int64_t> ParseOptional(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return std::strtoll(text.c_str(), nullptr, 10);
}

}  // namespace

const std::vector<std::string>& ClientResult::Columns() {
  static const std::vector<std::string> kColumns = {"data_no",
                                                    "data_id",
                                                    "company",
                                                    "period",
                                                    "months",
                                                    "method",
                                                    "status",
                                                    "message",
                                                    "duration_ms",
                                                    "report_sha256",
                                                    "report_size",
                                                    "findings",
                                                    "sales_8",
                                                    "sales_tax_8",
                                                    "sales_5",
                                                    "sales_tax_5",
                                                    "sales_3",
                                                    "sales_tax_3",
                                                    "purchases_exceed_sales",
                                                    "report",
                                                    "sheet",
                                                    "findings_file"};
  return kColumns;
}

std::vector<std::string> ClientResult::Fields() const {
  std::vector<std::string> fields = {std::to_string(dataNo),
                                     dataId,
                                     company,
                                     period,
                                     months,
                                     method,
                                     status,
                                     message,
                                     std::to_string(durationMs),
                                     reportSha256,
                                     Optional(reportSize),
                                     Optional(findings)};
  for (size_t r = 0; r < ReportFigures::kRates.size(); ++r) {
    fields.push_back(figures ? std::to_string(figures->sales[r]) : std::string());
    fields.push_back(figures ? std::to_string(figures->salesTax[r]) : std::string());
  }
  fields.push_back(figures ? (figures->purchasesExceedSales ? "yes" : "no") : "");
  fields.push_back(report);
  fields.push_back(sheet);
  fields.push_back(findingsFile);
  return fields;
}

bool ClientResult::FromFields(const std::vector<std::string>& f, ClientResult* result) {
  if (f.size() != Columns().size()) return false;
  ClientResult r;
  r.dataNo = static_cast<int32_t>(std::strtol(f[0].c_str(), nullptr, 10));
  r.dataId = f[1];
  r.company = f[2];
  r.period = f[3];
  r.months = f[4];
  r.method = f[5];
  r.status = f[6];
  r.message = f[7];
  r.durationMs = std::strtoll(f[8].c_str(), nullptr, 10);
  r.reportSha256 = f[9];
  r.reportSize = ParseOptional(f[10]);
  r.findings = ParseOptional(f[11]);
  if (!f[18].empty()) {
    ReportFigures figures;
    for (size_t i = 0; i < ReportFigures::kRates.size(); ++i) {
      figures.sales[i] = ParseOptional(f[12 + 2 * i]).value_or(0);
      figures.salesTax[i] = ParseOptional(f[13 + 2 * i]).value_or(0);
    }
    figures.purchasesExceedSales = f[18] == "yes";
    r.figures = figures;
  }
  r.report = f[19];
  r.sheet = f[20];
  r.findingsFile = f[21];
  *result = std::move(r);
  return true;
}

}  // namespace mvhost
