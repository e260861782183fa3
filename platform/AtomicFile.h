#pragma once
// Whole-file writes that never leave a half-written file behind: the bytes go to a temporary file
// in the target's folder, are flushed to disk and then renamed over the target. A failure at any
// step leaves the target as it was (absent, or its old content) and removes the temporary file.
// A killed process cannot remove anything: on Linux the temporary file is unnamed (O_TMPFILE)
// until it is complete and flushed, and then takes the target's name at once (a new target) or a
// temporary name just before the rename, so a kill leaves nothing; where the file system has no
// unnamed files it is "TARGET.tmp-PID-N", and the next write to the same target removes those
// of processes that have ended.
//
// A target that exists and is not a regular file (a folder, a FIFO, a device, a socket, a
// symbolic link) is never replaced: the rename would put a plain file in its place.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/OSError.h"

namespace nc16 {

enum class FileAccess {
  kDefault,    // an existing target's permissions; for a new file the user's usual ones (umask)
  kOwnerOnly,  // readable and writable by the owner alone, from the moment the file exists
};

// Why `target` must not be replaced by a file we write: it exists and is not a regular file.
// The CP932 message names it and its kind; nothing when it is absent or a regular file.
std::optional<std::string> NotReplaceable(const std::filesystem::path& target);

// Replaces `target` with `data` atomically; raises EOSError on failure.
void WriteFileAtomic(const std::filesystem::path& target, std::string_view data,
                     FileAccess access = FileAccess::kDefault);

// A temporary file beside a target, removed on destruction unless committed. For writers that
// produce their output in pieces (the crypt library, the table writer).
class AtomicFile {
 public:
  // EOSError when the target must not be replaced (NotReplaceable) or no temporary file can be
  // made beside it.
  AtomicFile(const std::filesystem::path& target, FileAccess access = FileAccess::kDefault);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view data);  // appends; EOSError on failure
  void Commit();                      // flushes, renames over the target; EOSError on failure
  // The named temporary file; empty while the bytes go to an unnamed one.
  const std::filesystem::path& TempPath() const { return temp_; }

  // Test seam: false makes new files use named temporaries, as on a file system without
  // unnamed files.
  static void AllowUnnamedForTesting(bool allowed);

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::intptr_t handle_ = -1;  // a file descriptor on POSIX, a HANDLE on Windows
  bool committed_ = false;
};

// While an object lives, the commits into `folder` (of any thread) leave the flush of the folder's
// new entries to it, and it flushes the folder once, when it ends: a batch writing hundreds of
// files into one folder waits for the disk once instead of once a file. Each file's own bytes are
// still flushed before it takes its name, so a crash in between can lose a new name, never leave
// a partial file. Commits into other folders (an audit table beside its data) flush at once.
// Windows writes every rename through at once.
class DeferredFolderSyncs {
 public:
  explicit DeferredFolderSyncs(const std::filesystem::path& folder);
  ~DeferredFolderSyncs();
  DeferredFolderSyncs(const DeferredFolderSyncs&) = delete;
  DeferredFolderSyncs& operator=(const DeferredFolderSyncs&) = delete;

 private:
  std::filesystem::path folder_;
  std::uint64_t device_ = 0, inode_ = 0;  // of the folder
  bool pending_ = false;

  // True when a living deferral covers `folder` (known by its identity: a commit may name it
  // otherwise), which then flushes it at its end.
  static bool Defer(const std::filesystem::path& folder);
  friend class AtomicFile;
};

}  // namespace nc16
