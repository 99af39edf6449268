#ifndef TAXLINK_MVHOST_DATAVALUES_H_
#define TAXLINK_MVHOST_DATAVALUES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace mvhost {

// Text forms of the values of the data format. Each parser returns false and
// leaves its output untouched when the text is not valid.

// Why an amount text was refused.
enum class AmountTextProblem { kNone, kMalformed, kTooLarge, kTooSmall };

// "1234", "-1234", "1234.5", "1234.5678" (at most four fraction digits) ->
// raw amount in ten-thousandths of a yen. The raw amount's range is the same
// both ways: -922337203685477.5807 .. 922337203685477.5807 yen (a well-formed
// text past it is too large or too small, not malformed).
bool ParseAmountText(std::string_view text, int64_t* raw, AmountTextProblem* problem = nullptr);
// Whole yen -> raw amount; false when the result does not fit 64 bits.
bool YenToRaw(int64_t yen, int64_t* raw);
// Raw amount -> "1234" or "1234.5" (trailing fraction zeros dropped).
std::string FormatAmountText(int64_t raw);

// "2014-04-01" -> 20140401; the day must exist in its month.
bool ParseDateText(std::string_view text, int32_t* yyyymmdd);
std::string FormatDateText(int32_t yyyymmdd);
bool IsValidDate(int32_t yyyymmdd);
int32_t LastDayOfMonth(int32_t year, int32_t month);

// "0x40884400" (or decimal) -> account class code.
bool ParseClassCodeText(std::string_view text, uint32_t* code);
std::string FormatClassCodeText(uint32_t code);

// The tax classes the host knows (docs/host.md): 0-11, 21-27, 30-38, 40-46.
bool IsKnownTaxClass(int32_t taxClass);

// Accounting months follow the host's closing-day rule: the closing day C is
// the period's last day of month (31 when that is a month end); month kind 1
// starts on the period's first day and each kind ends on the next closing
// date (day C, or the month's last day when C is past it).
int32_t ClosingDayOf(int32_t periodEnd);
// The last day of accounting month `kind` (1..12) of a period, by the rule.
int32_t MonthKindEnd(int32_t periodStart, int32_t periodEnd, int32_t kind);
// The month kind (1..12) of a date in the period; 0 outside it. Kind 12 also
// takes any rest of a period longer than twelve months.
int32_t AccountingMonthOf(int32_t periodStart, int32_t periodEnd, int32_t date);

// Integer text, optionally signed; false on anything else or overflow.
bool ParseIntText(std::string_view text, int64_t* value);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAVALUES_H_
