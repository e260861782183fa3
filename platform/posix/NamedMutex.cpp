// Named mutexes as lock files. Every holder keeps a shared flock on the file of the name; a
// process that wants to know whether the name is held tries an exclusive flock without waiting:
// it fails exactly while some holder lives. flock (not fcntl) because its locks belong to the
// open file, so a second handle of the same process does not drop the first one's lock when it
// is closed.
//
// A probe that finds nobody removes the file, so names do not pile up. A holder that locked a
// file just being removed notices that the name now leads elsewhere (or nowhere) and starts
// again with the new file.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/posix/Env.h"

namespace nc16::platform {
namespace {

[[noreturn]] void Fail(std::string_view name, const std::string& cause) {
  throw EOSError(Utf8ToCp932("ミューテックス ") + std::string(name) +
                 Utf8ToCp932(" を作成できません: ") + cause);
}

std::string Cause(const std::string& native_path, int err) {
  return Utf8ToCp932(native_path + ": " + std::strerror(err));
}

// The folder of the lock files (native). NC16_LOCK_DIR and XDG_RUNTIME_DIR are taken as given:
// the user's own choice, and the session's private folder. Otherwise a folder of this user's in
// the temporary folder, made 0700 when missing: in a folder that every user may write, another
// user could create our lock file first, unreadable to us, and so keep us from ever starting.
// The folder is refused unless it is a real folder (no symbolic link) of this user's that
// nobody else may write. Without `create`, a missing folder is nothing: nullopt. Raises
// EOSError naming `name`, the folder and the fault.
std::optional<std::string> LockFolder(std::string_view name, bool create) {
  if (auto own = posix::Env("NC16_LOCK_DIR"); own && !own->empty()) return *own;
  if (auto run = posix::Env("XDG_RUNTIME_DIR"); run && !run->empty()) return *run;
  const std::string folder =
      posix::EnvOr("TMPDIR", "/tmp") + "/nc16-locks-" + std::to_string(::geteuid());
  if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    Fail(name, Cause(folder, errno));
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) {
    if (!create && errno == ENOENT) return std::nullopt;
    Fail(name, Cause(folder, errno));
  }
  const std::string refused = Utf8ToCp932("ロックフォルダ ") + Utf8ToCp932(folder);
  if (!S_ISDIR(st.st_mode))
    Fail(name, refused + Utf8ToCp932(
                             " はフォルダではありません (シンボリックリンクか別の種類のファイル)"));
  if (st.st_uid != ::geteuid())
    Fail(name, refused + Utf8ToCp932(" は別のユーザー (uid ") + std::to_string(st.st_uid) +
                   Utf8ToCp932(") のものです"));
  if ((st.st_mode & 022) != 0) Fail(name, refused + Utf8ToCp932(" は他のユーザーも書き込めます"));
  return folder;
}

// The file of a name: the CP932 name as a native file name, with only what a file name cannot
// hold ("/", NUL) escaped, and "%" so that no two names share a file.
std::string LockPath(const std::string& folder, std::string_view name) {
  std::string native = Cp932ToUtf8(name);
  std::string file;
  for (char c : native) {
    if (c == '/' || c == '%' || c == '\0') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      file += '%';
      file += kHex[static_cast<unsigned char>(c) >> 4];
      file += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      file += c;
    }
  }
  return folder + "/" + file + ".mutex";
}

// True when `fd` is still the file that `path` names.
bool StillNamed(int fd, const std::string& path) {
  struct stat by_fd {};
  struct stat by_name {};
  if (::fstat(fd, &by_fd) != 0 || ::stat(path.c_str(), &by_name) != 0) return false;
  return by_fd.st_dev == by_name.st_dev && by_fd.st_ino == by_name.st_ino;
}

int FlockRetrying(int fd, int op) {
  int rc;
  do
    rc = ::flock(fd, op);
  while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

void NamedMutex::Close() noexcept {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));  // drops the lock
  handle_ = kNone;
}

NamedMutex NamedMutex::Create(std::string_view name) {
  const std::string path = LockPath(*LockFolder(name, true), name);
  // Each round either holds the file the name leads to or lost it to a probe that removed it;
  // the bound only guards against a file system that keeps changing under us.
  int err = EAGAIN;
  for (int round = 0; round < 100; ++round) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) Fail(name, Cause(path, errno));
    // A probe holds the exclusive lock only for a moment, so waiting here is short.
    if (FlockRetrying(fd, LOCK_SH) != 0) {
      err = errno;
      ::close(fd);
      Fail(name, Cause(path, err));
    }
    if (StillNamed(fd, path)) return NamedMutex(fd);
    ::close(fd);
  }
  Fail(name, Cause(path, err));
}

NamedMutex NamedMutex::Open(std::string_view name) {
  // A folder that cannot be used holds no mutex; Create reports why.
  std::optional<std::string> folder;
  try {
    folder = LockFolder(name, false);
  } catch (const EOSError&) {
    return {};
  }
  if (!folder) return {};
  const std::string path = LockPath(*folder, name);
  for (int round = 0; round < 100; ++round) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return {};
    if (FlockRetrying(fd, LOCK_EX | LOCK_NB) == 0) {
      // Nobody holds it: a leftover of a holder that has ended. Remove it while still locked, so
      // no holder can be between its lock and its check.
      if (StillNamed(fd, path)) ::unlink(path.c_str());
      ::close(fd);
      return {};
    }
    if (errno != EWOULDBLOCK) {
      ::close(fd);
      return {};
    }
    // Held: this handle holds it too, as an opened Windows mutex keeps the object alive.
    if (FlockRetrying(fd, LOCK_SH) == 0 && StillNamed(fd, path)) return NamedMutex(fd);
    ::close(fd);
  }
  return {};
}

}  // namespace nc16::platform
