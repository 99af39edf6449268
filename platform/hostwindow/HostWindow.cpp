#include "platform/hostwindow/HostWindow.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// Sends one datagram to the window's socket; false when nobody listens.
bool Send(HWND window, const std::string& text) {
  std::string path = WindowSocketPath(window);
  sockaddr_un address;
  std::memset(&address, 0, sizeof(address));
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ssize_t sent = sendto(fd, text.data(), text.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  close(fd);
  return sent == static_cast<ssize_t>(text.size());
}

}  // namespace

std::string WindowSocketPath(HWND window) {
  const char* folder = std::getenv("TAXLINK_WINDOWS_DIR");
  std::string path;
  if (folder != nullptr && *folder != '\0') {
    path = folder;
  } else {
    path = "/tmp/taxlink-windows-" + std::to_string(getuid());
  }
  if (path.back() != '/') path.push_back('/');
  return path + std::to_string(window) + ".sock";
}

bool EnableWindow(HWND window, bool enable) {
  return Send(window, enable ? "ENABLE 1" : "ENABLE 0");
}

bool SetForegroundWindow(HWND window) { return Send(window, "FOREGROUND"); }

bool PostMessage(HWND window, uint32_t message, int32_t wParam, int32_t lParam) {
  return Send(window, "POST " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                          std::to_string(lParam));
}

}  // namespace platform
