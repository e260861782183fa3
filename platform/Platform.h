#pragma once
// The operating-system services the program uses, behind one interface. Windows answers them
// with its own API (platform/win32); POSIX systems with stand-ins described at each call
// (platform/posix). Every text and path here is CP932, as everywhere in the core.
//
// Environment of the POSIX stand-ins (an unset variable takes the default):
//   NC16_LOCK_DIR          folder of the named-mutex lock files (default: $XDG_RUNTIME_DIR,
//                          else nc16-locks-UID in $TMPDIR or /tmp, made 0700 and refused
//                          unless it is this user's alone)
//   NC16_REGISTRY          the registry file (default /etc/vantrel/registry.ini)
//   NC16_COMMON_APPDATA    the common application-data folder (default /var/lib;
//                          set but empty: the folder cannot be named)
//   NC16_LAUNCHER_SOCKET   the Unix datagram socket that receives the launcher calls

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OSError.h"

// windows.h names the system's own profile functions by macros (WriteProfileString becomes
// WriteProfileStringA); our functions keep their names wherever windows.h came first.
#ifdef WriteProfileString
#undef WriteProfileString
#endif

namespace nc16::platform {

#ifdef _WIN32
inline constexpr std::string_view kPathSeparator = "\\";
inline constexpr bool kHasDriveLetters = true;
#else
inline constexpr std::string_view kPathSeparator = "/";
inline constexpr bool kHasDriveLetters = false;
#endif

// ---- Named mutexes ---------------------------------------------------------------------------
//
// Markers between processes; nobody waits on them. A mutex exists while at least one handle
// (in any process) holds it. On POSIX each name is a lock file in the lock folder (above) held
// with a shared flock; the lock dies with its process, so a crashed holder leaves no marker
// behind. The folder must be one only the user can write: where other users can create files,
// any of them could make our lock file first, unreadable to us, and keep the program from ever
// starting.
// Names are used as given; only "/", "%" and NUL, which a file name cannot hold or which would
// make two names meet, are percent-escaped.
class NamedMutex {
 public:
  NamedMutex() noexcept = default;  // no mutex
  ~NamedMutex() { Close(); }
  NamedMutex(NamedMutex&& other) noexcept;
  NamedMutex& operator=(NamedMutex&& other) noexcept;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Creates the mutex, or joins it when it exists already, and holds it until the handle is
  // closed (CreateMutex, not initially owned). Raises EOSError naming the mutex, the lock file
  // (or the refused lock folder) and the cause on failure.
  static NamedMutex Create(std::string_view name);

  // Opens the mutex when some process (this one included) holds it (OpenMutex with full
  // access). An empty handle when no such mutex exists or it cannot be opened with full
  // access; never raises.
  static NamedMutex Open(std::string_view name);

  explicit operator bool() const noexcept { return handle_ != kNone; }
  void Close() noexcept;

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit NamedMutex(std::intptr_t handle) noexcept : handle_(handle) {}
  std::intptr_t handle_ = kNone;  // a file descriptor on POSIX, a HANDLE on Windows
};

// ---- Registry (read only) --------------------------------------------------------------------
//
// A string value of a key under HKEY_LOCAL_MACHINE. `key_path` is written as Windows writes it,
// "SOFTWARE\VANTREL\MILVEKKYUYO070"; a leading "\" is allowed and ignored. On POSIX the registry
// is the INI-form file NC16_REGISTRY, one section per key named with the root,
// [HKEY_LOCAL_MACHINE\SOFTWARE\VANTREL\MILVEKKYUYO070], and one entry per value; key and value
// names are case-insensitive as in the registry. A missing file or section is a key that does
// not open; a file that is there and cannot be read (no permission, no regular file, over 1 MiB)
// raises EOSError naming it and the cause: that is a fault of the machine, not an absent key.
enum class RegistryStatus {
  kOk,
  kKeyNotFound,    // the key does not open (absent, or no read access)
  kValueNotFound,  // the key opens but has no string value of that name
};
struct RegistryString {
  RegistryStatus Status = RegistryStatus::kKeyNotFound;
  std::string Value;  // empty unless Status is kOk
};
RegistryString ReadMachineRegistryString(std::string_view key_path, std::string_view value_name);

// ---- Folders and system facts ----------------------------------------------------------------

// The machine's common application-data folder (CSIDL_COMMON_APPDATA; POSIX:
// NC16_COMMON_APPDATA, default /var/lib), not created when missing. False when the system
// cannot name it.
std::optional<std::string> CommonAppDataFolder();

// The current user's Documents folder (CSIDL_PERSONAL; POSIX: XDG_DOCUMENTS_DIR of
// $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Documents), only when it exists; never created.
// Empty otherwise. A user-dirs.dirs that is no regular file of at most 1 MiB counts as missing.
std::string DocumentsFolder();

// The current user's home folder (POSIX: $HOME, else the user's entry of the password database;
// Windows: the profile folder), without a trailing separator. Empty when unknown.
std::string HomeFolder();

// The folder of the running program, without a trailing separator. Empty when unknown.
std::string ProgramFolder();

// The Windows folder (GetWindowsDirectory). POSIX has no such folder; its system drive is the
// root, so the answer is "/".
std::string SystemFolder();

// The Windows major version (5 for XP, 6 for Vista to 8.1, 10). POSIX counts as a current
// system: 10.
int WindowsMajorVersion();

// The computer's name (GetComputerName; POSIX: the host name), at most 200 bytes; empty when
// it cannot be read.
std::string ComputerName();

// True when the path names an existing file (not a folder).
bool FileExists(std::string_view path);
// True when the path names an existing folder.
bool DirectoryExists(std::string_view path);
// True when this user may create files in the existing folder `path` (POSIX: write and search
// permission, not a read-only mount; Windows: a file can be made there).
bool FolderWritable(std::string_view path);
// Why the folder cannot be read: missing, not a folder, or the system's reason; nothing when its
// entries can be listed. CP932, naming the folder.
std::optional<std::string> UnreadableFolder(std::string_view path);
// The path made absolute against the working directory ("." and ".." kept); the path itself when
// the working directory cannot be named.
std::string AbsolutePath(std::string_view path);
// True when the two paths name one file: the same file when both exist (links included), else
// the same path once made absolute and free of "." and "..".
bool SameFile(std::string_view a, std::string_view b);

// ---- Names in any letter case ----------------------------------------------------------------
//
// The payroll product lives on Windows, whose file names ignore letter case; its folders copied
// or mounted here keep whatever case its tools left ("MKAISYA.DB", "INITDAT"). Every name the
// program builds itself goes through ResolvePathCase before the file system sees it.
//
// `path` as this file system spells it: each component as written when an entry of that name
// exists, else the one entry of its folder whose name differs from it only in the case of ASCII
// letters. From the first component that matches no entry on, the rest stays as written (a file
// or folder still to be made gets the program's spelling, and never a second name beside one
// that differs only in case). The result differs from `path` only in the case of ASCII letters.
// A folder holding two or more such entries and none spelled as written raises EOSError naming
// two of them: the program never picks one silently. Cheap: one status call when the path
// exists as written, else one per component from the deepest that exists as written, and a
// folder listing per component missing as written (the listing of an unchanged folder is kept
// for the next name). Windows answers with the path as given.
std::string ResolvePathCase(std::string_view path);

// The entries of one folder, listed once, for finding many files in it as ResolvePathCase would
// without a status call per name (a session looks for a dozen tables in one folder). The listing
// answers only where it settles the question; anything else is left to ResolvePathCase.
class FolderNames {
 public:
  // `folder` as ResolvePathCase resolved it ("" for the current folder). One that cannot be
  // listed lists nothing. Windows lists nothing: its names need no resolving.
  explicit FolderNames(std::string_view folder);

  // The path ResolvePathCase would make of `folder` and `name` (one component), when the listing
  // shows that path to be a regular file: the entry spelt as `name`, else its one case variant.
  // Nothing when the listing cannot tell (no such entry, two variants, an entry of another kind
  // or a link, a name holding a separator): the caller then looks as usual.
  std::optional<std::string> RegularFile(std::string_view name) const;

 private:
  struct Entry {
    std::string name;  // as the system spells it
    bool regular = false;
  };
  std::string folder_;
  std::vector<Entry> entries_;
};

// ---- Profile (ini) files ---------------------------------------------------------------------
//
// The semantics of GetPrivateProfileString / WritePrivateProfileString: section and key names are
// matched without regard to ASCII letter case and to blanks around them; the first matching
// section and key count; a value loses the blanks around it and one pair of matching quotes
// ('...' or "...") around it. Contents are CP932 bytes, kept as they are. The file is found in
// any letter case (ResolvePathCase; EOSError when its name is ambiguous), and written back under
// the name it was found with. On POSIX a file is read only when it is a regular file of at most
// 1 MiB, and its open never waits (a FIFO in its place); anything else raises EOSError naming the
// file and the cause, as does a file that cannot be read (no permission).

// The value, cut to at most `max_chars` bytes (never in the middle of a double-byte character);
// `default_value` (without trailing blanks) when the file, section or key is missing.
std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view default_value, size_t max_chars = 2047);

struct ProfileEntry {
  std::string Key;
  std::string Value;
};

// Sets the keys of `section` in `file`, creating the file or the section when missing. Other
// sections, keys, comments and their order are kept byte for byte; a changed key keeps its
// place, a new key goes after the last entry of its section, a new section to the end of the
// file. A value ends at its first line break (a profile value is one line). On POSIX the file is
// replaced atomically: a failure leaves the old file intact and no temporary file behind. The
// folder is never created. Raises EOSError naming the file on failure.
void WriteProfileStrings(std::string_view file, std::string_view section,
                         std::span<const ProfileEntry> entries);
void WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

// ---- Messages to the launcher ----------------------------------------------------------------
//
// EnableWindow, SetForegroundWindow and PostMessage towards the launcher's window. A handle that
// is not a window makes them fail silently. On POSIX each call is sent as one text datagram to
// the Unix socket NC16_LAUNCHER_SOCKET: "EnableWindow <window> <0|1>",
// "SetForegroundWindow <window>", "PostMessage <window> <message> <wParam> <lParam>", numbers in
// decimal. Without the variable, or without a listener, nothing happens; the calls never block.
using WindowHandle = std::uint32_t;
void EnableLauncherWindow(WindowHandle window, bool enable);
void BringLauncherToForeground(WindowHandle window);
void PostLauncherMessage(WindowHandle window, std::uint32_t message, std::int32_t wparam,
                         std::int32_t lparam);

}  // namespace nc16::platform
