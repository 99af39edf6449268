#ifndef TAXLINK_APP_HOSTLAUNCH_H_
#define TAXLINK_APP_HOSTLAUNCH_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text/WinTypes.h"

namespace taxlink {

// What the host said on the command line when it started the run.
struct HostLaunch {
  // All three commas were found: the host launched the run, and is told its
  // result at exit.
  bool fromHost = false;
  HWND window = 0;
  int32_t notifyMessage = 0;
  int16_t functionId = 1;
  std::string text;  // Shift_JIS; an output path the host fixes, or empty
};

// Reads the host's launch arguments "window,message,function id,text".
// Each value is taken as soon as its comma is found, so a line with one or
// two commas keeps the earlier values while fromHost stays false. The whole
// line is read, whatever its length. Numbers beyond their member's range
// saturate instead of wrapping.
HostLaunch ParseHostLaunch(std::string_view commandLine);

// The process command line as the framework keeps it: the arguments after
// the program name joined by single spaces, byte for byte (the host passes
// Shift_JIS).
std::string CommandLineFromArgs(int argc, char** argv);

}  // namespace taxlink

#endif  // TAXLINK_APP_HOSTLAUNCH_H_
