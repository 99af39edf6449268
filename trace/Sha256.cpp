#include "trace/Sha256.h"

#include <nettle/sha2.h>

#include <cstddef>
#include <cstdint>

namespace taxlink {

std::string Sha256Hex(std::string_view bytes) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&context, SHA256_DIGEST_SIZE, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(std::size_t{2} * SHA256_DIGEST_SIZE);
  for (uint8_t byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0x0F];
  }
  return hex;
}

}  // namespace taxlink
