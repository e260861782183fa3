#include "platform/FileStamp.h"

#include <windows.h>

namespace nc16::platform {

std::optional<FileStamp> StampOfFile(const std::filesystem::path& file) {
  // No access asked for, shared in every way: the stamp never disturbs a program that has the
  // file open.
  HANDLE h = ::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
  ::CloseHandle(h);
  if (!ok) return std::nullopt;
  FileStamp stamp;
  stamp.Size = (static_cast<uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  const uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;
  stamp.ModifiedNs = static_cast<int64_t>(ticks) * 100;  // 100 ns ticks since 1601
  stamp.FileId = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return stamp;
}

}  // namespace nc16::platform
