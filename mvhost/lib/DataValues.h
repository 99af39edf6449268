#ifndef TAXLINK_MVHOST_DATAVALUES_H_
#define TAXLINK_MVHOST_DATAVALUES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace mvhost {

// Text forms of the values of the data format. Each parser returns false and
// leaves its output untouched when the text is not valid.

// "1234", "-1234", "1234.5", "1234.5678" (at most four fraction digits) ->
// raw amount in ten-thousandths of a yen.
bool ParseAmountText(std::string_view text, int64_t* raw);
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

// The tax classes the host knows (see docs/host.md).
bool IsKnownTaxClass(int32_t taxClass);

// The accounting month (1..12) of a date in a period starting at
// periodStart; 0 when the date lies outside the twelve months.
int32_t AccountingMonthOf(int32_t periodStart, int32_t date);

// Integer text, optionally signed; false on anything else or overflow.
bool ParseIntText(std::string_view text, int64_t* value);

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_DATAVALUES_H_
