#include "platform/posix/ReadWholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/Cp932.h"
#include "platform/FileErrors.h"
#include "platform/OSError.h"

namespace nc16::platform::posix {
namespace {

[[noreturn]] void Fail(const std::string& native_path, const std::string& cause) {
  throw EOSError(SJ("ファイル ") + Utf8ToCp932(native_path) + SJ(" を読み込めません: ") + cause);
}

[[noreturn]] void TooLarge(const std::string& native_path, size_t limit) {
  Fail(native_path,
       SJ("設定ファイルとしては大きすぎます (上限 ") + std::to_string(limit) + SJ(" バイト)"));
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { ::close(fd_); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& native_path, size_t limit) {
  const int opened = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (opened < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    Fail(native_path, FileErrorCause(errno));
  }
  const Descriptor fd(opened);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) Fail(native_path, FileErrorCause(errno));
  if (S_ISDIR(st.st_mode)) Fail(native_path, FileErrorCause(EISDIR));
  if (!S_ISREG(st.st_mode)) Fail(native_path, cause_words::NotARegularFile());
  if (static_cast<uintmax_t>(st.st_size) > limit) TooLarge(native_path, limit);
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
    Fail(native_path, FileErrorCause(errno));

  std::string data;
  char buf[16384];
  while (true) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(native_path, FileErrorCause(errno));
    }
    if (n == 0) break;
    // The file may grow while it is read.
    if (data.size() + static_cast<size_t>(n) > limit) TooLarge(native_path, limit);
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

}  // namespace nc16::platform::posix
