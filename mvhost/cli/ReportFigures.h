#ifndef TAXLINK_MVHOST_CLI_REPORTFIGURES_H_
#define TAXLINK_MVHOST_CLI_REPORTFIGURES_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/ReportContent.h"

namespace mvhost {

// The key figures of a written report, read from the report itself (what
// the filing application will import), in yen.
struct ReportFigures {
  static constexpr std::array<int, 3> kRates = {8, 5, 3};

  // Taxable sales excluding tax and the tax on them, per rate of kRates.
  std::array<int64_t, 3> sales{};
  std::array<int64_t, 3> salesTax{};
  // The taxable purchases excluding tax (every purchase row of every rate)
  // exceed the taxable sales excluding tax: a refund statement applies.
  bool purchasesExceedSales = false;

  // Reads the figures from the bytes of a report; false with the reason
  // when they are not a valid report.
  static bool Read(std::string_view reportBytes, ReportFigures* figures, std::string* error);
  // The figures of a report already read.
  static ReportFigures Of(const taxlink::sheet::ReportContent& content);
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_CLI_REPORTFIGURES_H_
