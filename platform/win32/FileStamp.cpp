#include "platform/FileStamp.h"

#include <windows.h>

#include "platform/win32/FileInfo.h"

namespace nc16::platform {

std::optional<BY_HANDLE_FILE_INFORMATION> win32::FileInfoOf(const std::filesystem::path& file) {
  HANDLE h = ::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
  ::CloseHandle(h);
  if (!ok) return std::nullopt;
  return info;
}

std::optional<FileStamp> StampOfFile(const std::filesystem::path& file) {
  const auto found = win32::FileInfoOf(file);
  if (!found) return std::nullopt;
  const BY_HANDLE_FILE_INFORMATION& info = *found;
  FileStamp stamp;
  stamp.Size = (static_cast<uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  const uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;
  stamp.ModifiedNs = static_cast<int64_t>(ticks) * 100;  // 100 ns ticks since 1601
  stamp.FileId = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return stamp;
}

}  // namespace nc16::platform
