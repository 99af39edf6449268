#include "sheet/FileFacts.h"

#include <openssl/evp.h>
#include <sys/stat.h>

#include <ctime>

namespace taxlink::sheet {

std::string Sha256Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1) {
    return {};
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

FileFacts FactsOf(const std::string& path, std::string_view bytes) {
  FileFacts facts;
  const std::size_t slash = path.rfind('/');
  facts.name = slash == std::string::npos ? path : path.substr(slash + 1);
  facts.sha256 = Sha256Hex(bytes);
  struct stat status;
  std::tm local;
  if (::stat(path.c_str(), &status) == 0 && ::localtime_r(&status.st_mtime, &local) != nullptr) {
    char text[64];
    if (std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S %z", &local) > 0) {
      facts.modified = text;
    }
  }
  return facts;
}

}  // namespace taxlink::sheet
