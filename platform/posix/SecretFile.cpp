#include "platform/SecretFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/SecretFileChunks.h"

namespace nc16::platform {
namespace {

[[noreturn]] void Fail(std::string_view path, const std::string& cause) {
  throw EOSError(std::string(path) + SJ(" を読み込めません: ") + Utf8ToCp932(cause));
}

// Opens the file and checks that it is a regular file only its owner can read; calls
// `on_chunk` with what is read until it returns false or the file ends.
template <class OnChunk>
void ReadChecked(std::string_view path, OnChunk on_chunk) {
  std::string utf8 = Cp932ToUtf8(path);
  // O_NONBLOCK: a FIFO in place of the file must not hang the program; it is refused below.
  int fd = ::open(utf8.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) Fail(path, std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) Fail(path, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) Fail(path, "not a regular file");
  // Writable counts as much as readable: whoever may write the file chooses the secret.
  if (st.st_mode & (S_IRWXG | S_IRWXO))
    Fail(path, "readable, writable or executable by others (permissions must be 0600 or stricter)");
  char buf[4096];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(path, std::strerror(errno));
    }
    if (n == 0 || !on_chunk(std::string_view(buf, static_cast<size_t>(n)))) break;
  }
}

}  // namespace

void ReadSecretChunks(std::string_view path,
                      const std::function<bool(std::string_view)>& on_chunk) {
  ReadChecked(path, on_chunk);
}

}  // namespace nc16::platform
