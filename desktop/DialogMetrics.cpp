#include "desktop/DialogMetrics.h"

#include <QFontMetrics>

#include <string>

#include "desktop/QtText.h"
#include "resources/Texts.h"

namespace desktop {
namespace {

// Windows' logical resolution: a 9 point font is 12 pixels high.
constexpr int kLogicalDpi = 96;

// MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
  long long product = static_cast<long long>(a) * b;
  long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QString MappedFontFamily(std::string_view cp932Name) {
  if (cp932Name == taxlink::texts::kDialogFont) return QStringLiteral("IPAPGothic");
  if (cp932Name == taxlink::texts::kDialogFixedFont) return QStringLiteral("IPAGothic");
  return ToQt(cp932Name);
}

DialogMetrics::DialogMetrics(const platform::DialogTemplate& dialogTemplate) {
  font_.setFamily(
      MappedFontFamily(dialogTemplate.fontName != nullptr ? dialogTemplate.fontName : ""));
  int points = dialogTemplate.fontSize > 0 ? dialogTemplate.fontSize : 9;
  font_.setPixelSize(MulDiv(points, kLogicalDpi, 72));
  QFontMetrics metrics(font_);
  int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (width / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogMetrics::XToPixels(int units) const { return MulDiv(units, baseX_, 4); }

int DialogMetrics::YToPixels(int units) const { return MulDiv(units, baseY_, 8); }

QRect DialogMetrics::ToPixels(const platform::Rect& rect) const {
  return QRect(XToPixels(rect.x), YToPixels(rect.y), XToPixels(rect.width), YToPixels(rect.height));
}

}  // namespace desktop
