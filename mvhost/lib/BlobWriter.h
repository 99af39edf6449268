#ifndef TAXLINK_MVHOST_BLOBWRITER_H_
#define TAXLINK_MVHOST_BLOBWRITER_H_

#include <cstdint>
#include <cstring>
#include <string>

namespace mvhost {

// Appends the host's stored forms of kept data (findings, check parts):
// every number in 8 bytes of the machine's order, a text as its length and
// its bytes. BlobReader reads them back.
class BlobWriter {
 public:
  explicit BlobWriter(std::string* out) : out_(out) {}

  void Int(int64_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out_->append(bytes, sizeof bytes);
  }
  void Text(const std::string& text) {
    Int(static_cast<int64_t>(text.size()));
    out_->append(text);
  }

 private:
  std::string* out_;
};

}  // namespace mvhost

#endif  // TAXLINK_MVHOST_BLOBWRITER_H_
