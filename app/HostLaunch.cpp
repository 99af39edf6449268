#include "app/HostLaunch.h"

#include <cstdint>
#include <string>

#include "platform/text/DecimalText.h"

namespace taxlink {

HostLaunch ParseHostLaunch(std::string_view commandLine) {
  HostLaunch launch;
  std::string line(commandLine);

  size_t comma = line.find(',');
  if (comma == std::string::npos) return launch;
  // Handles are 32 bits, written signed or unsigned.
  launch.window =
      static_cast<HWND>(platform::DecimalValue(line.substr(0, comma), INT32_MIN, UINT32_MAX));
  size_t start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return launch;
  launch.notifyMessage = static_cast<int32_t>(
      platform::DecimalValue(line.substr(start, comma - start), INT32_MIN, INT32_MAX));
  start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return launch;
  launch.functionId = static_cast<int16_t>(
      platform::DecimalValue(line.substr(start, comma - start), INT16_MIN, INT16_MAX));

  launch.text = line.substr(comma + 1);
  launch.fromHost = true;
  return launch;
}

std::string CommandLineFromArgs(int argc, char** argv) {
  // The host's line is Shift_JIS and is taken byte for byte: guessing at
  // another encoding would turn valid Shift_JIS such as "ﾐ植" (D0 90 41)
  // into other characters.
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line.push_back(' ');
    line += argv[i];
  }
  return line;
}

}  // namespace taxlink
