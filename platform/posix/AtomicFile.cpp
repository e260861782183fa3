#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "platform/Cp932.h"

namespace nc16 {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, std::string_view what, int err) {
  std::string msg = Utf8ToCp932("ファイル ") + FromNativePath(file) + Utf8ToCp932(" を") +
                    Utf8ToCp932(what) + Utf8ToCp932("できません: ") +
                    Utf8ToCp932(std::strerror(err));
  throw EOSError(msg);
}

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  std::string suffix = ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(rng() % 1000000);
  std::filesystem::path temp = target;
  temp += suffix;
  return temp;
}

// Makes the rename itself durable; a folder that cannot be synced (some network file systems)
// still holds the complete file under one of its two names, so a failure here is not reported.
void SyncFolderOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target, FileAccess access) : target_(target) {
  mode_t mode = access == FileAccess::kOwnerOnly ? 0600 : 0666;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp_ = TempNameBeside(target_);
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) Fail(target_, "作成", errno);
  }
  if (fd < 0) Fail(target_, "作成", EEXIST);
  handle_ = fd;
  // A replaced file keeps who may read it: a settings file made private stays private.
  struct stat old {};
  if (access == FileAccess::kDefault && ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(fd, old.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  if (!committed_) ::unlink(temp_.c_str());
}

void AtomicFile::Write(std::string_view data) {
  if (handle_ < 0) Fail(target_, "書き込み", EBADF);
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(static_cast<int>(handle_), p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(target_, "書き込み", errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void AtomicFile::Commit() {
  if (handle_ < 0) Fail(target_, "書き込み", EBADF);
  int fd = static_cast<int>(handle_);
  if (::fsync(fd) != 0) Fail(target_, "書き込み", errno);
  handle_ = -1;
  if (::close(fd) != 0) Fail(target_, "書き込み", errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail(target_, "作成", errno);
  committed_ = true;
  SyncFolderOf(target_);
}

void WriteFileAtomic(const std::filesystem::path& target, std::string_view data,
                     FileAccess access) {
  AtomicFile file(target, access);
  file.Write(data);
  file.Commit();
}

}  // namespace nc16
