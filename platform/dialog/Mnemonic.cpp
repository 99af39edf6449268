#include "platform/dialog/Mnemonic.h"

#include "platform/text/Mbcs.h"

namespace platform {

Mnemonic ParseMnemonic(std::string_view cp932) {
  Mnemonic result;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (IsLeadByte(c) && i + 1 < cp932.size()) {
      result.shown.append(cp932.substr(i, 2));
      ++i;
      continue;
    }
    if (c != '&' || i + 1 == cp932.size()) {
      result.shown.push_back(static_cast<char>(c));
      continue;
    }
    unsigned char next = static_cast<unsigned char>(cp932[i + 1]);
    if (next == '&') {
      result.shown.push_back('&');
      ++i;
      continue;
    }
    // The first marker counts; a marker before a double-byte character
    // underlines it but gives no key.
    if (result.underline == std::string::npos) {
      result.underline = result.shown.size();
      if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
          (next >= '0' && next <= '9')) {
        result.key = static_cast<char>(next >= 'a' && next <= 'z' ? next - 'a' + 'A' : next);
      }
    }
  }
  return result;
}

}  // namespace platform
