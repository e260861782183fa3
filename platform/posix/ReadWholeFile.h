#pragma once
// Reading a small text file whole.

#include <optional>
#include <string>

namespace nc16::platform::posix {

// The bytes of the file at the native path, or nothing when it cannot be read. `error` (when
// given) receives errno of the failure.
std::optional<std::string> ReadWholeFile(const std::string& native_path, int* error = nullptr);

}  // namespace nc16::platform::posix
