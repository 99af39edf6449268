// Window operations as datagrams to the window's socket.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/hostwindow/HostWindow.h"
#include "tests/support/PlatformTestEnv.h"

namespace {

using taxlink_test::ScopedEnv;
using taxlink_test::ScopedTempDir;

// A window that listens on its socket.
class Listener {
 public:
  explicit Listener(HWND window) {
    fd_ = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = platform::WindowSocketPath(window);
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }
  ~Listener() { close(fd_); }
  bool bound() const { return bound_; }

  std::vector<std::string> Received() {
    std::vector<std::string> messages;
    char buffer[256];
    ssize_t got;
    while ((got = recv(fd_, buffer, sizeof(buffer), MSG_DONTWAIT)) >= 0) {
      messages.emplace_back(buffer, static_cast<std::size_t>(got));
    }
    return messages;
  }

 private:
  int fd_;
  bool bound_ = false;
};

TEST(HostWindowTest, SocketPathFollowsTheVariable) {
  ScopedEnv folder("TAXLINK_WINDOWS_DIR", "/run/w/");
  EXPECT_EQ(platform::WindowSocketPath(4660), "/run/w/4660.sock");
  ScopedEnv unset("TAXLINK_WINDOWS_DIR", std::nullopt);
  EXPECT_EQ(platform::WindowSocketPath(7),
            "/tmp/taxlink-windows-" + std::to_string(getuid()) + "/7.sock");
}

TEST(HostWindowTest, SendsTheExitSequenceToALiveWindow) {
  ScopedTempDir dir;
  ScopedEnv folder("TAXLINK_WINDOWS_DIR", dir.Path());
  Listener window(4660);
  ASSERT_TRUE(window.bound());
  EXPECT_TRUE(platform::EnableWindow(4660, false));
  EXPECT_TRUE(platform::SetForegroundWindow(4660));
  EXPECT_TRUE(platform::EnableWindow(4660, true));
  EXPECT_TRUE(platform::PostMessage(4660, 1025, -7, 2));
  EXPECT_EQ(window.Received(),
            (std::vector<std::string>{"ENABLE 0", "FOREGROUND", "ENABLE 1", "POST 1025 -7 2"}));
}

TEST(HostWindowTest, ADeadWindowFailsQuietly) {
  ScopedTempDir dir;
  ScopedEnv folder("TAXLINK_WINDOWS_DIR", dir.Path());
  EXPECT_FALSE(platform::EnableWindow(99, false));
  EXPECT_FALSE(platform::PostMessage(99, 1025, 1, 0));
  {
    Listener closed(100);  // bound, then gone: the socket file stays
    ASSERT_TRUE(closed.bound());
  }
  EXPECT_FALSE(platform::SetForegroundWindow(100));
  ScopedEnv tooLong("TAXLINK_WINDOWS_DIR", "/" + std::string(200, 'x'));
  EXPECT_FALSE(platform::SetForegroundWindow(1));
}

}  // namespace
