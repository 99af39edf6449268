#ifndef TAXLINK_MVHOST_BLOBREADER_H_
#define TAXLINK_MVHOST_BLOBREADER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace mvhost {

// Reads what BlobWriter wrote, front to back; any read past its end, and any
// number out of the range asked for, fails it.
class BlobReader {
 public:
  explicit BlobReader(const std::string& bytes) : bytes_(bytes) {}

  bool Int(int64_t* value) {
    if (bytes_.size() - at_ < sizeof *value) return false;
    std::memcpy(value, bytes_.data() + at_, sizeof *value);
    at_ += sizeof *value;
    return true;
  }
  bool Int32(int32_t* value) {
    int64_t wide = 0;
    if (!Int(&wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
    *value = static_cast<int32_t>(wide);
    return true;
  }
  // A count of items each at least `itemSize` bytes long.
  bool Count(size_t itemSize, size_t* count) {
    int64_t wide = 0;
    if (!Int(&wide) || wide < 0 ||
        static_cast<uint64_t>(wide) > (bytes_.size() - at_) / itemSize) {
      return false;
    }
    *count = static_cast<size_t>(wide);
    return true;
  }
  bool Text(std::string* text) {
    int64_t size = 0;
    if (!Int(&size) || size < 0 || static_cast<uint64_t>(size) > bytes_.size() - at_) {
      return false;
    }
    text->assign(bytes_, at_, static_cast<size_t>(size));
    at_ += static_cast<size_t>(size);
    return true;
  }
  bool Skip(const char* expected, size_t size) {
    if (bytes_.size() - at_ < size || std::memcmp(bytes_.data() + at_, expected, size) != 0) {
      return false;
    }
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_BLOBREADER_H_
