#ifndef TAXLINK_PLATFORM_TEXT_WINTYPES_H_
#define TAXLINK_PLATFORM_TEXT_WINTYPES_H_

#include <cstdint>

// The few Windows types and constants the program's interfaces use.

using HWND = uint32_t;  // a window handle as the host passes it: 32 bits
using BOOL = int32_t;
constexpr BOOL TRUE_ = 1;
constexpr BOOL FALSE_ = 0;

// Message box styles.
constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_OKCANCEL = 0x00000001;
constexpr uint32_t MB_YESNO = 0x00000004;
constexpr uint32_t MB_ICONERROR = 0x00000010;
constexpr uint32_t MB_ICONQUESTION = 0x00000020;
constexpr uint32_t MB_ICONWARNING = 0x00000030;
constexpr uint32_t MB_ICONEXCLAMATION = 0x00000030;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
constexpr uint32_t MB_TYPEMASK = 0x0000000F;
constexpr uint32_t MB_ICONMASK = 0x000000F0;

// Message box answers and dialog end codes.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Drive types of GetDriveType.
constexpr uint32_t DRIVE_UNKNOWN = 0;
constexpr uint32_t DRIVE_NO_ROOT_DIR = 1;
constexpr uint32_t DRIVE_REMOVABLE = 2;
constexpr uint32_t DRIVE_FIXED = 3;
constexpr uint32_t DRIVE_REMOTE = 4;
constexpr uint32_t DRIVE_CDROM = 5;
constexpr uint32_t DRIVE_RAMDISK = 6;

constexpr int MAX_PATH_ = 260;

#endif  // TAXLINK_PLATFORM_TEXT_WINTYPES_H_
