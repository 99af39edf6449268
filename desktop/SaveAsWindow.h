#ifndef TAXLINK_DESKTOP_SAVEASWINDOW_H_
#define TAXLINK_DESKTOP_SAVEASWINDOW_H_

#include <functional>
#include <string>

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {
struct SaveFileRequest;
}

namespace desktop {

// The save-as dialog of a request, with Japanese labels: starts in the
// POSIX folder of its initial folder (or the nearest folder above it that
// exists), with its file name unless that is a pattern, filters by its
// filter, adds its default extension and lists the mapped drives' folders
// beside the files. The file name field also takes a Windows path
// ("D:\out\tax.xml"). A confirmed file becomes a Windows path through the
// drive map in request.chosenPath. A choice the save-as rules refuse (no
// file name, a missing folder, a path too long) or a file on no drive is
// refused with refuse(message) and the dialog opens again.
bool RunSaveAsDialog(QWidget* owner, platform::SaveFileRequest& request,
                     const std::function<void(const char* message)>& refuse);

// "Xml Files (*.xml)|*.xml||" as Qt name filters: "Xml Files (*.xml)".
QStringList NameFiltersOf(const std::string& windowsFilter);
// The POSIX folder a Windows folder (Shift_JIS) starts the dialog in: the
// nearest existing one, else the home folder.
QString StartFolderOf(const std::string& windowsFolder);

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_SAVEASWINDOW_H_
