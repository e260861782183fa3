#pragma once
// The security identity of the user running the program.

#include <string>

namespace nc16::platform::win32 {

// The current user's SID as text ("S-1-5-21-..."); empty when the token cannot be read.
std::wstring CurrentUserSid();

}  // namespace nc16::platform::win32
