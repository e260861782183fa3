#pragma once
// Reading a settings file whole: the profile files, the registry file, user-dirs.dirs. Whatever
// lies in a settings file's place is read only when it is a regular file of a settings file's
// size: a FIFO there would make open() wait for a writer for ever (while the program holds its
// single-instance lock, so that every other export is refused meanwhile), a device would be read
// without end, and a file of gigabytes would be held in memory and written back whole.

#include <cstddef>
#include <optional>
#include <string>

namespace nc16::platform::posix {

// The largest settings file that is read: far beyond any real profile or registry file.
inline constexpr size_t kSettingsFileLimit = size_t{1} << 20;

// The bytes of the file at the native path; nothing when no file of that name exists (the name
// or a folder on its way is missing). The open never waits: it is made with O_NONBLOCK, which is
// dropped again for the reads once the file is known to be a regular one. Raises EOSError naming
// the file (CP932) and the cause when it is no regular file, is larger than `limit` bytes, or
// cannot be opened or read.
std::optional<std::string> ReadSettingsFile(const std::string& native_path,
                                            size_t limit = kSettingsFileLimit);

}  // namespace nc16::platform::posix
