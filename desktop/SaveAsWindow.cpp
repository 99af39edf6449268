#include "desktop/SaveAsWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <optional>

#include "desktop/QtText.h"
#include "platform/Encoding.h"
#include "platform/PathMapping.h"
#include "platform/UserInterface.h"

namespace desktop {

const char kNotOnADrive[] =
    "選択された場所はどのドライブにも割り当てられていないため、出力先に指定できません。\n\n"
    "ドライブに割り当てられたフォルダ (TAXLINK_DRIVES) を選択してください。";

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
  std::optional<std::string> posix = platform::MapUtf8WindowsPath(platform::Cp932ToUtf8(windowsFolder));
  QString folder = posix ? QString::fromStdString(*posix) : QDir::homePath();
  // The nearest folder that exists.
  QDir dir(folder);
  while (!dir.exists() && !dir.isRoot() && dir.cdUp()) {
  }
  return dir.exists() ? dir.absolutePath() : QDir::homePath();
}

bool RunSaveAsDialog(QWidget* owner, platform::SaveFileRequest& request,
                     const std::function<void(const char* message)>& refuse) {
  QFileDialog dialog(owner, ToQt(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Overwriting is confirmed by the caller.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(NameFiltersOf(request.filter));
  // Lower case, so that the added extension matches the filter's pattern on
  // a file system that tells case apart.
  dialog.setDefaultSuffix(ToQt(request.defaultExtension).toLower());
  dialog.setDirectory(StartFolderOf(request.initialFolder));
  QString name = ToQt(request.fileName);
  if (!name.isEmpty() && !name.contains(u'*') && !name.contains(u'?')) dialog.selectFile(name);
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    QString chosen = QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
    std::string windows = platform::PosixToWindowsUtf8(chosen.toStdString());
    if (!windows.empty()) {
      request.chosenPath = platform::Utf8ToCp932(windows);
      return true;
    }
    refuse(kNotOnADrive);
    dialog.setDirectory(QFileInfo(chosen).absolutePath());
  }
  return false;
}

}  // namespace desktop
