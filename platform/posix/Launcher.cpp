// The launcher's window calls as datagrams. A datagram either arrives whole or not at all, and a
// non-blocking send to a socket nobody has bound fails at once, so the wizard never waits for a
// launcher that has gone away.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/Platform.h"
#include "platform/posix/Env.h"

namespace nc16::platform {
namespace {

void Send(const std::string& text) {
  auto path = posix::Env("NC16_LAUNCHER_SOCKET");
  if (!path || path->empty()) return;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path->size() >= sizeof addr.sun_path) return;
  std::memcpy(addr.sun_path, path->data(), path->size());
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  // A refused, missing or full socket is the same as a window that is gone: no effect.
  (void)::sendto(fd, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr),
                 sizeof addr);
  ::close(fd);
}

}  // namespace

void EnableLauncherWindow(WindowHandle window, bool enable) {
  Send("EnableWindow " + std::to_string(window) + (enable ? " 1" : " 0"));
}

void BringLauncherToForeground(WindowHandle window) {
  Send("SetForegroundWindow " + std::to_string(window));
}

void PostLauncherMessage(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                         std::int32_t lparam) {
  Send("PostMessage " + std::to_string(window) + " " + std::to_string(message) + " " +
       std::to_string(wparam) + " " + std::to_string(lparam));
}

}  // namespace nc16::platform
