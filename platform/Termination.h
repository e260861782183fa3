#pragma once
// Requests from outside to end the program that a window's close button never sees: on POSIX the
// signals SIGTERM (kill, a shutdown), SIGINT (Ctrl+C in the terminal that started it) and SIGHUP
// (that terminal closed). Left to their default, they end the process at once, and a launcher
// whose window the wizard disabled stays disabled for good. While a TerminationRequests object
// lives, each such signal only writes a byte to a pipe (all a signal handler may safely do); the
// program watches the pipe's read end in its event loop and ends itself in order.
//
// Windows has no such signals for a windowed program: a close request arrives as a window
// message, and ReadHandle is -1 there.

#include <cstdint>

namespace nc16::platform {

class TerminationRequests {
 public:
  // Catches the requests until destruction, which brings back the handlers it replaced. One
  // object at a time: a second raises EOSError.
  TerminationRequests();
  ~TerminationRequests();
  TerminationRequests(const TerminationRequests&) = delete;
  TerminationRequests& operator=(const TerminationRequests&) = delete;

  // A descriptor that becomes readable when a request has arrived, for the event loop to watch;
  // -1 where there is nothing to watch.
  std::intptr_t ReadHandle() const { return read_; }

  // Empties the descriptor; true when a request had arrived since the last call.
  bool Take();

 private:
  std::intptr_t read_ = -1;
  std::intptr_t write_ = -1;
};

// Holds back the same requests while it lives, for work that must not be cut in two (a file of
// individual numbers and its audit record): a request that arrives meanwhile takes effect when the
// object is destroyed, with whatever handling it would have had (the default ends the process
// there; a TerminationRequests object gets its byte). Threads started meanwhile inherit the hold.
// Holds may nest; each brings back only what it changed.
class TerminationHold {
 public:
  TerminationHold();
  ~TerminationHold();
  TerminationHold(const TerminationHold&) = delete;
  TerminationHold& operator=(const TerminationHold&) = delete;

 private:
  unsigned held_ = 0;  // which of the requests this object blocked, one bit each
};

}  // namespace nc16::platform
