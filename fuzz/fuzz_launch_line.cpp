// The host's launch line "window,message,function id,text": whatever its
// bytes, it is read without fault, and the values read, written back as
// the host writes them, read the same again.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/HostLaunch.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const taxlink::HostLaunch first = taxlink::ParseHostLaunch(fuzz::AsText(data, size));
  if (!first.fromHost) return 0;
  const std::string again = std::to_string(first.window) + "," +
                            std::to_string(first.notifyMessage) + "," +
                            std::to_string(first.functionId) + "," + first.text;
  const taxlink::HostLaunch second = taxlink::ParseHostLaunch(again);
  if (!second.fromHost || second.window != first.window ||
      second.notifyMessage != first.notifyMessage || second.functionId != first.functionId ||
      second.text != first.text) {
    fuzz::Broken("the launch line written back reads differently: " + again);
  }
  return 0;
}
