// A windowed program on Windows is asked to end through window messages (WM_CLOSE,
// WM_ENDSESSION), which the toolkit delivers as close events: nothing to catch here. A console
// program gets Ctrl+C, Ctrl+Break and the console's closing through a control handler, which a
// hold answers itself until it ends.

#include "platform/Termination.h"

#include <windows.h>

#include <atomic>

namespace nc16::platform {
namespace {

std::atomic<int> g_holds{0};
std::atomic<bool> g_held_request{false};

BOOL WINAPI HoldRequest(DWORD) {
  if (g_holds.load() == 0) return FALSE;  // the next handler: by default, the process ends
  g_held_request.store(true);
  return TRUE;
}

}  // namespace

TerminationHold::TerminationHold() {
  if (g_holds.fetch_add(1) == 0) ::SetConsoleCtrlHandler(HoldRequest, TRUE);
}

TerminationHold::~TerminationHold() {
  if (g_holds.fetch_sub(1) != 1) return;
  ::SetConsoleCtrlHandler(HoldRequest, FALSE);
  // What Ctrl+C would have done during the hold, now that the work is complete.
  if (g_held_request.exchange(false)) ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

TerminationRequests::TerminationRequests() = default;
TerminationRequests::~TerminationRequests() = default;

bool TerminationRequests::Take() {
  return false;
}

}  // namespace nc16::platform
