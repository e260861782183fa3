// Profile files on systems without the Windows profile functions. A write reads the whole file,
// edits it in memory and replaces it atomically, so that an interrupted write never leaves a
// half-written settings file.

#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/ProfileText.h"
#include "platform/posix/ReadWholeFile.h"

namespace nc16::platform {
namespace {

std::string NativeString(std::string_view cp932) {
  return Cp932ToUtf8(cp932);
}

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view default_value, size_t max_chars) {
  std::optional<std::string> value;
  if (auto content = posix::ReadSettingsFile(NativeString(ResolvePathCase(file))))
    value = ProfileText(std::move(*content)).Get(section, key);
  if (!value) return std::string(CutCp932(TrimTrailingBlanks(default_value), max_chars));
  return std::string(CutCp932(*value, max_chars));
}

void WriteProfileStrings(std::string_view file, std::string_view section,
                         std::span<const ProfileEntry> entries) {
  // The file found in another letter case is the one written: a case-sensitive system must not
  // end up with two settings files that Windows would take for one.
  const std::string found = ResolvePathCase(file);
  auto content = posix::ReadSettingsFile(NativeString(found));
  ProfileText text(content ? std::move(*content) : std::string());
  for (const ProfileEntry& entry : entries)
    text.Set(section, entry.Key, entry.Value);
  WriteFileAtomic(NativePath(found), text.Content());
}

void WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  ProfileEntry entry{std::string(key), std::string(value)};
  WriteProfileStrings(file, section, std::span<const ProfileEntry>(&entry, 1));
}

}  // namespace nc16::platform
