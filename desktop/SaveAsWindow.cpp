#include "desktop/SaveAsWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QUrl>

#include <cstdio>
#include <optional>

#include "desktop/QtText.h"
#include "platform/dialog/SaveAsRules.h"
#include "platform/dialog/UserInterface.h"
#include "platform/text/Encoding.h"
#include "platform/winfs/PathMapping.h"
#include "resources/Texts.h"

namespace desktop {
namespace {

constexpr int kWidth = 820;
constexpr int kHeight = 520;

// The labels a Japanese save-as dialog has, whether or not Qt's own
// translations are installed.
void SetJapaneseLabels(QFileDialog& dialog) {
  dialog.setLabelText(QFileDialog::LookIn, ToQt(taxlink::texts::kSaveAsLookIn));
  dialog.setLabelText(QFileDialog::FileName, ToQt(taxlink::texts::kSaveAsFileNameLabel));
  dialog.setLabelText(QFileDialog::FileType, ToQt(taxlink::texts::kSaveAsFileType));
  dialog.setLabelText(QFileDialog::Accept, ToQt(taxlink::texts::kSaveAsAccept));
  dialog.setLabelText(QFileDialog::Reject, ToQt(taxlink::texts::kCancelButton));
}

// The drives' folders in the side bar, so that the person finds C:, D: ...
void ListDrives(QFileDialog& dialog) {
  QList<QUrl> urls;
  for (const std::string& root : platform::DriveRoots()) {
    if (std::optional<std::string> posix =
            platform::MapUtf8WindowsPath(platform::Cp932ToUtf8(root))) {
      urls << QUrl::fromLocalFile(QString::fromStdString(*posix));
    }
  }
  dialog.setSidebarUrls(urls);
}

// Name, size, type and date in columns wide enough for their texts.
void ShowDetails(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(kWidth, kHeight);
  if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    // Name, size, type, date: the date column takes what is left.
    const int widths[] = {300, 100, 110};
    for (int column = 0; column < 3 && column < tree->header()->count(); ++column) {
      tree->header()->resizeSection(column, widths[column]);
    }
    tree->header()->setStretchLastSection(true);
  }
}

// The Windows path typed into the name field, or empty when the field
// holds something else (a name, a POSIX path).
std::string TypedWindowsPath(const QFileDialog& dialog) {
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  std::string typed;
  if (name == nullptr || !platform::TryUtf8ToCp932(name->text().trimmed().toStdString(), &typed) ||
      !platform::IsRootedWindowsPath(typed)) {
    return std::string();
  }
  return typed;
}

// Qt's dialog takes a typed Windows path for one long file name below its
// folder (and refuses it silently past the file system's name limit): such
// a path is taken as it is and judged by the save-as rules afterwards.
class SaveAsFileDialog : public QFileDialog {
 public:
  SaveAsFileDialog(QWidget* owner, const QString& title) : QFileDialog(owner, title) {}
  void accept() override {
    if (!TypedWindowsPath(*this).empty()) {
      QDialog::accept();  // NOLINT(bugprone-parent-virtual-call): not the file check
    } else {
      QFileDialog::accept();
    }
  }
};

// The path the person chose, as a Windows path (Shift_JIS): a Windows path
// typed into the name field as it is, else the dialog's file through the
// drive map; empty when that file lies on no drive.
std::string ChosenWindowsPath(QFileDialog& dialog, const platform::SaveFileRequest& request) {
  std::string typed = TypedWindowsPath(dialog);
  if (!typed.empty()) return platform::WithDefaultExtension(request, typed);
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (dialog.selectedFiles().isEmpty()) return std::string();
  QString chosen = QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
  // A name ending in a separator names a folder (Qt adds the default
  // extension to nothing): the path keeps its separator, so that the rules
  // find no file name.
  if (name != nullptr && (name->text().endsWith(u'/') || name->text().endsWith(u'\\'))) {
    chosen = QFileInfo(chosen).absolutePath() + u'/';
  }
  std::string windows = platform::PosixToWindowsUtf8(chosen.toStdString());
  if (windows.empty()) {
    std::fprintf(stderr, "taxlink: the chosen file %s lies on no drive of the drive map (%s)\n",
                 chosen.toStdString().c_str(), platform::DriveMapSetting().c_str());
    return std::string();
  }
  if (chosen.endsWith(u'/') && windows.back() != '\\') windows.push_back('\\');
  return platform::Utf8ToCp932(windows);
}

}  // namespace

QStringList NameFiltersOf(const std::string& windowsFilter) {
  QStringList parts = ToQt(windowsFilter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    if (description.isEmpty() || patterns.isEmpty()) continue;
    // Qt reads the patterns from the parentheses at the end.
    qsizetype open = description.lastIndexOf(u'(');
    if (open > 0 && description.endsWith(u')')) description = description.left(open).trimmed();
    patterns.replace(u';', u' ');
    filters << description + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}

QString StartFolderOf(const std::string& windowsFolder) {
  std::string nearest = platform::NearestExistingFolder(windowsFolder);
  std::optional<std::string> posix;
  if (!nearest.empty()) posix = platform::MapUtf8WindowsPath(platform::Cp932ToUtf8(nearest));
  return posix ? QDir(QString::fromStdString(*posix)).absolutePath() : QDir::homePath();
}

bool RunSaveAsDialog(QWidget* owner, platform::SaveFileRequest& request,
                     const std::function<void(const char* message)>& refuse) {
  SaveAsFileDialog dialog(owner, ToQt(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Overwriting is confirmed by the caller.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(NameFiltersOf(request.filter));
  // Lower case, so that the added extension matches the filter's pattern on
  // a file system that tells case apart.
  dialog.setDefaultSuffix(ToQt(request.defaultExtension).toLower());
  SetJapaneseLabels(dialog);
  ListDrives(dialog);
  ShowDetails(dialog);
  dialog.setDirectory(StartFolderOf(request.initialFolder));
  QString name = ToQt(request.fileName);
  if (!name.isEmpty() && !name.contains(u'*') && !name.contains(u'?')) dialog.selectFile(name);
  while (dialog.exec() == QDialog::Accepted) {
    std::string windows = ChosenWindowsPath(dialog, request);
    const char* refusal =
        windows.empty() ? platform::kSaveAsNotOnADrive : platform::SaveAsRefusal(request, windows);
    if (refusal == nullptr) {
      request.chosenPath = windows;
      return true;
    }
    refuse(refusal);
  }
  return false;
}

}  // namespace desktop
