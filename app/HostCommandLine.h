#ifndef TAXLINK_APP_HOSTCOMMANDLINE_H_
#define TAXLINK_APP_HOSTCOMMANDLINE_H_

#include <string>
#include <string_view>

namespace taxlink {

class LinkApp;

// Reads the host's launch arguments "window,message,function id,text" into
// hostWindow, hostNotifyMessage, functionId and hostText. Returns 1 when all
// three commas were found, else 0; each value is stored as soon as its comma
// is found. The whole line is read, whatever its length. Numbers beyond their
// member's range saturate instead of wrapping.
int ParseHostCommandLine(LinkApp& app, std::string_view commandLine);

// The process command line as the framework keeps it: the arguments after
// the program name joined by single spaces, byte for byte (the host passes
// Shift_JIS).
std::string CommandLineFromArgs(int argc, char** argv);

}  // namespace taxlink

#endif  // TAXLINK_APP_HOSTCOMMANDLINE_H_
