#pragma once
// The table files as the operating system sees them: opening, whole-file reads, positional
// writes, flushes and the advisory locks that give a writer exclusive use. The only part of the
// Paradox layer that talks to the operating system; TableFilePosix.cpp implements it with POSIX
// calls (flock, pread, pwrite, fdatasync), TableFileWin32.cpp with LockFileEx, ReadFile/WriteFile
// at an offset and FlushFileBuffers. On Windows a table is opened shared for reading and writing
// by others, so that the payroll product can keep its tables open while we read them.
//
// Locks belong to the open file, not to the process: a second TableFile on the same table, even
// in the same process, is refused while one holds an exclusive lock, and closing one file does
// not drop another's lock.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nc16::px {

// Which file, in which state: a rewrite in place changes the size or the modification time
// (kept to the nanosecond), a replacement the inode or the device.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t mtime_ns = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at `path` now (links followed); nothing when there is none to see.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

class TableFile {
 public:
  enum class Mode { kRead, kReadWrite };
  enum class Lock { kShared, kExclusive };

  TableFile() = default;
  // Opens an existing file; ParadoxError (naming `name`, the file as messages show it) when it
  // cannot be opened.
  TableFile(const std::filesystem::path& path, Mode mode, std::string name);
  ~TableFile();
  TableFile(TableFile&& other) noexcept;
  TableFile& operator=(TableFile&& other) noexcept;
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  bool IsOpen() const { return fd_ != kClosed; }
  // Takes the lock without waiting; TableLockedError when another open file holds a conflicting
  // one, ParadoxError on other failures. Released when the file closes.
  void TryLock(Lock lock);

  std::string ReadAll() const { return ReadAt(0, Size()); }  // the whole file as it is now
  // At most `count` bytes from `offset`: fewer where the file ends.
  std::string ReadAt(uint64_t offset, size_t count) const;
  uint64_t Size() const;
  FileIdentity Identity() const;  // of the open file as it is now
  void WriteAt(std::string_view data, uint64_t offset) const;
  void Sync() const;  // data on disk before the next write is issued

 private:
  // A file descriptor on POSIX, a HANDLE on Windows (INVALID_HANDLE_VALUE is -1 too).
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t fd_ = kClosed;
  std::string name_;
};

}  // namespace nc16::px
