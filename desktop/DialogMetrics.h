#ifndef TAXLINK_DESKTOP_DIALOGMETRICS_H_
#define TAXLINK_DESKTOP_DIALOGMETRICS_H_

#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

#include "platform/dialog/DialogTemplate.h"

namespace desktop {

// The installed font that stands in for a dialog font of the templates:
// "ＭＳ Ｐゴシック" is drawn with IPAPGothic and "ＭＳ ゴシック" with
// IPAGothic, both metric-compatible; other names are used as they are.
QString MappedFontFamily(std::string_view cp932Name);

// Dialog units as Windows converts them: a horizontal unit is a quarter of
// the dialog font's average character width (the mean width of A-Z and
// a-z, rounded), a vertical unit an eighth of its height.
class DialogMetrics {
 public:
  explicit DialogMetrics(const platform::DialogTemplate& dialogTemplate);

  const QFont& Font() const { return font_; }
  QRect ToPixels(const platform::Rect& rect) const;
  int XToPixels(int units) const;
  int YToPixels(int units) const;

 private:
  QFont font_;
  int baseX_ = 0;
  int baseY_ = 0;
};

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_DIALOGMETRICS_H_
