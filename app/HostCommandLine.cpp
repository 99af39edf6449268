#include "app/HostCommandLine.h"

#include <cstdint>
#include <string>

#include "app/LinkApp.h"
#include "platform/DecimalText.h"

namespace taxlink {

int ParseHostCommandLine(LinkApp& app, std::string_view commandLine) {
  if (commandLine.empty()) return 0;
  std::string line(commandLine);

  size_t comma = line.find(',');
  if (comma == std::string::npos) return 0;
  // Handles are 32 bits, written signed or unsigned.
  app.hostWindow = static_cast<HWND>(
      platform::DecimalValue(line.substr(0, comma), INT32_MIN, UINT32_MAX));
  size_t start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return 0;
  app.hostNotifyMessage = static_cast<int32_t>(
      platform::DecimalValue(line.substr(start, comma - start), INT32_MIN, INT32_MAX));
  start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return 0;
  app.functionId = static_cast<int16_t>(
      platform::DecimalValue(line.substr(start, comma - start), INT16_MIN, INT16_MAX));

  std::string rest = line.substr(comma + 1);
  if (!rest.empty()) app.hostText = rest;
  return 1;
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
