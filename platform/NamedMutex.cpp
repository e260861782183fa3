// The part of the named-mutex handle that is the same on every system: moving the handle.

#include "platform/Platform.h"

namespace nc16::platform {

NamedMutex::NamedMutex(NamedMutex&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

}  // namespace nc16::platform
