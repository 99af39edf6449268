// The profile (INI) file reader: whatever the file holds and whatever the
// buffer's size, the value copied fits the buffer with its terminator.
//
// Input: SIZE byte, then SECTION \0 KEY \0 FILE.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/winfs/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t bufferSize = data[0] % 80;
  std::vector<std::string> parts = fuzz::SplitAtNul(fuzz::AsText(data + 1, size - 1), 3);
  fuzz::WriteWorkFile("VelzoDef.ini", parts[2]);
  const char* queries[][2] = {{"ProgramLevel", "SY26"}, {parts[0].c_str(), parts[1].c_str()}};
  for (const auto& query : queries) {
    std::vector<char> buffer(bufferSize + 1, '#');
    std::size_t length = platform::GetPrivateProfileString(
        query[0], query[1], "dflt", buffer.data(), bufferSize, "C:\\VelzoDef.ini");
    if (bufferSize == 0) {
      if (length != 0 || buffer[0] != '#') fuzz::Broken("a zero-sized buffer was written");
      continue;
    }
    if (length >= bufferSize || buffer[length] != '\0' || std::strlen(buffer.data()) != length ||
        buffer[bufferSize] != '#') {
      fuzz::Broken("the value does not fit its buffer");
    }
  }
  return 0;
}
