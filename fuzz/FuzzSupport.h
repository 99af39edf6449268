#ifndef TAXLINK_FUZZ_FUZZSUPPORT_H_
#define TAXLINK_FUZZ_FUZZSUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The target's private folder (POSIX): TAXLINK_FUZZ_WORK when set, else a
// new folder in the temporary folder. Drive C: is mapped to it, so its
// files are "C:\NAME" to the program.
const std::string& WorkFolder();

// Writes bytes to a file of the work folder (replacing it).
void WriteWorkFile(const std::string& name, std::string_view bytes);

// The input as text.
std::string_view AsText(const uint8_t* data, std::size_t size);

// The input cut at its first parts - 1 NUL bytes; missing parts are empty.
std::vector<std::string> SplitAtNul(std::string_view input, std::size_t parts);

// A property of the code that did not hold: reported, then the process
// aborts so that the fuzzer keeps the input.
[[noreturn]] void Broken(const std::string& what);

}  // namespace fuzz

#endif  // TAXLINK_FUZZ_FUZZSUPPORT_H_
