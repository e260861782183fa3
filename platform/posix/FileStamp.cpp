#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace nc16::platform {

std::optional<FileStamp> StampOfFile(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.Size = static_cast<uintmax_t>(st.st_size);
  stamp.ModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.FileId = static_cast<uint64_t>(st.st_ino);
  return stamp;
}

}  // namespace nc16::platform
