// SUPPORT.INF: whatever the file holds, the product name and version are
// read without fault, and each stays within one line.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "xml/SupportInfoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteWorkFile("SUPPORT.INF", fuzz::AsText(data, size));
  taxlink::SupportInfoFile file("", "C:\\");
  for (const std::string& value : {file.GetProductName(), file.GetProductVersion()}) {
    if (value.find('\n') != std::string::npos ||
        value.size() > taxlink::SupportInfoFile::kBlockSize) {
      fuzz::Broken("a value runs past its line: " + value);
    }
  }
  return 0;
}
