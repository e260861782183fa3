#include "platform/AtomicFile.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <random>
#include <string>

#include "platform/Cp932.h"
#include "platform/win32/Sid.h"
#include "platform/win32/Win32Error.h"

namespace nc16 {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, std::string_view what, DWORD err) {
  throw EOSError(Utf8ToCp932("ファイル ") + FromNativePath(file) + Utf8ToCp932(" を") +
                 Utf8ToCp932(what) + Utf8ToCp932("できません: ") +
                 platform::win32::SystemMessage(err));
}

constexpr std::wstring_view kTempInfix = L".tmp-";

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  std::wstring suffix(kTempInfix);
  suffix += std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(rng() % 1000000);
  std::filesystem::path temp = target;
  temp += suffix;
  return temp;
}

// The process that made `entry` when it is a temporary file of the target named `target_name`
// ("NAME.tmp-PID-N"); 0 otherwise.
DWORD TemporaryOwner(std::wstring_view entry, std::wstring_view target_name) {
  if (!entry.starts_with(target_name)) return 0;
  entry.remove_prefix(target_name.size());
  if (!entry.starts_with(kTempInfix)) return 0;
  entry.remove_prefix(kTempInfix.size());
  const size_t dash = entry.find(L'-');
  if (dash == std::wstring_view::npos || dash == 0 || dash > 9 || dash + 1 == entry.size())
    return 0;
  DWORD pid = 0;
  for (size_t i = 0; i < entry.size(); ++i) {
    if (i == dash) continue;
    if (entry[i] < L'0' || entry[i] > L'9') return 0;
    if (i < dash) pid = pid * 10 + static_cast<DWORD>(entry[i] - L'0');
  }
  return pid;
}

// True unless the process has ended; a process of another user, which we may not look at, is
// taken to run.
bool ProcessRunning(DWORD pid) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = !::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

// Removes what killed writers of `target` left behind. A candidate goes only when its process
// has ended; a temporary still open in a writer (which shares no deletion) or another user's
// (whose access list refuses it) cannot be removed anyway.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  const std::wstring target_name = target.filename().native();
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : L".";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const DWORD owner = TemporaryOwner(entry.path().filename().native(), target_name);
    if (owner == 0 || !entry.is_regular_file(ec) || ProcessRunning(owner)) continue;
    ::DeleteFileW(entry.path().c_str());
  }
}

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

namespace platform::win32 {

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::wstring out;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string buf(size, '\0');
  if (size != 0 && ::GetTokenInformation(token, TokenUser, buf.data(), size, &size)) {
    wchar_t* text = nullptr;
    if (::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, &text)) {
      out = text;
      ::LocalFree(text);
    }
  }
  ::CloseHandle(token);
  return out;
}

}  // namespace platform::win32

namespace {

// A security descriptor whose access list lets the current user alone in (the counterpart of
// mode 0600), protected from what the folder would pass on; freed on destruction.
class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity() {
    const std::wstring sid = platform::win32::CurrentUserSid();
    if (sid.empty()) return;
    const std::wstring sddl = L"D:P(A;;FA;;;" + sid + L")";
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                           &descriptor_, nullptr);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
  }
  ~OwnerOnlySecurity() {
    if (descriptor_ != nullptr) ::LocalFree(descriptor_);
  }
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;
  SECURITY_ATTRIBUTES* Get() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

// Gives the new file the access list of the file it is to replace, as a rename keeps the
// temporary's own: a file that the product's installer opened to every user of the machine
// stays open to them. Best effort, as the mode on POSIX: the file is written either way.
void KeepAccessList(const std::filesystem::path& target, HANDLE file) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(target.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ::GetSecurityDescriptorControl(descriptor, &control, &revision);
  // Entries the old file inherited from the folder are inherited by the new one alike.
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION);
  ::SetSecurityInfo(file, SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
  ::LocalFree(descriptor);
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target, FileAccess access) : target_(target) {
  if (auto refused = NotReplaceable(target_)) throw EOSError(*refused);
  RemoveStaleTemporaries(target_);
  OwnerOnlySecurity owner_only;
  SECURITY_ATTRIBUTES* security = nullptr;
  if (access == FileAccess::kOwnerOnly) {
    security = owner_only.Get();
    if (security == nullptr) Fail(target_, "作成", ::GetLastError());
  }
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD err = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
    temp_ = TempNameBeside(target_);
    // WRITE_DAC: the creator may always set the new file's access list.
    h = ::CreateFileW(temp_.c_str(), GENERIC_WRITE | WRITE_DAC, 0, security, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      err = ::GetLastError();
      if (err != ERROR_FILE_EXISTS) Fail(target_, "作成", err);
    }
  }
  if (h == INVALID_HANDLE_VALUE) Fail(target_, "作成", err);
  handle_ = reinterpret_cast<std::intptr_t>(h);
  if (access == FileAccess::kDefault &&
      ::GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES)
    KeepAccessList(target_, h);
}

AtomicFile::~AtomicFile() {
  if (handle_ != -1) ::CloseHandle(AsHandle(handle_));
  if (!committed_) ::DeleteFileW(temp_.c_str());
}

void AtomicFile::Write(std::string_view data) {
  if (handle_ == -1) Fail(target_, "書き込み", ERROR_INVALID_HANDLE);
  while (!data.empty()) {
    DWORD chunk = data.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle_), data.data(), chunk, &written, nullptr))
      Fail(target_, "書き込み", ::GetLastError());
    data.remove_prefix(written);
  }
}

void AtomicFile::Commit() {
  if (handle_ == -1) Fail(target_, "書き込み", ERROR_INVALID_HANDLE);
  HANDLE h = AsHandle(handle_);
  if (!::FlushFileBuffers(h)) Fail(target_, "書き込み", ::GetLastError());
  handle_ = -1;
  if (!::CloseHandle(h)) Fail(target_, "書き込み", ::GetLastError());
  // WRITE_THROUGH: the call returns only when the new name is on disk.
  if (!::MoveFileExW(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail(target_, "作成", ::GetLastError());
  committed_ = true;
}

// Every rename is written through at once: nothing is left for the end.
DeferredFolderSyncs::DeferredFolderSyncs(const std::filesystem::path& folder) : folder_(folder) {}
DeferredFolderSyncs::~DeferredFolderSyncs() = default;

// Windows has no unnamed files: every temporary is named.
void AtomicFile::AllowUnnamedForTesting(bool) {}

void WriteFileAtomic(const std::filesystem::path& target, std::string_view data,
                     FileAccess access) {
  AtomicFile file(target, access);
  file.Write(data);
  file.Commit();
}

}  // namespace nc16
