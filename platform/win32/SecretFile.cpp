// Secret files on Windows: the counterpart of mode 0600 is an access list that lets no one read
// or write the file but its owner (and the system and the administrators, who can read every
// file anyway), as OpenSSH for Windows checks its key files. Whoever may write the file, or
// change its access list or owner, chooses the secret.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/SecretFileChunks.h"
#include "platform/win32/Sid.h"
#include "platform/win32/Win32Error.h"

namespace nc16::platform {
namespace {

[[noreturn]] void Fail(std::string_view path, const std::string& cause_cp932) {
  throw EOSError(std::string(path) + SJ(" を読み込めません: ") + cause_cp932);
}

constexpr ACCESS_MASK kOwnersRights = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_READ | GENERIC_WRITE |
                                      GENERIC_ALL;

// True when an access-allowed entry gives read or write access to someone else than the current
// user, the system or the administrators; a missing access list lets everyone in.
bool OthersCanReadOrWrite(HANDLE file) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, &descriptor) != ERROR_SUCCESS)
    return true;
  const std::wstring me = win32::CurrentUserSid();
  bool others = dacl == nullptr;
  for (DWORD i = 0; !others && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<ACE_HEADER*>(ace);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & kOwnersRights) == 0) continue;
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(const_cast<DWORD*>(&allowed->SidStart), &text)) {
      others = true;
      break;
    }
    const std::wstring sid = text;
    ::LocalFree(text);
    others = sid != me && sid != L"S-1-5-18" && sid != L"S-1-5-32-544";
  }
  ::LocalFree(descriptor);
  return others;
}

}  // namespace

void ReadSecretChunks(std::string_view path,
                      const std::function<bool(std::string_view)>& on_chunk) {
  HANDLE h = ::CreateFileW(NativePath(path).c_str(), GENERIC_READ | READ_CONTROL,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail(path, win32::SystemMessage(::GetLastError()));
  struct Closer {
    HANDLE h;
    ~Closer() { ::CloseHandle(h); }
  } closer{h};
  if (::GetFileType(h) != FILE_TYPE_DISK) Fail(path, "not a regular file");
  if (OthersCanReadOrWrite(h))
    Fail(path,
         "readable or writable by others (only its owner may be allowed to read or write it)");
  char buf[4096];
  while (true) {
    DWORD n = 0;
    if (!::ReadFile(h, buf, sizeof buf, &n, nullptr))
      Fail(path, win32::SystemMessage(::GetLastError()));
    if (n == 0 || !on_chunk(std::string_view(buf, n))) break;
  }
}

}  // namespace nc16::platform
