#pragma once
// Why a file operation failed, in the user's language. The system's own text is English under
// LANG=C (and differs from one system to the next); the causes a user meets and can act on get
// our own Japanese words, the same on every system. Texts are CP932.

#include <string>
#include <system_error>

#include "platform/Cp932.h"

namespace nc16::platform {

namespace cause_words {
// clang-format off
inline const std::string& NotFound() { return SJ("指定されたパスが見つかりません"); }
inline const std::string& AccessDenied() { return SJ("アクセスが拒否されました"); }
inline const std::string& IsAFolder() { return SJ("フォルダーです"); }
inline const std::string& NotARegularFile() { return SJ("通常のファイルではありません"); }
inline const std::string& DiskFull() { return SJ("ディスクに十分な空き領域がありません"); }
// clang-format on
}  // namespace cause_words

// NotARegularFile names what no error code says: a FIFO, a device or a socket where a file is
// read.

// The cause for a system error code: errno on POSIX, a GetLastError code on Windows. Our words
// for a missing file or folder, a refused access, a folder where a file was meant and a full disk
// (or quota); the system's text for any other code.
std::string FileErrorCause(int code);

// The same for an error of std::filesystem.
std::string FileErrorCause(const std::error_code& error);

}  // namespace nc16::platform
