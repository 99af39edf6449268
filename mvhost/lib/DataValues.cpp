#include "mvhost/lib/DataValues.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace mvhost {

namespace {

constexpr int64_t kRawPerYen = 10000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Accumulates decimal digits into a non-negative value; false on overflow.
bool AddDigits(std::string_view digits, int64_t* value) {
  for (char c : digits) {
    if (!IsDigit(c)) return false;
    int d = c - '0';
    if (*value > (std::numeric_limits<int64_t>::max() - d) / 10) return false;
    *value = *value * 10 + d;
  }
  return true;
}

}  // namespace

bool ParseIntText(std::string_view text, int64_t* value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t v = 0;
  if (!AddDigits(text, &v)) return false;
  *value = negative ? -v : v;
  return true;
}

bool ParseAmountText(std::string_view text, int64_t* raw, AmountTextProblem* problem) {
  AmountTextProblem ignored;
  if (problem == nullptr) problem = &ignored;
  *problem = AmountTextProblem::kMalformed;
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  std::string_view whole = text;
  std::string_view fraction;
  size_t dot = text.find('.');
  if (dot != std::string_view::npos) {
    whole = text.substr(0, dot);
    fraction = text.substr(dot + 1);
    if (fraction.empty() || fraction.size() > 4) return false;
  }
  if (whole.empty() || !std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
    return false;
  }
  int64_t yen = 0;
  int64_t frac = 0;
  AddDigits(fraction, &frac);
  for (size_t i = fraction.size(); i < 4; ++i) frac *= 10;
  int64_t value = 0;
  if (!AddDigits(whole, &yen) || !YenToRaw(yen, &value) ||
      value > std::numeric_limits<int64_t>::max() - frac) {
    *problem = negative ? AmountTextProblem::kTooSmall : AmountTextProblem::kTooLarge;
    return false;
  }
  value += frac;
  *raw = negative ? -value : value;
  *problem = AmountTextProblem::kNone;
  return true;
}

bool YenToRaw(int64_t yen, int64_t* raw) {
  if (yen > std::numeric_limits<int64_t>::max() / kRawPerYen ||
      yen < std::numeric_limits<int64_t>::min() / kRawPerYen) {
    return false;
  }
  *raw = yen * kRawPerYen;
  return true;
}

std::string FormatAmountText(int64_t raw) {
  // Work on the unsigned magnitude so that the smallest value has one too.
  uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string text = (raw < 0 ? "-" : "") + std::to_string(magnitude / kRawPerYen);
  uint64_t frac = magnitude % kRawPerYen;
  if (frac != 0) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04u", static_cast<unsigned>(frac));
    std::string digits(buffer);
    while (digits.back() == '0') digits.pop_back();
    text += "." + digits;
  }
  return text;
}

int32_t LastDayOfMonth(int32_t year, int32_t month) {
  static const int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return kDays[month - 1];
}

bool IsValidDate(int32_t yyyymmdd) {
  int32_t year = yyyymmdd / 10000;
  int32_t month = yyyymmdd / 100 % 100;
  int32_t day = yyyymmdd % 100;
  return year >= 1900 && year <= 9999 && day >= 1 && day <= LastDayOfMonth(year, month);
}

bool ParseDateText(std::string_view text, int32_t* yyyymmdd) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int64_t year = 0, month = 0, day = 0;
  if (!AddDigits(text.substr(0, 4), &year) || !AddDigits(text.substr(5, 2), &month) ||
      !AddDigits(text.substr(8, 2), &day)) {
    return false;
  }
  int32_t value = static_cast<int32_t>(year * 10000 + month * 100 + day);
  if (!IsValidDate(value)) return false;
  *yyyymmdd = value;
  return true;
}

std::string FormatDateText(int32_t yyyymmdd) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", yyyymmdd / 10000, yyyymmdd / 100 % 100,
                yyyymmdd % 100);
  return buffer;
}

bool ParseClassCodeText(std::string_view text, uint32_t* code) {
  int64_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 10) return false;
    for (char c : text.substr(2)) {
      int d;
      if (IsDigit(c)) {
        d = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
      } else {
        return false;
      }
      value = value * 16 + d;
    }
  } else if (text.empty() || !AddDigits(text, &value) || value > 0xFFFFFFFFLL) {
    return false;
  }
  *code = static_cast<uint32_t>(value);
  return true;
}

std::string FormatClassCodeText(uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", code);
  return buffer;
}

bool IsKnownTaxClass(int32_t taxClass) {
  return (taxClass >= 0 && taxClass <= 11) || (taxClass >= 21 && taxClass <= 27) ||
         (taxClass >= 30 && taxClass <= 38) || (taxClass >= 40 && taxClass <= 46);
}

int32_t ClosingDayOf(int32_t periodEnd) {
  int32_t day = periodEnd % 100;
  return day == LastDayOfMonth(periodEnd / 10000, periodEnd / 100 % 100) ? 31 : day;
}

int32_t MonthKindEnd(int32_t periodStart, int32_t periodEnd, int32_t kind) {
  int32_t closing = ClosingDayOf(periodEnd);
  int32_t year = periodStart / 10000;
  int32_t month = periodStart / 100 % 100;
  auto closingDate = [closing](int32_t y, int32_t m) {
    return y * 10000 + m * 100 + std::min(closing, LastDayOfMonth(y, m));
  };
  // The first closing date on or after the period's first day ends kind 1.
  int32_t steps = closingDate(year, month) < periodStart ? kind : kind - 1;
  int32_t index = year * 12 + (month - 1) + steps;
  return closingDate(index / 12, index % 12 + 1);
}

int32_t AccountingMonthOf(int32_t periodStart, int32_t periodEnd, int32_t date) {
  if (date < periodStart || date > periodEnd) return 0;
  for (int32_t kind = 1; kind < 12; ++kind) {
    if (date <= MonthKindEnd(periodStart, periodEnd, kind)) return kind;
  }
  return 12;
}

}  // namespace mvhost
