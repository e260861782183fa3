#include "platform/StandardStreams.h"

#include <unistd.h>

#include <cerrno>

namespace nc16::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void PrepareStandardStreams() {}

std::ptrdiff_t WriteStandardOutput(const char* data, size_t size) {
  return ::write(STDOUT_FILENO, data, size);
}

int CloseStandardOutput() {
  if (::close(STDOUT_FILENO) == 0 || errno == EBADF) return 0;
  return errno;
}

}  // namespace nc16::platform
