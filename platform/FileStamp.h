#pragma once
// What tells a changed file from an unchanged one without reading it: its size, modification
// time and file number (POSIX: the inode; Windows: the volume's file index).

#include <cstdint>
#include <filesystem>
#include <optional>

namespace nc16::platform {

struct FileStamp {
  uintmax_t Size = 0;
  int64_t ModifiedNs = 0;  // nanoseconds since the system's epoch, at the file system's precision
  uint64_t FileId = 0;
};

// The stamp of an existing file (links followed); nothing when it cannot be read.
std::optional<FileStamp> StampOfFile(const std::filesystem::path& file);

}  // namespace nc16::platform
