// Names in any letter case on a case-sensitive file system: a component missing as written is
// looked for among the entries of its folder.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16::platform {
namespace {

// UTF-8 names compared with ASCII letters folded; the bytes of multi-byte characters are all
// 0x80 or above, so only real letters fold.
bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool EntryExists(const std::string& native) {
  struct stat st {};
  return ::lstat(native.c_str(), &st) == 0;
}

// Calls `each` with every entry of the folder `native` ("" for the current folder); false when
// the folder cannot be listed.
template <class Each>
bool ForEachEntry(const std::string& native, Each each) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native.empty() ? "." : native.c_str()),
                                          ::closedir);
  if (!dir) return false;
  while (const dirent* entry = ::readdir(dir.get()))
    each(*entry);
  return true;
}

// The names in a folder, kept from one look-up to the next: a session looks for a dozen tables
// in one folder, each spelt otherwise than on disk. A listing is used again only while the
// folder is the same one (device and inode) with the same modification time, and only when that
// time lay well before the listing was made, so that no change made after the listing can share
// it (a folder's time moves whenever an entry is added, removed or renamed).
struct Listing {
  std::string folder;
  dev_t device = 0;
  ino_t inode = 0;
  timespec mtime{};
  std::vector<std::string> names;
};

bool SameStamp(const struct stat& st, const Listing& l) {
  return st.st_dev == l.device && st.st_ino == l.inode && st.st_mtim.tv_sec == l.mtime.tv_sec &&
         st.st_mtim.tv_nsec == l.mtime.tv_nsec;
}

std::mutex listing_mutex;
Listing last_listing;  // guarded by listing_mutex

// The names of the entries of `folder` (native, "" for the current folder); none when it cannot
// be listed.
std::vector<std::string> NamesIn(const std::string& folder) {
  const std::string path = folder.empty() ? "." : folder;
  struct stat before {};
  const bool stamped = ::stat(path.c_str(), &before) == 0;
  {
    std::lock_guard lock(listing_mutex);
    if (stamped && last_listing.folder == path && SameStamp(before, last_listing))
      return last_listing.names;
  }
  std::vector<std::string> names;
  if (!ForEachEntry(path, [&](const dirent& entry) { names.emplace_back(entry.d_name); }))
    return names;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  if (stamped && now.tv_sec - before.st_mtim.tv_sec >= 2) {
    std::lock_guard lock(listing_mutex);
    last_listing = Listing{path, before.st_dev, before.st_ino, before.st_mtim, names};
  }
  return names;
}

// The entries of `folder` (native, "" for the current folder) whose names differ from `name`
// only in letter case, sorted; none when the folder cannot be listed.
std::vector<std::string> CaseVariants(const std::string& folder, const std::string& name) {
  std::vector<std::string> found;
  for (const std::string& entry : NamesIn(folder)) {
    if (EqualsAsciiNoCase(entry, name)) found.push_back(entry);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

FolderNames::FolderNames(std::string_view folder) : folder_(folder) {
  ForEachEntry(Cp932ToUtf8(folder), [&](const dirent& entry) {
    entries_.push_back({entry.d_name, entry.d_type == DT_REG});
  });
}

std::optional<std::string> FolderNames::RegularFile(std::string_view name) const {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
    return std::nullopt;
  const std::string wanted = Cp932ToUtf8(name);
  const Entry* found = nullptr;
  bool exact = false;
  for (const Entry& entry : entries_) {
    if (entry.name == wanted) {
      found = &entry;
      exact = true;
      break;
    }
    if (!EqualsAsciiNoCase(entry.name, wanted)) continue;
    if (found) return std::nullopt;  // two variants: ResolvePathCase names them
    found = &entry;
  }
  // An entry of unknown type (some file systems do not say) or a link is left to a status call.
  if (!found || !found->regular) return std::nullopt;
  std::string path = folder_;
  if (!path.empty() && !path.ends_with('/')) path += '/';
  return path + (exact ? std::string(name) : Utf8ToCp932(found->name));
}

std::string ResolvePathCase(std::string_view path) {
  if (path.empty() || EntryExists(Cp932ToUtf8(path))) return std::string(path);

  // The CP932 path is cut at "/" (never a trail byte of CP932); each component keeps its own
  // bytes unless an entry in another case replaces it.
  std::string result;  // CP932, resolved so far
  std::string native;  // the same, as the system names it
  size_t pos = 0;
  if (path.front() == '/') {
    result = native = "/";
    pos = 1;
  }
  // The leading folders that exist as written are kept without a look at each: usually only the
  // last name or two are spelt otherwise, so the deepest such folder is looked for first.
  for (size_t cut = path.rfind('/'); cut != std::string_view::npos && cut > 0;
       cut = path.rfind('/', cut - 1)) {
    if (EntryExists(Cp932ToUtf8(path.substr(0, cut)))) {
      result = std::string(path.substr(0, cut + 1));
      native = Cp932ToUtf8(result);
      pos = cut + 1;
      break;
    }
  }
  // Every prefix deeper than where the walk starts was looked at above and is missing as written:
  // until a name is replaced by its variant, a component needs no look of its own.
  bool replaced = false;
  while (pos <= path.size()) {
    const size_t slash = std::min(path.find('/', pos), path.size());
    const std::string_view component = path.substr(pos, slash - pos);
    const std::string separator = slash < path.size() ? "/" : "";
    if (component.empty() || component == "." || component == "..") {
      result += std::string(component) + separator;
      native += Cp932ToUtf8(component) + separator;
      pos = slash + 1;
      continue;
    }
    const std::string wanted = Cp932ToUtf8(component);
    if (replaced && EntryExists(native + wanted)) {
      result += std::string(component) + separator;
      native += wanted + separator;
      pos = slash + 1;
      continue;
    }
    const std::vector<std::string> variants = CaseVariants(native, wanted);
    if (variants.empty()) {
      // Nothing of that name in any case: the rest is still to be made.
      result += path.substr(pos);
      return result;
    }
    if (variants.size() > 1) {
      throw EOSError(Utf8ToCp932(native + variants[0] + " と " + native + variants[1] +
                                 " は大文字と小文字だけが違う名前です。どちらを使うか決められま"
                                 "せん。"));
    }
    result += Utf8ToCp932(variants[0]) + separator;
    native += variants[0] + separator;
    pos = slash + 1;
    replaced = true;
  }
  return result;
}

}  // namespace nc16::platform
