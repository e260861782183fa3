#include <windows.h>

#include "platform/Platform.h"

namespace nc16::platform {
namespace {

// A launcher hands its window as a 32-bit number; window handles are 32-bit values that 64-bit
// Windows sign-extends.
HWND AsWindow(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

}  // namespace

void EnableLauncherWindow(WindowHandle window, bool enable) {
  ::EnableWindow(AsWindow(window), enable ? TRUE : FALSE);
}

void BringLauncherToForeground(WindowHandle window) {
  ::SetForegroundWindow(AsWindow(window));
}

void PostLauncherMessage(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                         std::int32_t lparam) {
  // PostMessage to no window posts to this thread's own queue, where the wizard would read it.
  if (window == 0) return;
  ::PostMessageW(AsWindow(window), message, static_cast<WPARAM>(static_cast<std::intptr_t>(wparam)),
                 static_cast<LPARAM>(lparam));
}

}  // namespace nc16::platform
