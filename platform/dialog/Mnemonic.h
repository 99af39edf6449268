#ifndef TAXLINK_PLATFORM_DIALOG_MNEMONIC_H_
#define TAXLINK_PLATFORM_DIALOG_MNEMONIC_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A control text with its access key: "月度(&S)" is shown "月度(S)" with the
// S underlined and taken by Alt+S; "&&" shows one "&".
struct Mnemonic {
  std::string shown;                          // Shift_JIS, without the markers
  std::size_t underline = std::string::npos;  // byte offset in shown
  char key = 0;                               // upper-case ASCII letter or digit; 0 when none
};

Mnemonic ParseMnemonic(std::string_view cp932);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_MNEMONIC_H_
