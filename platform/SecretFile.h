#pragma once
// Secrets (passwords, keys) read from a file instead of the command line, where every local
// user could see them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nc16::platform {

// The first line of the file at the CP932 path, without its line break (LF or CR LF), as the
// bytes stored. Raises EOSError naming the file when it cannot be read, is not a regular file,
// or can be read or written by others (POSIX: its group or others; Windows: an entry of its
// access list for anyone but the user, the system and the administrators), as ssh refuses such
// key files.
std::string ReadSecretFile(std::string_view path);

// Every line of such a file (at most 1 MiB), each without its line break, with the same checks
// and errors; a last line without a break counts, an empty file has no line.
std::vector<std::string> ReadSecretFileLines(std::string_view path);

// Asks for a secret on the terminal: writes `prompt` (UTF-8) to stderr, reads one line from
// stdin with echo turned off, and gives it without its line break, as typed (UTF-8). Nothing
// when stdin is not a terminal. The terminal's settings are restored on return and when a
// signal ends the program meanwhile.
std::optional<std::string> AskSecret(std::string_view prompt);

}  // namespace nc16::platform
