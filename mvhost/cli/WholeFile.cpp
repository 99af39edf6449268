#include "mvhost/cli/WholeFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace mvhost {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
  const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.flush();
    if (!out) {
      *error = "cannot write " + temporary;
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot replace " + path + ": " + std::strerror(errno);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace mvhost
