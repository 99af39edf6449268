#include "sheet/FileFacts.h"

#include <sys/stat.h>

#include <ctime>

#include "trace/Sha256.h"

namespace taxlink::sheet {

FileFacts FactsOf(const std::string& path, std::string_view bytes, std::string_view sha256) {
  FileFacts facts;
  const std::size_t slash = path.rfind('/');
  facts.name = slash == std::string::npos ? path : path.substr(slash + 1);
  facts.sha256 = sha256.empty() ? Sha256Hex(bytes) : std::string(sha256);
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
