#pragma once
// The program's standard streams and command line, the same on every system: UTF-8 arguments,
// UTF-8 bytes written to standard output and error as they are (no line-end translation).

#include <cstddef>
#include <string>
#include <vector>

namespace nc16::platform {

// The arguments of main in UTF-8. POSIX: argv as given. Windows: the wide command line
// (main's argv is in the ANSI code page and loses what that cannot hold).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Puts standard input, output and error into binary mode and the console into UTF-8 (Windows);
// nothing to do on POSIX. Call once, first thing in main.
void PrepareStandardStreams();

// Writes to file descriptor 1: the bytes written, or -1 with errno set.
std::ptrdiff_t WriteStandardOutput(const char* data, size_t size);

// Closes file descriptor 1: 0, or the errno of a failed close (EBADF, nothing to close, is 0).
int CloseStandardOutput();

}  // namespace nc16::platform
