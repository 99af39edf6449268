#include "app/HostCommandLine.h"

#include <cstdlib>
#include <string>

#include "app/LinkApp.h"
#include "platform/Encoding.h"

namespace taxlink {

int ParseHostCommandLine(LinkApp& app, std::string_view commandLine) {
  if (commandLine.empty()) return 0;
  std::string line(commandLine);

  size_t comma = line.find(',');
  if (comma == std::string::npos) return 0;
  app.hostWindow = static_cast<HWND>(std::atol(line.substr(0, comma).c_str()));
  size_t start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return 0;
  app.hostNotifyMessage = static_cast<int32_t>(std::atol(line.substr(start, comma - start).c_str()));
  start = comma + 1;

  comma = line.find(',', start);
  if (comma == std::string::npos) return 0;
  app.functionId = static_cast<int16_t>(std::atoi(line.substr(start, comma - start).c_str()));

  std::string rest = line.substr(comma + 1);
  if (!rest.empty()) app.hostText = rest;
  return 1;
}

std::string CommandLineFromArgs(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line.push_back(' ');
    // A terminal hands UTF-8; the host hands the Shift_JIS bytes a Windows
    // command line carries. Text that is not UTF-8 but valid Shift_JIS is
    // kept as it is instead of being garbled by a conversion.
    std::string_view argument(argv[i]);
    std::string converted;
    std::string ignored;
    if (platform::TryUtf8ToCp932(argument, &converted)) {
      line += converted;
    } else if (platform::TryCp932ToUtf8(argument, &ignored)) {
      line += argument;
    } else {
      line += platform::Utf8ToCp932(argument);
    }
  }
  return line;
}

}  // namespace taxlink
