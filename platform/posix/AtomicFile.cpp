// Whole-file writes on POSIX. Where the file system can (Linux O_TMPFILE), the bytes go to an
// unnamed file in the target's folder, which a kill simply takes away; it gets a name only just
// before the rename. Elsewhere they go to "TARGET.tmp-PID-N". Either way, the writer of a
// temporary file holds an exclusive flock on it while it lives, and every write first removes
// the temporaries of the same target that a killed writer left: those of a process that is gone
// and that nobody holds.

#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/Cp932.h"
#include "platform/FileErrors.h"

namespace nc16 {
namespace {

std::atomic<bool> g_unnamed_allowed{true};

[[noreturn]] void Fail(const std::filesystem::path& file, std::string_view what, int err) {
  std::string msg = Utf8ToCp932("ファイル ") + FromNativePath(file) + Utf8ToCp932(" を") +
                    Utf8ToCp932(what) + Utf8ToCp932("できません: ") + platform::FileErrorCause(err);
  throw EOSError(msg);
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

constexpr std::string_view kTempInfix = ".tmp-";

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  std::string suffix =
      std::string(kTempInfix) + std::to_string(::getpid()) + "-" + std::to_string(rng() % 1000000);
  std::filesystem::path temp = target;
  temp += suffix;
  return temp;
}

// The process that made `entry` when it is a temporary file of the target named `target_name`
// ("NAME.tmp-PID-N"); 0 otherwise.
pid_t TemporaryOwner(std::string_view entry, std::string_view target_name) {
  if (!entry.starts_with(target_name)) return 0;
  entry.remove_prefix(target_name.size());
  if (!entry.starts_with(kTempInfix)) return 0;
  entry.remove_prefix(kTempInfix.size());
  const size_t dash = entry.find('-');
  if (dash == std::string_view::npos || dash + 1 == entry.size()) return 0;
  pid_t pid = 0;
  auto [end, ec] = std::from_chars(entry.data(), entry.data() + dash, pid);
  if (ec != std::errc() || end != entry.data() + dash || pid <= 0) return 0;
  for (char c : entry.substr(dash + 1))
    if (c < '0' || c > '9') return 0;
  return pid;
}

bool ProcessAlive(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes what killed writers of `target` left behind. A candidate goes only when its process
// has ended (a reused process id keeps it, harmlessly, until that process ends too) and its
// exclusive lock can be taken (nobody writes it); files of other users are never touched.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  const std::string target_name = target.filename().string();
  const std::filesystem::path folder = FolderOf(target);
  // Names only: most folders hold no temporary at all, so no entry costs more than a compare.
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    const pid_t owner = TemporaryOwner(name, target_name);
    if (owner == 0 || ProcessAlive(owner)) continue;
    const std::filesystem::path path = folder / std::string(name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(path.c_str());
    ::close(fd);
  }
}

// Makes a new or renamed entry of the folder durable; a folder that cannot be synced (some network
// file systems) still holds the complete file under one of its two names, so a failure here is
// not reported.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The deferrals that live now (of folders that could be looked at). Any thread's commit asks
// them: the batch puts its files in place on a thread of its own.
std::mutex g_deferred_mutex;
std::vector<DeferredFolderSyncs*> g_deferred;

}  // namespace

DeferredFolderSyncs::DeferredFolderSyncs(const std::filesystem::path& folder) : folder_(folder) {
  struct stat st {};
  if (::stat(folder_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;  // nothing deferred
  device_ = static_cast<std::uint64_t>(st.st_dev);
  inode_ = static_cast<std::uint64_t>(st.st_ino);
  std::lock_guard lock(g_deferred_mutex);
  g_deferred.push_back(this);
}

DeferredFolderSyncs::~DeferredFolderSyncs() {
  bool pending = false;
  {
    std::lock_guard lock(g_deferred_mutex);
    std::erase(g_deferred, this);
    pending = pending_;
  }
  if (pending) SyncFolder(folder_);
}

bool DeferredFolderSyncs::Defer(const std::filesystem::path& folder) {
  std::lock_guard lock(g_deferred_mutex);
  struct stat st {};
  if (g_deferred.empty() || ::stat(folder.c_str(), &st) != 0) return false;
  for (DeferredFolderSyncs* d : g_deferred) {
    if (static_cast<std::uint64_t>(st.st_dev) == d->device_ &&
        static_cast<std::uint64_t>(st.st_ino) == d->inode_) {
      d->pending_ = true;
      return true;
    }
  }
  return false;
}

void AtomicFile::AllowUnnamedForTesting(bool allowed) {
  g_unnamed_allowed = allowed;
}

AtomicFile::AtomicFile(const std::filesystem::path& target, FileAccess access) : target_(target) {
  if (auto refused = NotReplaceable(target_)) throw EOSError(*refused);
  RemoveStaleTemporaries(target_);
  mode_t mode = access == FileAccess::kOwnerOnly ? 0600 : 0666;
  int fd = -1;
#ifdef O_TMPFILE
  // The unnamed file is named through /proc/self/fd at the end: without /proc it would stay
  // unnamed for good.
  if (g_unnamed_allowed && ::access("/proc/self/fd", X_OK) == 0)
    fd = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#endif
  // Any failure of the unnamed file (a file system without it, a missing folder, no right to
  // write) is met again, and reported, by the named one.
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp_ = TempNameBeside(target_);
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) {
      temp_.clear();
      Fail(target_, "作成", errno);
    }
  }
  if (fd < 0) {
    temp_.clear();
    Fail(target_, "作成", EEXIST);
  }
  handle_ = fd;
  // Marks the file as being written, for the clean-up of other writers; new and ours, so the
  // lock is free. A file system without flock only loses that second safeguard.
  ::flock(fd, LOCK_EX | LOCK_NB);
  // A replaced file keeps who may read it: a settings file made private stays private.
  struct stat old {};
  if (access == FileAccess::kDefault && ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
    ::fchmod(fd, old.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
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
  const auto sync_folder = [this] {
    const std::filesystem::path folder = FolderOf(target_);
    if (!DeferredFolderSyncs::Defer(folder)) SyncFolder(folder);
  };
  if (::fsync(fd) != 0) Fail(target_, "書き込み", errno);
  if (temp_.empty()) {
    // Where the target does not exist, the unnamed file takes its name at once: a link never
    // replaces anything, so whatever appeared there meanwhile stays and the rename below decides.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      handle_ = -1;
      if (::close(fd) != 0) {
        // The name is ours alone, just made: taking it away again leaves the target as it was.
        const int err = errno;
        ::unlink(target_.c_str());
        Fail(target_, "書き込み", err);
      }
      committed_ = true;
      sync_folder();
      return;
    }
    // Otherwise it gets a temporary name, for the rename; a kill between the two leaves a named
    // temporary that the next write removes.
    int err = EEXIST;
    for (int attempt = 0; attempt < 16 && err == EEXIST; ++attempt) {
      std::filesystem::path name = TempNameBeside(target_);
      err = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                ? 0
                : errno;
      if (err == 0) temp_ = std::move(name);
    }
    if (err != 0) Fail(target_, "作成", err);
  }
  handle_ = -1;
  if (::close(fd) != 0) Fail(target_, "書き込み", errno);
  // What appeared in the target's place while the file was written is not replaced either.
  if (auto refused = NotReplaceable(target_)) throw EOSError(*refused);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail(target_, "作成", errno);
  committed_ = true;
  sync_folder();
}

void WriteFileAtomic(const std::filesystem::path& target, std::string_view data,
                     FileAccess access) {
  AtomicFile file(target, access);
  file.Write(data);
  file.Commit();
}

}  // namespace nc16
