// Preloaded (LD_PRELOAD) into a program that a test runs: when the process
// ends, writes the lines of /proc/self/maps that name Qt's or curses'
// libraries to the file TAXLINK_TEST_MAPS_OUT names, then "end", so that a
// test can tell an empty answer from a probe that never ran.

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

__attribute__((destructor)) void WriteFrontEndMappings() {
  const char* out = std::getenv("TAXLINK_TEST_MAPS_OUT");
  if (out == nullptr || out[0] == '\0') return;
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  std::FILE* file = std::fopen(out, "w");
  if (maps == nullptr || file == nullptr) {
    if (maps != nullptr) std::fclose(maps);
    if (file != nullptr) std::fclose(file);
    return;
  }
  char line[4096];
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    if (std::strstr(line, "libQt6") != nullptr || std::strstr(line, "libncursesw") != nullptr) {
      std::fputs(line, file);
    }
  }
  std::fputs("end\n", file);
  std::fclose(maps);
  std::fclose(file);
}

}  // namespace
