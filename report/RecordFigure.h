#ifndef TAXLINK_REPORT_RECORDFIGURE_H_
#define TAXLINK_REPORT_RECORDFIGURE_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace taxlink {

// The signed 64-bit raw amount at a byte offset of a packed host record
// (most offsets are unaligned).
inline int64_t RecordFigure(const void* record, std::size_t offset) {
  int64_t value;
  std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof(value));
  return value;
}

}  // namespace taxlink

#endif  // TAXLINK_REPORT_RECORDFIGURE_H_
