// The entry of a fuzz target's replay program (no fuzzer): runs the target
// once on each input file named, or on every file of each folder named, in
// name order, so that the corpus of scripts/fuzz is a deterministic test. A
// broken property aborts as under the fuzzer; no input at all is a failure.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path named(argv[i]);
    if (!fs::is_directory(named)) {
      inputs.push_back(named);
      continue;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(named)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    inputs.insert(inputs.end(), files.begin(), files.end());
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  const bool ownWork = std::getenv("TAXLINK_FUZZ_WORK") == nullptr;
  const std::vector<fs::path> inputs = Inputs(argc, argv);
  if (inputs.empty()) {
    std::fprintf(stderr, "%s: no input files (usage: %s FILE|FOLDER...)\n", argv[0], argv[0]);
    return 1;
  }
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], input.c_str());
      return 1;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "%s\n", input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed without fault\n", inputs.size());
  if (ownWork) {
    std::error_code ignored;
    fs::remove_all(fuzz::WorkFolder(), ignored);
  }
  return 0;
}
