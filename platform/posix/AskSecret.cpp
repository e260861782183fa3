// Asking for a secret on the terminal with echo off.

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

#include "platform/SecretFile.h"

namespace nc16::platform {
namespace {

// The terminal's settings while echo is off, for the signal handler that puts them back.
termios g_saved_terminal{};

void RestoreTerminalAndDie(int sig) {
  ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_terminal);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// Echo off (the line break still echoes, so the next output starts on a line of its own) for
// the lifetime of the object; a signal that ends the program meanwhile restores it first.
class QuietTerminal {
 public:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

  bool Start() {
    if (::tcgetattr(STDIN_FILENO, &g_saved_terminal) != 0) return false;
    for (size_t i = 0; i < std::size(kSignals); ++i)
      old_handlers_[i] = std::signal(kSignals[i], RestoreTerminalAndDie);
    termios quiet = g_saved_terminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK);
    quiet.c_lflag |= ECHONL;
    active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    return active_;
  }
  ~QuietTerminal() {
    if (active_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved_terminal);
    for (size_t i = 0; i < std::size(kSignals); ++i)
      if (old_handlers_[i] != SIG_ERR) std::signal(kSignals[i], old_handlers_[i]);
  }

 private:
  void (*old_handlers_[std::size(kSignals)])(int) = {SIG_ERR, SIG_ERR, SIG_ERR, SIG_ERR};
  bool active_ = false;
};

}  // namespace

std::optional<std::string> AskSecret(std::string_view prompt) {
  if (!::isatty(STDIN_FILENO)) return std::nullopt;
  QuietTerminal quiet;
  // Echo goes off before the prompt appears: what is typed after it is never shown.
  if (!quiet.Start()) return std::nullopt;
  for (size_t done = 0; done < prompt.size();) {
    ssize_t n = ::write(STDERR_FILENO, prompt.data() + done, prompt.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  std::string line;
  char c;
  while (true) {
    ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') break;
    if (line.size() < (1u << 20)) line.push_back(c);  // the rest of an endless line is dropped
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace nc16::platform
