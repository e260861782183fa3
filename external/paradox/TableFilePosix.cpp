#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/TableFile.h"
#include "platform/Cp932.h"

namespace nc16::px {

namespace {

[[noreturn]] void Fail(const std::string& name, const char* what) {
  throw ParadoxError(SJ("テーブル ") + name + SJ(" を扱えません: ") + what + ": " +
                     std::strerror(errno));
}

FileIdentity IdentityOfStat(const struct stat& st) {
  FileIdentity id;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<uint64_t>(st.st_size);
  id.mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

TableFile::TableFile(const std::filesystem::path& path, Mode mode, std::string name)
    : name_(std::move(name)) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer for ever. Only a regular file
  // is a table; the flag is dropped again for the reads and writes.
  fd_ = ::open(path.c_str(), (mode == Mode::kRead ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0)
    throw ParadoxError(SJ("テーブル ") + name_ + SJ(" を開けません: ") + std::strerror(errno));
  struct stat st {};
  const bool regular = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  const int flags = regular ? ::fcntl(fd_, F_GETFL) : -1;
  if (!regular || flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const std::string cause = regular ? std::strerror(errno) : SJ("通常のファイルではありません");
    ::close(std::exchange(fd_, -1));
    throw ParadoxError(SJ("テーブル ") + name_ + SJ(" を開けません: ") + cause);
  }
}

TableFile::~TableFile() {
  if (fd_ >= 0) ::close(fd_);
}

TableFile::TableFile(TableFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), name_(std::move(other.name_)) {}

TableFile& TableFile::operator=(TableFile&& other) noexcept {
  std::swap(fd_, other.fd_);
  std::swap(name_, other.name_);
  return *this;
}

void TableFile::TryLock(Lock lock) {
  // flock, not fcntl: fcntl locks belong to the process, so a reader opening and closing the
  // table in the same process would silently drop the writer's lock.
  if (::flock(fd_, (lock == Lock::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0) return;
  if (errno == EWOULDBLOCK)
    throw TableLockedError(SJ("テーブル ") + name_ + SJ(" は他のプログラムが使用中です"));
  Fail(name_, "lock");
}

uint64_t TableFile::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) Fail(name_, "stat");
  return static_cast<uint64_t>(st.st_size);
}

FileIdentity TableFile::Identity() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) Fail(name_, "stat");
  return IdentityOfStat(st);
}

std::string TableFile::ReadAt(uint64_t offset, size_t count) const {
  std::string data(count, '\0');
  size_t got = 0;
  while (got < data.size()) {
    const ssize_t n =
        ::pread(fd_, data.data() + got, data.size() - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(name_, "read");
    if (n == 0) break;  // the file shrank meanwhile; the reader's checks see the shorter size
    got += static_cast<size_t>(n);
  }
  data.resize(got);
  return data;
}

void TableFile::WriteAt(std::string_view data, uint64_t offset) const {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(name_, "write");
    done += static_cast<size_t>(n);
  }
}

void TableFile::Sync() const {
  if (::fdatasync(fd_) != 0) Fail(name_, "sync");
}

}  // namespace nc16::px
