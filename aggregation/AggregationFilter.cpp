#include "aggregation/AggregationFilter.h"

#include <cstring>

#include "host/FilterCondition.h"

namespace taxlink {

namespace {

FilterCondition MonthKindCondition(int16_t op, int32_t monthKind, int16_t link) {
  FilterCondition c;
  std::memset(&c, 0, sizeof(c));
  c.fieldId = kFieldMonthKind;
  c.side = kSideNone;
  c.op = op;
  c.valueType = kValueInt16;
  c.value = monthKind & 0xFFFF;
  c.link = link;
  return c;
}

}  // namespace

void FillMonthRangeFilter(StFINDINFO* filter, int16_t firstMonth, int16_t lastMonth,
                          bool interimClosing, int startMonth, int endMonth) {
  std::memset(filter, 0, sizeof(*filter));
  const int f = firstMonth;
  const int lastCalendarMonth = lastMonth % 100;
  const bool crossesYearEnd = lastMonth / 100 != 0;

  int s;
  if (startMonth == f) {
    s = 1;
  } else if (startMonth > f) {
    s = startMonth - f + 1;
  } else {
    s = startMonth - f + 13;
  }

  const bool endsInLastMonth = endMonth == lastCalendarMonth;
  int e;
  if (endsInLastMonth) {
    e = crossesYearEnd ? lastCalendarMonth - f + 13 : lastCalendarMonth - f + 1;
  } else if (crossesYearEnd && endMonth < lastCalendarMonth) {
    e = endMonth - f + 13;
  } else {
    e = endMonth - f + 1;
  }

  FilterCondition* c = filter->conditions;
  int count = 0;
  c[count++] = MonthKindCondition(kOpGreaterOrEqual, s, kLinkAnd);
  c[count++] = MonthKindCondition(kOpLessOrEqual, e, kLinkLast);
  if (interimClosing && e == 6) {
    c[count - 1].link = kLinkOr;
    c[count++] = MonthKindCondition(kOpEqual, kMonthKindInterimClosing, kLinkLast);
  }
  if (endsInLastMonth) {
    c[count - 1].link = kLinkOr;
    c[count++] = MonthKindCondition(kOpEqual, kMonthKindYearEndClosing, kLinkLast);
  }
}

MonthRange ReadMonthRange(const StFINDINFO& filter) {
  MonthRange range;
  const FilterCondition* c = filter.conditions;
  range.startKind = static_cast<int16_t>(c[0].value & 0xFFFF);
  range.endKind = static_cast<int16_t>(c[1].value & 0xFFFF);
  range.hasSuccessor = c[1].link != kLinkLast;
  if (range.hasSuccessor) range.successorKind = static_cast<int16_t>(c[2].value & 0xFFFF);
  // Conditions 3 and 4 are the closing adjustments, present only while the
  // condition before links on.
  for (int i = 2; i < 4 && c[i - 1].link != kLinkLast; ++i) {
    if (c[i].fieldId != kFieldMonthKind || c[i].op != kOpEqual) continue;
    int16_t kind = static_cast<int16_t>(c[i].value & 0xFFFF);
    if (kind == kMonthKindInterimClosing) range.includesInterim = true;
    if (kind == kMonthKindYearEndClosing) range.includesYearEnd = true;
  }
  return range;
}

int16_t MonthRange::WalkEndKind() const {
  if (includesYearEnd) return kMonthKindYearEndClosing;
  if (includesInterim && endKind == 6) return kMonthKindInterimClosing;
  return endKind;
}

}  // namespace taxlink
