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

// The message shown when the chosen file lies in a folder that no drive of
// TAXLINK_DRIVES maps (Shift_JIS).
extern const char kNotOnADrive[];

// The save-as dialog of a request: starts in the POSIX folder of its
// initial folder (or the nearest folder above it that exists), with its
// file name unless that is a pattern, filters by its filter and adds its
// default extension. A confirmed file becomes a Windows path through the
// drive map in request.chosenPath; a file on no drive is refused with
// refuse(kNotOnADrive) and the dialog opens again.
bool RunSaveAsDialog(QWidget* owner, platform::SaveFileRequest& request,
                     const std::function<void(const char* message)>& refuse);

// "Xml Files (*.xml)|*.xml||" as Qt name filters: "Xml Files (*.xml)".
QStringList NameFiltersOf(const std::string& windowsFilter);
// The POSIX folder a Windows folder (Shift_JIS) starts the dialog in.
QString StartFolderOf(const std::string& windowsFolder);

}  // namespace desktop

#endif  // TAXLINK_DESKTOP_SAVEASWINDOW_H_
