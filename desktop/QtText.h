#ifndef TAXLINK_DESKTOP_QTTEXT_H_
#define TAXLINK_DESKTOP_QTTEXT_H_

#include <QString>

#include <string>
#include <string_view>

namespace desktop {

// The program's Shift_JIS text and Qt's strings meet only here.
QString ToQt(std::string_view cp932);
std::string FromQt(const QString& text);

// A control text with its "&" mnemonic as rich text: the letter underlined,
// "&&" a plain ampersand, everything else escaped.
QString MnemonicRichText(std::string_view cp932);

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_QTTEXT_H_
