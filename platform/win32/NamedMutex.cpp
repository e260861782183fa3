// Named mutexes are kernel objects here: the object lives while any process holds a handle to
// it, and the kernel closes a dead process's handles, so a crashed holder leaves no marker.

#include <windows.h>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Error.h"

namespace nc16::platform {
namespace {

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

void NamedMutex::Close() noexcept {
  if (handle_ == kNone) return;
  ::CloseHandle(AsHandle(handle_));
  handle_ = kNone;
}

NamedMutex NamedMutex::Create(std::string_view name) {
  std::string n(name);
  // Not initially owned: the mutex is a marker, nobody ever waits on it.
  HANDLE h = ::CreateMutexA(nullptr, FALSE, n.c_str());
  if (h == nullptr)
    throw EOSError(Utf8ToCp932("ミューテックス ") + n + Utf8ToCp932(" を作成できません: ") +
                   win32::SystemMessage(::GetLastError()));
  return NamedMutex(reinterpret_cast<std::intptr_t>(h));
}

NamedMutex NamedMutex::Open(std::string_view name) {
  std::string n(name);
  // A mutex that exists but refuses full access counts as absent.
  HANDLE h = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, n.c_str());
  if (h == nullptr) return {};
  return NamedMutex(reinterpret_cast<std::intptr_t>(h));
}

}  // namespace nc16::platform
