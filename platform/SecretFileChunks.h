#pragma once
// The checked read of a secret file that each platform implements (SecretFile.cpp).

#include <functional>
#include <string_view>

namespace nc16::platform {

// Opens the CP932 path and checks that it is a regular file that only its owner can read
// (POSIX: no group or other permission bits; Windows: no one but the owner, the system and
// the administrators in the access list); calls `on_chunk` with what is read until it returns
// false or the file ends. EOSError naming the file otherwise.
void ReadSecretChunks(std::string_view path, const std::function<bool(std::string_view)>& on_chunk);

}  // namespace nc16::platform
