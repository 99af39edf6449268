#include "sheet/PdfSheet.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace taxlink::sheet {

namespace {

constexpr char kFontFamily[] = "IPAGothic";

// Qt's notes on stderr (no runtime folder, say) are not the sheet's
// business; only its critical messages are passed on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "taxlink-sheet: %s\n", message.toLocal8Bit().constData());
  }
}

// Qt's text layout needs a GUI application; a command-line program has no
// display, so the offscreen platform is the default.
std::unique_ptr<QGuiApplication> StartQt() {
  if (QGuiApplication::instance() != nullptr) return nullptr;
  qInstallMessageHandler(QuietQtMessages);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "taxlink-sheet";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool WritePdf(const std::string& html, bool landscape, const std::string& path,
              std::string* error) {
  std::unique_ptr<QGuiApplication> app = StartQt();
  if (!QFontDatabase::families().contains(kFontFamily)) {
    *error = std::string("the font ") + kFontFamily +
             " is not installed (Debian: fonts-ipafont-gothic); no PDF written";
    return false;
  }
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  {
    QPdfWriter writer(QString::fromStdString(temporary));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(10, 12, 10, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("taxlink-sheet"));
    writer.setCreator(QStringLiteral("taxlink-sheet"));

    QTextDocument document;
    // Lay out at the writer's resolution, so that points are points on paper.
    document.documentLayout()->setPaintDevice(&writer);
    QFont font(kFontFamily);
    font.setPointSizeF(9.0);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(html));
    document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
    QPainter painter;
    if (!painter.begin(&writer)) {
      *error = "cannot write " + path;
      return false;
    }
    // One page of the document per PDF page.
    const QSizeF page = document.pageSize();
    for (int i = 0; i < document.pageCount(); ++i) {
      if (i > 0) writer.newPage();
      painter.save();
      painter.translate(0, -page.height() * i);
      document.drawContents(&painter, QRectF(0, page.height() * i, page.width(), page.height()));
      painter.restore();
    }
    painter.end();
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, path, renameError);
  if (renameError) {
    *error = "cannot write " + path + ": " + renameError.message();
    std::filesystem::remove(temporary, renameError);
    return false;
  }
  return true;
}

}  // namespace taxlink::sheet
