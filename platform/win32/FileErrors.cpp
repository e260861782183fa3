// Causes of failed file operations for Windows error codes.

#include "platform/FileErrors.h"

#include <windows.h>

#include "platform/win32/Win32Error.h"

namespace nc16::platform {

std::string FileErrorCause(int code) {
  switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return cause_words::NotFound();
    // Windows answers a folder opened as a file with "access denied" as well.
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return cause_words::AccessDenied();
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return cause_words::DiskFull();
    default:
      return win32::SystemMessage(static_cast<DWORD>(code));
  }
}

std::string FileErrorCause(const std::error_code& error) {
  if (error.category() == std::system_category()) return FileErrorCause(error.value());
  // std::filesystem may also report errno values in the generic category.
  if (error == std::errc::no_such_file_or_directory) return cause_words::NotFound();
  if (error == std::errc::permission_denied) return cause_words::AccessDenied();
  if (error == std::errc::is_a_directory) return cause_words::IsAFolder();
  if (error == std::errc::no_space_on_device) return cause_words::DiskFull();
  return error.message();
}

}  // namespace nc16::platform
