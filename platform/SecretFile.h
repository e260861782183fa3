#pragma once
// Secrets (passwords, keys) read from a file instead of the command line, where every local
// user could see them.

#include <string>
#include <string_view>

namespace nc16::platform {

// The first line of the file at the CP932 path, without its line break (LF or CR LF), as the
// bytes stored. Raises EOSError naming the file when it cannot be read, is not a regular file,
// or (on POSIX) can be read by its group or by others, as ssh refuses such key files.
std::string ReadSecretFile(std::string_view path);

}  // namespace nc16::platform
