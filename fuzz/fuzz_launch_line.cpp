// The host's launch line "window,message,function id,text": whatever its
// bytes, it is read without fault, and the values read, written back as
// the host writes them, read the same again.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/HostCommandLine.h"
#include "app/LinkApp.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  taxlink::LinkApp app;
  if (taxlink::ParseHostCommandLine(app, fuzz::AsText(data, size)) != 1) return 0;
  const std::string again = std::to_string(app.hostWindow) + "," +
                            std::to_string(app.hostNotifyMessage) + "," +
                            std::to_string(app.functionId) + "," + app.hostText;
  taxlink::LinkApp second;
  if (taxlink::ParseHostCommandLine(second, again) != 1 || second.hostWindow != app.hostWindow ||
      second.hostNotifyMessage != app.hostNotifyMessage || second.functionId != app.functionId ||
      second.hostText != app.hostText) {
    fuzz::Broken("the launch line written back reads differently: " + again);
  }
  return 0;
}
