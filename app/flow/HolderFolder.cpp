#include "app/flow/HolderFolder.h"

#include <string_view>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

// ASCII letters folded, the bytes of double-byte characters kept.
std::string FoldAscii(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c))
      ++i;
    else if (c >= 'A' && c <= 'Z')
      out[i] = static_cast<char>(c + 32);
  }
  return out;
}

// The components of a path cut at `separators`; a trail byte that looks like "\" cuts nothing.
std::vector<std::string> Components(std::string_view path, std::string_view separators) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      parts.back() += path.substr(i, 2);
      ++i;
    } else if (separators.find(path[i]) != std::string_view::npos) {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
    }
  }
  return parts;
}

// "C:\..." or "\\server\...": a drive letter and colon, or two leading backslashes.
bool IsWindowsPath(std::string_view path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with("\\\\");
}

}  // namespace

std::string ShortenedPath(const std::string& holder, const std::string& common_data_dir) {
  if (holder.find(common_data_dir) == std::string::npos) return holder;
  return '~' + holder.substr(std::min(common_data_dir.size(), holder.size()));
}

std::string LocalHolderFolder(const std::string& holder, const std::string& common_data_dir) {
  // Windows opens such paths as they are.
  if (platform::kPathSeparator == "\\" || !IsWindowsPath(holder)) return holder;
  // A zero byte ends the path where the system reads it: "DB\..\0X" would be checked as "DB\..".
  if (holder.find('\0') != std::string::npos) return holder;
  std::string anchor;
  for (const std::string& part : Components(common_data_dir, platform::kPathSeparator))
    if (!part.empty()) anchor = FoldAscii(part);
  const std::vector<std::string> parts = Components(holder, "\\/");
  size_t last = parts.size();
  for (size_t i = 0; i < parts.size(); ++i)
    if (!anchor.empty() && FoldAscii(parts[i]) == anchor) last = i;
  if (last == parts.size()) return holder;

  std::string mapped = common_data_dir;
  for (size_t i = last + 1; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;  // "a\\b" and a trailing "\" as Windows reads them
    if (parts[i] == "." || parts[i] == "..") return holder;
    mapped += std::string(platform::kPathSeparator) + parts[i];
  }
  // The resolved path differs only in letter case, so its tail follows the common folder's text.
  const std::string resolved = platform::ResolvePathCase(mapped);
  if (!platform::DirectoryExists(resolved) || resolved.size() != mapped.size()) return holder;
  return common_data_dir + resolved.substr(common_data_dir.size());
}

}  // namespace nc16
