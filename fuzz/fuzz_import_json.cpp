// The data-set import from JSON: whatever the file holds, it is read and
// checked without fault, and a data set that is taken exports, imports
// again and exports to the same text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "fuzz/ImportRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(fuzz::AsText(data, size));
  // CSV files are the other target's; a file named here could be any file.
  if (text.find("journals_csv") != std::string::npos) return 0;
  fuzz::CheckImportRoundTrip(text, fuzz::WorkFolder());
  return 0;
}
