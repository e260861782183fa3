#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"

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

}  // namespace

std::optional<std::string> CommonAppDataFolder() {
  char buf[513] = {};
  // Without CSIDL_FLAG_CREATE: the folder is named, never made.
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf)))
    return std::nullopt;
  return std::string(buf);
}

std::string DocumentsFolder() {
  char buf[MAX_PATH + 1] = {};
  // S_FALSE means the folder is known but does not exist; only S_OK names a usable folder.
  if (::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
    return {};
  return std::string(buf);
}

std::string HomeFolder() {
  char buf[MAX_PATH + 1] = {};
  if (::SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
    return {};
  return std::string(buf);
}

std::string ProgramFolder() {
  std::vector<char> buf(MAX_PATH + 1);
  while (true) {
    DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return FolderOf(std::string_view(buf.data(), n));
    if (buf.size() > 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

std::string SystemFolder() {
  char buf[257] = {};
  UINT n = ::GetWindowsDirectoryA(buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return {};
  return std::string(buf, n);
}

int WindowsMajorVersion() {
  // GetVersionEx answers what the program's manifest claims to know, not the real version;
  // RtlGetVersion always tells the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
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
  char buf[200] = {};
  DWORD size = sizeof buf;
  if (!::GetComputerNameA(buf, &size)) return {};
  return std::string(buf, size);
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  DWORD attr = ::GetFileAttributesA(std::string(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(std::string_view path) {
  if (path.empty()) return false;
  DWORD attr = ::GetFileAttributesA(std::string(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderWritable(std::string_view path) {
  if (!DirectoryExists(path)) return false;
  // Rights on Windows come from access lists the attributes do not show: the sure test is to
  // make a file, which the system removes again when it is closed. A separator more than needed
  // is harmless, and a path's last byte may be the second byte of a double-byte character.
  const std::string probe =
      std::string(path) + "\\nc16-probe-" + std::to_string(::GetCurrentProcessId()) + ".tmp";
  HANDLE file = ::CreateFileA(
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

}  // namespace nc16::platform
