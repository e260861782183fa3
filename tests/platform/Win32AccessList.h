#pragma once
// A file's access list as the tests compare it (Windows only).

#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>
#include <sddl.h>

#include <ostream>
#include <string>
#include <vector>

namespace nc16::testing {

struct Entry {
  BYTE type;
  std::wstring sid;
  ACCESS_MASK rights = FILE_ALL_ACCESS;
  friend bool operator==(const Entry&, const Entry&) = default;
  friend void PrintTo(const Entry& e, std::ostream* out) {
    *out << int(e.type) << " " << std::string(e.sid.begin(), e.sid.end()) << " " << std::hex
         << e.rights;
  }
};

// The entries of the file's access list, in order, less those of the system (S-1-5-18), which
// may read every file and which wine lists for every file; one entry of type 0xFF when it has no
// list (which lets everyone in).
inline std::vector<Entry> AccessList(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::wstring wide(path.begin(), path.end());
  std::vector<Entry> entries;
  if (::GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return {{0xFE, L"unreadable"}};
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ::GetAce(dacl, i, &ace);
    auto* header = static_cast<ACE_HEADER*>(ace);
    wchar_t* text = nullptr;
    ::ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &text);
    const std::wstring sid = text != nullptr ? text : L"?";
    if (sid != L"S-1-5-18")
      entries.push_back({header->AceType, sid, static_cast<ACCESS_ALLOWED_ACE*>(ace)->Mask});
    ::LocalFree(text);
  }
  if (dacl == nullptr) entries.push_back({0xFF, L"no list"});
  ::LocalFree(descriptor);
  return entries;
}

}  // namespace nc16::testing
