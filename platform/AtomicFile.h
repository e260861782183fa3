#pragma once
// Whole-file writes that never leave a half-written file behind: the bytes go to a temporary file
// in the target's folder, are flushed to disk and then renamed over the target. A failure at any
// step leaves the target as it was (absent, or its old content) and removes the temporary file.
// A killed process cannot remove anything: on Linux the temporary file is unnamed (O_TMPFILE)
// until just before the rename, so a kill leaves nothing; where the file system has no unnamed
// files it is "TARGET.tmp-PID-N", and the next write to the same target removes those of
// processes that have ended.
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

}  // namespace nc16
