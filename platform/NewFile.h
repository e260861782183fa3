#pragma once
// A file that must not exist yet, created and opened for binary writing.

#include <cstdio>
#include <filesystem>

namespace nc16::platform {

// Creates `path` and opens it for writing with stdio ("wbx"); null, with the file untouched,
// when it exists already or cannot be made.
std::FILE* CreateNewFile(const std::filesystem::path& path);

}  // namespace nc16::platform
