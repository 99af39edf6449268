#ifndef TAXLINK_PLATFORM_HOSTWINDOW_HOSTWINDOW_H_
#define TAXLINK_PLATFORM_HOSTWINDOW_HOSTWINDOW_H_

#include <cstdint>
#include <string>

#include "platform/text/WinTypes.h"

namespace platform {

// Operations on another process's window, known by its 32-bit handle.
// A window handle N is the Unix datagram socket "N.sock" in the folder
// TAXLINK_WINDOWS_DIR (default /tmp/taxlink-windows-UID); each call sends one
// text datagram ("ENABLE 0", "FOREGROUND", "POST msg wparam lparam"). A
// handle nobody listens on is a dead window: the calls return false quietly.
bool EnableWindow(HWND window, bool enable);
bool SetForegroundWindow(HWND window);
bool PostMessage(HWND window, uint32_t message, int32_t wParam, int32_t lParam);

// The socket path of a window handle (for listeners such as mvhost launch).
std::string WindowSocketPath(HWND window);

}  // namespace platform

#endif  // TAXLINK_PLATFORM_HOSTWINDOW_HOSTWINDOW_H_
