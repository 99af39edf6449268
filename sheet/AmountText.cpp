#include "sheet/AmountText.h"

#include <algorithm>

namespace taxlink::sheet {

Yen AmountValue(std::string_view text) {
  const bool negative = IsNegative(text);
  if (negative) text.remove_prefix(1);
  Yen value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return negative ? -value : value;
}

std::string AmountTextOf(Yen value) {
  if (value == 0) return {};
  const bool negative = value < 0;
  std::string digits;
  for (Yen rest = negative ? -value : value; rest > 0; rest /= 10) {
    digits += static_cast<char>('0' + static_cast<int>(rest % 10));
  }
  if (negative) digits += '-';
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::string GroupedAmount(std::string_view text) {
  const bool negative = IsNegative(text);
  if (negative) text.remove_prefix(1);
  std::string grouped;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && (text.size() - i) % 3 == 0) grouped += ',';
    grouped += text[i];
  }
  return negative ? "△" + grouped : grouped;
}

}  // namespace taxlink::sheet
