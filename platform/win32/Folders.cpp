#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/win32/Wide.h"

namespace nc16::platform {
namespace {

// The folder part of a CP932 path without its closing "\"; a "\" that is the second byte of a
// double-byte character does not count.
std::string FolderOf(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;
      continue;
    }
    if (path[i] == '\\') last = i;
  }
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last));
}

// A known folder of the shell as CP932, never created; nothing when the system cannot name it
// or CP932 cannot hold its name.
std::optional<std::string> KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  const HRESULT hr = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  std::optional<std::string> out;
  if (SUCCEEDED(hr) && path != nullptr) out = win32::Cp932FromWide(path);
  ::CoTaskMemFree(path);
  return out;
}

// The folder without separators at its end, as on POSIX; a drive's root ("C:\") keeps its own,
// and a "\" that is the second byte of a double-byte character (ソ) is no separator.
std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && !(path.size() == 3 && path[1] == ':')) {
    size_t last = 0;
    for (size_t i = 0; i < path.size();
         i += IsLeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1)
      last = i;
    if (last + 1 != path.size() || (path[last] != '\\' && path[last] != '/')) break;
    path.pop_back();
  }
  return path;
}

DWORD Attributes(std::string_view path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  const auto wide = win32::WideFromCp932(path);
  return wide ? ::GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::optional<std::string> CommonAppDataFolder() {
  // NC16_COMMON_APPDATA names it as on every other system; set but empty, no folder is named.
  if (auto set = win32::EnvCp932(L"NC16_COMMON_APPDATA")) {
    if (set->empty()) return std::nullopt;
    return WithoutTrailingSeparator(std::move(*set));
  }
  return KnownFolder(FOLDERID_ProgramData);
}

std::string DocumentsFolder() {
  auto folder = KnownFolder(FOLDERID_Documents);
  return folder && DirectoryExists(*folder) ? *folder : std::string();
}

std::string HomeFolder() {
  return KnownFolder(FOLDERID_Profile).value_or(std::string());
}

std::string ProgramFolder() {
  std::vector<wchar_t> buf(MAX_PATH + 1);
  while (true) {
    DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size())
      return FolderOf(win32::Cp932FromWide(std::wstring_view(buf.data(), n)).value_or(""));
    if (buf.size() > 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

std::string SystemFolder() {
  wchar_t buf[MAX_PATH + 1] = {};
  UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return win32::Cp932FromWide(std::wstring_view(buf, n)).value_or("");
}

int WindowsMajorVersion() {
  // GetVersionEx answers what the program's manifest claims to know, not the real version;
  // RtlGetVersion always tells the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  FARPROC proc = ntdll != nullptr ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
  if (proc != nullptr) {
    auto rtl_get_version = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(proc));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtl_get_version(&info) == 0) return static_cast<int>(info.dwMajorVersion);
  }
  return 6;  // every Windows this program still runs on
}

std::string ComputerName() {
  wchar_t buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!::GetComputerNameW(buf, &size)) return {};
  std::string name = win32::Cp932FromWide(std::wstring_view(buf, size)).value_or("");
  return name.size() > 200 ? std::string() : name;
}

bool FileExists(std::string_view path) {
  const DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::string_view path) {
  const DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderWritable(std::string_view path) {
  if (!DirectoryExists(path)) return false;
  // Rights on Windows come from access lists the attributes do not show: the sure test is to
  // make a file, which the system removes again when it is closed. A separator more than needed
  // is harmless, and a path's last byte may be the second byte of a double-byte character.
  const std::wstring probe =
      win32::Wide(path) + L"\\nc16-probe-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  HANDLE file = ::CreateFileW(
      probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
  ::CloseHandle(file);
  return true;
}

// Windows file names ignore letter case already.
std::string ResolvePathCase(std::string_view path) {
  return std::string(path);
}

FolderNames::FolderNames(std::string_view folder) : folder_(folder) {}

std::optional<std::string> FolderNames::RegularFile(std::string_view) const {
  return std::nullopt;
}

}  // namespace nc16::platform
