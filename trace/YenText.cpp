#include "trace/YenText.h"

namespace taxlink {

std::string YenText(int64_t raw) {
  // The magnitude in unsigned arithmetic, so that INT64_MIN has one too.
  const bool negative = raw < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

}  // namespace taxlink
