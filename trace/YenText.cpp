#include "trace/YenText.h"

#include <charconv>

namespace taxlink {

std::string YenText(int64_t raw) {
  std::string text;
  AppendYen(text, raw);
  return text;
}

void AppendYen(std::string& out, int64_t raw) {
  // The magnitude in unsigned arithmetic, so that INT64_MIN has one too.
  const bool negative = raw < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  char text[32];
  char* end = text;
  if (negative) *end++ = '-';
  end = std::to_chars(end, text + sizeof(text), magnitude / 10000).ptr;
  const unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  end[0] = '.';
  end[1] = static_cast<char>('0' + fraction / 1000);
  end[2] = static_cast<char>('0' + fraction / 100 % 10);
  end[3] = static_cast<char>('0' + fraction / 10 % 10);
  end[4] = static_cast<char>('0' + fraction % 10);
  out.append(text, end + 5);
}

void AppendInteger(std::string& out, int64_t value) {
  char text[24];
  out.append(text, std::to_chars(text, text + sizeof(text), value).ptr);
}

}  // namespace taxlink
