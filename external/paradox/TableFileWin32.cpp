#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/TableFile.h"
#include "platform/Cp932.h"
#include "platform/win32/FileInfo.h"
#include "platform/win32/Win32Error.h"

namespace nc16::px {

namespace {

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

[[noreturn]] void Fail(const std::string& name, const char* what, DWORD err = ::GetLastError()) {
  throw ParadoxError(SJ("テーブル ") + name + SJ(" を扱えません: ") + what + ": " +
                     platform::win32::SystemMessage(err));
}

// An OVERLAPPED that names only a file offset, for positional reads and writes and for locks.
OVERLAPPED At(uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

FileIdentity IdentityOfInfo(const BY_HANDLE_FILE_INFORMATION& info) {
  FileIdentity id;
  id.device = info.dwVolumeSerialNumber;
  id.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  id.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  const uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;
  id.mtime_ns = static_cast<int64_t>(ticks) * 100;  // 100 ns ticks since 1601
  return id;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  const auto info = platform::win32::FileInfoOf(path);
  if (!info) return std::nullopt;
  return IdentityOfInfo(*info);
}

FileIdentity TableFile::Identity() const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(AsHandle(fd_), &info)) Fail(name_, "stat");
  return IdentityOfInfo(info);
}

TableFile::TableFile(const std::filesystem::path& path, Mode mode, std::string name)
    : name_(std::move(name)) {
  // Shared for reading and writing: the payroll product keeps its tables open while it runs,
  // and its own locks (not the sharing mode) say who may write.
  const DWORD access = mode == Mode::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  HANDLE h = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw ParadoxError(SJ("テーブル ") + name_ + SJ(" を開けません: ") +
                       platform::win32::SystemMessage(::GetLastError()));
  // Only a disk file is a table (not a device or a pipe that happens to have the name).
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    ::CloseHandle(h);
    throw ParadoxError(SJ("テーブル ") + name_ + SJ(" を開けません: ") +
                       SJ("通常のファイルではありません"));
  }
  fd_ = reinterpret_cast<std::intptr_t>(h);
}

TableFile::~TableFile() {
  if (fd_ != kClosed) ::CloseHandle(AsHandle(fd_));
}

TableFile::TableFile(TableFile&& other) noexcept
    : fd_(std::exchange(other.fd_, kClosed)), name_(std::move(other.name_)) {}

TableFile& TableFile::operator=(TableFile&& other) noexcept {
  std::swap(fd_, other.fd_);
  std::swap(name_, other.name_);
  return *this;
}

void TableFile::TryLock(Lock lock) {
  // Windows locks of byte ranges are mandatory: a lock on the table's bytes would make the
  // payroll product's own reads and writes fail. One byte far beyond any table's end is locked
  // instead, which makes the lock advisory between the TableFiles that ask for it, like flock.
  // The lock belongs to this handle.
  OVERLAPPED o = At(uint64_t{1} << 62);
  const DWORD flags =
      LOCKFILE_FAIL_IMMEDIATELY | (lock == Lock::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (::LockFileEx(AsHandle(fd_), flags, 0, 1, 0, &o)) return;
  const DWORD err = ::GetLastError();
  if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING)
    throw TableLockedError(SJ("テーブル ") + name_ + SJ(" は他のプログラムが使用中です"));
  Fail(name_, "lock", err);
}

uint64_t TableFile::Size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(AsHandle(fd_), &size)) Fail(name_, "stat");
  return static_cast<uint64_t>(size.QuadPart);
}

std::string TableFile::ReadAt(uint64_t offset, size_t count) const {
  std::string data(count, '\0');
  size_t got = 0;
  while (got < data.size()) {
    OVERLAPPED o = At(offset + got);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - got, 1u << 30));
    DWORD n = 0;
    if (!::ReadFile(AsHandle(fd_), data.data() + got, want, &n, &o)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      Fail(name_, "read");
    }
    if (n == 0) break;  // the file shrank meanwhile; the reader's checks see the shorter size
    got += n;
  }
  data.resize(got);
  return data;
}

void TableFile::WriteAt(std::string_view data, uint64_t offset) const {
  size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED o = At(offset + done);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
    DWORD n = 0;
    if (!::WriteFile(AsHandle(fd_), data.data() + done, want, &n, &o)) Fail(name_, "write");
    if (n == 0) Fail(name_, "write", ERROR_WRITE_FAULT);
    done += n;
  }
}

void TableFile::Sync() const {
  if (!::FlushFileBuffers(AsHandle(fd_))) Fail(name_, "sync");
}

}  // namespace nc16::px
