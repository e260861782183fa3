// Folders and facts of the system, answered the POSIX way.

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/posix/Env.h"
#include "platform/posix/ReadWholeFile.h"

namespace nc16::platform {
namespace {

bool IsNativeDirectory(const std::string& native) {
  struct stat st {};
  return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string NativeHomeFolder() {
  std::string home = posix::EnvOr("HOME", "");
  if (!home.empty()) return home;
  std::vector<char> buf(16384);
  struct passwd pw {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return {};
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// XDG_DOCUMENTS_DIR of user-dirs.dirs: a shell assignment of "$HOME/..." or of an absolute path.
// "$HOME" alone means the user has switched the folder off.
std::string XdgDocumentsFolder(const std::string& home) {
  std::string config = posix::EnvOr("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
  if (config.empty()) return {};
  // The desktop's file, not the payroll product's: one that cannot be read (a FIFO, a file of
  // gigabytes, no permission) is passed over as if it were missing.
  std::optional<std::string> content;
  try {
    content = posix::ReadSettingsFile(config + "/user-dirs.dirs");
  } catch (const EOSError&) {
  }
  if (!content) return {};
  std::string_view text = *content;
  std::string found;
  while (!text.empty()) {
    size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
      line.remove_prefix(1);
    if (!line.starts_with("XDG_DOCUMENTS_DIR=")) continue;
    line.remove_prefix(sizeof("XDG_DOCUMENTS_DIR=") - 1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
      line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
      line = line.substr(1, line.size() - 2);
    if (line.starts_with("$HOME/") && !home.empty()) {
      std::string rest(line.substr(6));
      found = rest.find_first_not_of('/') == std::string::npos ? "" : home + "/" + rest;
    } else if (line.starts_with("/")) {
      found = std::string(line);
    } else {
      found.clear();
    }
  }
  return found;
}

}  // namespace

std::optional<std::string> CommonAppDataFolder() {
  auto folder = posix::Env("NC16_COMMON_APPDATA");
  if (!folder) return Utf8ToCp932("/var/lib");
  if (folder->empty()) return std::nullopt;
  return Utf8ToCp932(WithoutTrailingSlash(*folder));
}

std::string DocumentsFolder() {
  std::string home = NativeHomeFolder();
  std::string xdg = WithoutTrailingSlash(XdgDocumentsFolder(home));
  if (IsNativeDirectory(xdg)) return Utf8ToCp932(xdg);
  if (!home.empty() && IsNativeDirectory(home + "/Documents"))
    return Utf8ToCp932(WithoutTrailingSlash(home) + "/Documents");
  return {};
}

std::string HomeFolder() {
  const std::string home = WithoutTrailingSlash(NativeHomeFolder());
  return home.empty() ? std::string() : Utf8ToCp932(home);
}

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return FromNativePath(exe.parent_path());
}

std::string SystemFolder() {
  return "/";
}

int WindowsMajorVersion() {
  return 10;
}

std::string ComputerName() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  std::string name = Utf8ToCp932(buf);
  if (name.size() > 200) return {};
  return name;
}

bool FileExists(std::string_view path) {
  struct stat st {};
  return !path.empty() && ::stat(Cp932ToUtf8(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  return !path.empty() && IsNativeDirectory(Cp932ToUtf8(path));
}

bool FolderWritable(std::string_view path) {
  // The effective user's rights, as the file will be made with them; EROFS counts as refused.
  return DirectoryExists(path) &&
         ::faccessat(AT_FDCWD, Cp932ToUtf8(path).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace nc16::platform
