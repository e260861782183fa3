// SIGTERM, SIGINT and SIGHUP through a self-pipe: the handler writes one byte, the event loop
// reads it.

#include "platform/Termination.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>

#include "platform/Cp932.h"
#include "platform/FileErrors.h"
#include "platform/OSError.h"

namespace nc16::platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];
// The pipe's write end while an object lives; -1 otherwise. Lock-free, so the handler may read it.
std::atomic<int> g_write{-1};

extern "C" void OnTerminationSignal(int signal_number) {
  const int saved = errno;
  const int fd = g_write.load();
  if (fd >= 0) {
    // A full pipe already holds a request: losing this byte loses nothing.
    const char byte = static_cast<char>(signal_number);
    (void)!::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

TerminationRequests::TerminationRequests() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
    throw EOSError(SJ("終了の要求を受け取る準備ができません: ") + FileErrorCause(errno));
  int none = -1;
  if (!g_write.compare_exchange_strong(none, fds[1])) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw EOSError(SJ("終了の要求は既に受け取られています"));
  }
  read_ = fds[0];
  write_ = fds[1];
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &action, &g_previous[i]);
    // A signal ignored when the program started (nohup, a background job's SIGINT) stays
    // ignored, as the one who started it asked.
    if (g_previous[i].sa_handler == SIG_IGN) ::sigaction(kSignals[i], &g_previous[i], nullptr);
  }
}

TerminationRequests::~TerminationRequests() {
  for (size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &g_previous[i], nullptr);
  g_write.store(-1);
  ::close(static_cast<int>(read_));
  ::close(static_cast<int>(write_));
}

bool TerminationRequests::Take() {
  bool requested = false;
  char bytes[16];
  while (::read(static_cast<int>(read_), bytes, sizeof bytes) > 0)
    requested = true;
  return requested;
}

TerminationHold::TerminationHold() {
  sigset_t block, previous;
  sigemptyset(&block);
  for (int signal_number : kSignals)
    sigaddset(&block, signal_number);
  ::pthread_sigmask(SIG_BLOCK, &block, &previous);
  for (size_t i = 0; i < std::size(kSignals); ++i)
    if (sigismember(&previous, kSignals[i]) == 0) held_ |= 1u << i;
}

TerminationHold::~TerminationHold() {
  // Unblocking delivers what arrived meanwhile, before pthread_sigmask returns.
  sigset_t unblock;
  sigemptyset(&unblock);
  for (size_t i = 0; i < std::size(kSignals); ++i)
    if ((held_ & (1u << i)) != 0) sigaddset(&unblock, kSignals[i]);
  ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
}

}  // namespace nc16::platform
