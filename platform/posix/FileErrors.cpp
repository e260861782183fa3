// Causes of failed file operations for errno codes.

#include "platform/FileErrors.h"

#include <cerrno>
#include <cstring>

namespace nc16::platform {

std::string FileErrorCause(int code) {
  switch (code) {
    case ENOENT:
      return cause_words::NotFound();
    case EACCES:
    case EPERM:
      return cause_words::AccessDenied();
    case EISDIR:
      return cause_words::IsAFolder();
    case ENOSPC:
    case EDQUOT:
      return cause_words::DiskFull();
    default:
      return Utf8ToCp932(std::strerror(code));
  }
}

std::string FileErrorCause(const std::error_code& error) {
  // std::filesystem reports errno values in either category.
  if (error.category() == std::generic_category() || error.category() == std::system_category())
    return FileErrorCause(error.value());
  return Utf8ToCp932(error.message());
}

}  // namespace nc16::platform
