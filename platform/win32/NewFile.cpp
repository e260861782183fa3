#include "platform/NewFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace nc16::platform {

std::FILE* CreateNewFile(const std::filesystem::path& path) {
  // The C runtime of mingw (msvcrt) knows no "x" mode: CREATE_NEW says the same.
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY | _O_WRONLY);
  if (fd < 0) {
    ::CloseHandle(h);
    return nullptr;
  }
  std::FILE* f = ::_fdopen(fd, "wb");
  if (f == nullptr) ::_close(fd);
  return f;
}

}  // namespace nc16::platform
