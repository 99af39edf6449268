#ifndef TAXLINK_MVHOST_MONTHORDER_H_
#define TAXLINK_MVHOST_MONTHORDER_H_

#include <cstdint>

namespace mvhost {

// Month kinds compare in the order of the accounting year: 1..6, the
// interim closing adjustment 15, 7..12, the year-end closing adjustment 18.
// Every comparison of month kinds (filters on field 17, the tax sums per
// account) goes through this order, so "kind <= 12" takes the interim
// adjustment and "kind >= 7" does not. Other numbers keep their numeric place
// after 18.
constexpr int64_t MonthOrder(int64_t kind) {
  if (kind == 15) return 65;
  if (kind == 18) return 125;
  return kind * 10;
}

// The same order as SQL over the column j.month_kind.
constexpr const char kMonthOrderSql[] =
    "(CASE j.month_kind WHEN 15 THEN 65 WHEN 18 THEN 125 ELSE j.month_kind * 10 END)";

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_MONTHORDER_H_
