#ifndef TAXLINK_SHEET_AMOUNTTEXT_H_
#define TAXLINK_SHEET_AMOUNTTEXT_H_

#include <string>
#include <string_view>

namespace taxlink::sheet {

// Amounts as the report writes them ("-1234567", "" for zero) and as the
// sheet shows them ("△1,234,567"). Sums and differences of up to 19-digit
// amounts are exact in 128 bits.
using Yen = __int128;

// The value of an amount text that validated; "" is zero.
Yen AmountValue(std::string_view text);

// The report's form of a value: "-" when negative, "" for zero.
std::string AmountTextOf(Yen value);

// Thousands separators, and "△" in place of "-" (as on the return): "-1234"
// gives "△1,234"; "" stays empty and "0" stays "0".
std::string GroupedAmount(std::string_view text);

// Whether an amount text is negative.
inline bool IsNegative(std::string_view text) { return !text.empty() && text[0] == '-'; }

}  // namespace taxlink::sheet

#endif  // TAXLINK_SHEET_AMOUNTTEXT_H_
