#include "platform/SecretFile.h"

#include <fstream>

#include "platform/Cp932.h"
#include "platform/OSError.h"

namespace nc16::platform {

// On Windows access is decided by the file's ACL, which the user's profile folder already
// restricts; the file is read as it is.
std::string ReadSecretFile(std::string_view path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) throw EOSError(std::string(path) + SJ(" を読み込めません"));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::vector<std::string> ReadSecretFileLines(std::string_view path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) throw EOSError(std::string(path) + SJ(" を読み込めません"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace nc16::platform
