#pragma once
// Argument and environment utilities: splitting the launch argument into fields, and the small
// queries of the system that the wizard and the My Number log share. Texts are CP932.

#include <string>
#include <string_view>

namespace nc16 {

// The Index-th field (1-based) of S split at Separator; also CR, LF and CR LF in S end a field.
// Empty when there is no such field; never fails.
std::string GetField(std::string_view s, std::string_view separator, int index);

// The folder part of a path with its closing delimiter ("C:\" of "C:\A.XML", "/" of
// "/out.xml"); empty for a bare name. A delimiter byte inside a double-byte character does not
// count; a drive's ":" counts only where drives exist.
std::string_view FolderPart(std::string_view path);

// The drive of the system folder: its first character and ":" ("C:"); on POSIX "/" stands for
// the system drive. Empty when the system folder cannot be named.
std::string GetWindowsDrive();

// True when Path names an entry directly in the root folder of the system drive.
bool IsSystemDriveRoot(std::string_view path);

// The computer's name (at most 200 bytes); empty when it cannot be read.
std::string GetPcName();

}  // namespace nc16
