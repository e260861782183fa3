#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::ScopedEnv;
using nc16::testing::TempFolder;

// A launcher stand-in: a bound Unix datagram socket.
class Listener {
 public:
  explicit Listener(const std::string& path)
      : fd_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.data(), path.size());
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~Listener() { ::close(fd_); }
  bool Bound() const { return bound_; }

  // The next datagram, or "<nothing>" when none arrives in time.
  std::string Next(int timeout_ms = 2000) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) != 1) return "<nothing>";
    char buf[512];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    return n < 0 ? "<error>" : std::string(buf, static_cast<size_t>(n));
  }

 private:
  int fd_;
  bool bound_ = false;
};

class LauncherTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  std::string socket_ = dir_ / "launcher.sock";
  ScopedEnv env_{"NC16_LAUNCHER_SOCKET", socket_};
};

TEST_F(LauncherTest, ALaunchersLifeArrivesInOrderWithExactTexts) {
  Listener launcher(socket_);
  ASSERT_TRUE(launcher.Bound());
  EnableLauncherWindow(1234, false);
  BringLauncherToForeground(1234);
  EnableLauncherWindow(1234, true);
  PostLauncherMessage(1234, 32768, 5, 0);
  PostLauncherMessage(4294967295u, 4294967295u, -1, 2);
  EXPECT_EQ(launcher.Next(), "EnableWindow 1234 0");
  EXPECT_EQ(launcher.Next(), "SetForegroundWindow 1234");
  EXPECT_EQ(launcher.Next(), "EnableWindow 1234 1");
  EXPECT_EQ(launcher.Next(), "PostMessage 1234 32768 5 0");
  EXPECT_EQ(launcher.Next(), "PostMessage 4294967295 4294967295 -1 2");
  EXPECT_EQ(launcher.Next(50), "<nothing>");
}

TEST_F(LauncherTest, NobodyListeningIsNoError) {
  // No socket file at all, then a file that is no socket: every call returns at once.
  for (int i = 0; i < 100; ++i)
    PostLauncherMessage(1234, 32768, 5, 1);
  nc16::testing::WriteFile(socket_, "not a socket");
  EnableLauncherWindow(1234, false);
  ScopedEnv unset("NC16_LAUNCHER_SOCKET", std::nullopt);
  EnableLauncherWindow(1234, true);
  BringLauncherToForeground(1234);
  PostLauncherMessage(1234, 32768, 5, 1);
}

TEST_F(LauncherTest, ALauncherThatStopsReadingNeverBlocksTheWizard) {
  Listener launcher(socket_);
  ASSERT_TRUE(launcher.Bound());
  // Far more than a socket queue holds; a blocking send would hang here until the alarm ends
  // the test as failed.
  ::alarm(20);
  for (int i = 0; i < 5000; ++i)
    PostLauncherMessage(1234, 32768, 5, i);
  ::alarm(0);
  EXPECT_EQ(launcher.Next(), "PostMessage 1234 32768 5 0");
}

TEST_F(LauncherTest, ASocketPathTooLongForTheSystemIsIgnored) {
  ScopedEnv long_path("NC16_LAUNCHER_SOCKET", dir_ / std::string(200, 's'));
  PostLauncherMessage(1234, 32768, 5, 0);
}

}  // namespace
}  // namespace nc16::platform
