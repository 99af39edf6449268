#include "fuzz/FuzzSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fuzz {

const std::string& WorkFolder() {
  static const std::string folder = [] {
    std::string path;
    const char* given = std::getenv("TAXLINK_FUZZ_WORK");
    if (given != nullptr && *given != '\0') {
      path = given;
      ::mkdir(path.c_str(), 0700);
    } else {
      const char* tmp = std::getenv("TMPDIR");
      std::string pattern =
          std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/taxlink-fuzz-XXXXXX";
      if (::mkdtemp(pattern.data()) == nullptr) Broken("cannot create a work folder");
      path = pattern;
    }
    ::setenv("TAXLINK_DRIVES", ("C=" + path).c_str(), 1);
    return path;
  }();
  return folder;
}

void WriteWorkFile(const std::string& name, std::string_view bytes) {
  std::ofstream out(WorkFolder() + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Broken("cannot write " + name + " in the work folder");
}

std::string_view AsText(const uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

std::vector<std::string> SplitAtNul(std::string_view input, std::size_t parts) {
  std::vector<std::string> out;
  while (out.size() + 1 < parts) {
    std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) break;
    out.emplace_back(input.substr(0, nul));
    input.remove_prefix(nul + 1);
  }
  out.emplace_back(input);
  out.resize(parts);
  return out;
}

void Broken(const std::string& what) {
  std::fprintf(stderr, "fuzz target: %s\n", what.c_str());
  std::abort();
}

}  // namespace fuzz
