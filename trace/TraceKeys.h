#ifndef TAXLINK_TRACE_TRACEKEYS_H_
#define TAXLINK_TRACE_TRACEKEYS_H_

#include <cstdint>

#include "aggregation/FigureTrace.h"

namespace taxlink {

// The figures of a run that contributions go to, as spool keys.
enum class TraceKeyKind : uint8_t {
  kRateFigure = 1,    // a figure of a rate row: row, offset
  kTypeFigure = 2,    // a figure of a business-type record: row, type, offset
  kUntypedPart = 3,   // the part of a rate-row figure from lines of no business type
  kEngineFigure = 4,  // a figure the program sums itself (Figure)
  kLineTable = 5,     // not a figure: the table of the lines the figures name
};

constexpr uint64_t TraceKey(TraceKeyKind kind, unsigned row, unsigned type, unsigned offset) {
  return (uint64_t{static_cast<uint8_t>(kind)} << 48) | (uint64_t{row & 0xFF} << 40) |
         (uint64_t{type & 0xFF} << 32) | (offset & 0xFFFFu);
}
constexpr uint64_t kLineTableKey = TraceKey(TraceKeyKind::kLineTable, 0, 0, 0);
constexpr uint64_t EngineFigureKey(Figure figure) {
  return TraceKey(TraceKeyKind::kEngineFigure, 0, 0, static_cast<unsigned>(figure));
}

}  // namespace taxlink

#endif  // TAXLINK_TRACE_TRACEKEYS_H_
