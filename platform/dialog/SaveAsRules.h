#ifndef TAXLINK_PLATFORM_DIALOG_SAVEASRULES_H_
#define TAXLINK_PLATFORM_DIALOG_SAVEASRULES_H_

#include <string>
#include <vector>

#include "platform/dialog/UserInterface.h"
#include "resources/Texts.h"

namespace platform {

// What every front end's save-as dialog decides the same way, on Windows
// paths in Shift_JIS.

// Refusal messages of a save-as dialog (Shift_JIS).
using taxlink::texts::kSaveAsFolderNotFound;
using taxlink::texts::kSaveAsNoFileName;
using taxlink::texts::kSaveAsNotOnADrive;
using taxlink::texts::kSaveAsPathTooLong;

// Why the dialog does not take a chosen path, or null when it does: no file
// name after the last separator, a folder that does not exist (when the
// request says the path must exist), or more bytes than the request's
// buffer holds.
const char* SaveAsRefusal(const SaveFileRequest& request, const std::string& windowsPath);

// The path with the request's default extension, in lower case as the
// filter's pattern, when its file name has no extension.
std::string WithDefaultExtension(const SaveFileRequest& request, const std::string& windowsPath);

// The folder itself when it exists, else the nearest folder above it that
// does (ending in a separator); empty when not even its root exists.
std::string NearestExistingFolder(const std::string& windowsFolder);

// The roots of the drives of the drive map whose folders exist ("C:\").
std::vector<std::string> DriveRoots();

// True for a path that starts at a drive or share root ("C:\", "C:/", "\\").
bool IsRootedWindowsPath(const std::string& path);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_DIALOG_SAVEASRULES_H_
