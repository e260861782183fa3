// Named mutexes are kernel objects here: the object lives while any process holds a handle to
// it, and the kernel closes a dead process's handles, so a crashed holder leaves no marker.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Error.h"

namespace nc16::platform {
namespace {

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

// The kernel's name of the mutex: the name as given, or with NC16_LOCK_DIR set (tests and
// demonstrations) the name within a namespace of that folder's own, so that runs with different
// lock folders never meet, as on POSIX. A "\" in a mutex name would name a kernel namespace.
std::wstring KernelName(std::string_view name) {
  std::wstring wide = win32::Wide(name);
  if (auto dir = win32::EnvCp932Or(L"NC16_LOCK_DIR", std::nullopt)) {
    const std::size_t h = std::hash<std::string>{}(*dir);
    for (wchar_t& c : wide)
      if (c == L'\\') c = L'/';
    wide = L"nc16-" + std::to_wstring(h) + L"-" + wide;
  }
  return wide;
}

}  // namespace

void NamedMutex::Close() noexcept {
  if (handle_ == kNone) return;
  ::CloseHandle(AsHandle(handle_));
  handle_ = kNone;
}

NamedMutex NamedMutex::Create(std::string_view name) {
  std::string n(name);
  const std::wstring kernel_name = KernelName(name);
  // Not initially owned: the mutex is a marker, nobody ever waits on it.
  HANDLE h = kernel_name.empty() ? nullptr : ::CreateMutexW(nullptr, FALSE, kernel_name.c_str());
  if (h == nullptr)
    throw EOSError(Utf8ToCp932("ミューテックス ") + n + Utf8ToCp932(" を作成できません: ") +
                   win32::SystemMessage(::GetLastError()));
  return NamedMutex(reinterpret_cast<std::intptr_t>(h));
}

NamedMutex NamedMutex::Open(std::string_view name) {
  const std::wstring kernel_name = KernelName(name);
  if (kernel_name.empty()) return {};
  // A mutex that exists but refuses full access counts as absent.
  HANDLE h = ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kernel_name.c_str());
  if (h == nullptr) return {};
  return NamedMutex(reinterpret_cast<std::intptr_t>(h));
}

}  // namespace nc16::platform
