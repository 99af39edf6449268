#include "tests/support/TempFolder.h"

#include <stdlib.h>
#include <unistd.h>

namespace taxlink::testing {

std::string MakeMemoryTempFolder(const std::string& prefix) {
  std::string pattern =
      std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/") + prefix + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return std::string();
  return pattern;
}

}  // namespace taxlink::testing
