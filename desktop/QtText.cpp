#include "desktop/QtText.h"

#include "platform/text/Encoding.h"

namespace desktop {

QString ToQt(std::string_view cp932) {
  return QString::fromStdString(platform::Cp932ToUtf8(cp932));
}

std::string FromQt(const QString& text) { return platform::Utf8ToCp932(text.toStdString()); }

QString MnemonicRichText(std::string_view cp932) {
  QString text = ToQt(cp932);
  QString html;
  for (qsizetype i = 0; i < text.size(); ++i) {
    QChar c = text[i];
    if (c == u'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] == u'&') {
        html += QStringLiteral("&amp;");
      } else {
        html += QStringLiteral("<u>") + QString(text[i]).toHtmlEscaped() + QStringLiteral("</u>");
      }
      continue;
    }
    html += QString(c).toHtmlEscaped();
  }
  return html;
}

}  // namespace desktop
