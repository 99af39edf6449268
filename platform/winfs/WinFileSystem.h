#ifndef TAXLINK_PLATFORM_WINFS_WINFILESYSTEM_H_
#define TAXLINK_PLATFORM_WINFS_WINFILESYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Windows paths (Shift_JIS byte strings with drive letters, backslashes and
// \\server\share names) over this machine's file system.
//
// The drive map comes from TAXLINK_DRIVES, entries separated by ";":
//   LETTER=POSIX_DIR[,TYPE]   TYPE: fixed (default), removable, remote,
//                             cdrom, ramdisk, unknown
// e.g. "C=/;D=/srv/data;E=/media/cd,cdrom". Without the variable, C: is "/".
// Network shares come from TAXLINK_SHARES: "server\share=POSIX_DIR;...".
// A drive letter that is not mapped has no root directory.

// The POSIX path (UTF-8) of a Windows path; relative paths are taken from
// the current directory. Nothing when the drive or share is not mapped or
// the text is not valid Shift_JIS.
std::optional<std::string> ToPosixPath(std::string_view windowsPath);
// The Windows path of an absolute POSIX path (the drive whose root is the
// longest prefix); empty when no drive maps it.
std::string ToWindowsPath(std::string_view posixPath);

// SHLWAPI
bool PathFileExists(const char* path);
bool PathIsDirectory(const char* path);
// The text after the root ("C:\", "\\server\share\"), or null when the path
// has no root.
const char* PathSkipRoot(const char* path);
// Cuts the path to its root in place; false when it has none.
bool PathStripToRoot(char* path);

// KERNEL32
uint32_t GetDriveType(const char* rootPath);
bool CreateDirectory(const char* path);
bool RemoveDirectory(const char* path);
bool DeleteFile(const char* path);
// Renames from over to (replacing to), as MoveFileEx with REPLACE_EXISTING.
bool MoveFileReplace(const char* from, const char* to);
// The temporary folder as a Windows path ending in a backslash, copied into
// buffer when it fits; returns its length (TAXLINK_TEMP, else TMPDIR, else
// /tmp).
uint32_t GetTempPath(uint32_t size, char* buffer);
// The Windows path of the running executable.
std::string GetModuleFileName();
// The POSIX folder of the running executable (for messages when it has no
// Windows path).
std::string GetModuleFolderPosix();

// C runtime
// _access: mode 0 existence, 2 write, 4 read, 6 read and write; 0 or -1.
int Access(const char* path, int mode);
int Chdir(const char* path);
// _getcwd: the current directory as a Windows path; null when it does not fit.
char* Getcwd(char* buffer, int size);
// _splitpath into buffers of at least 3, 256, 256 and 256 bytes (any may be
// null).
void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext);

struct FileStatus {
  uint64_t size = 0;
  bool isDirectory = false;
};
// CFile::GetStatus / _stat: false when the path's status cannot be read.
bool GetFileStatus(const char* path, FileStatus* status);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_WINFS_WINFILESYSTEM_H_
