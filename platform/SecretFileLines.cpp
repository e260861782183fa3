// The lines of a secret file, from the checked reads of the platform's SecretFile.cpp.

#include <algorithm>

#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/SecretFile.h"
#include "platform/SecretFileChunks.h"

namespace nc16::platform {
namespace {

[[noreturn]] void Fail(std::string_view path, const std::string& cause) {
  throw EOSError(std::string(path) + SJ(" を読み込めません: ") + Utf8ToCp932(cause));
}

void DropCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

std::string ReadSecretFile(std::string_view path) {
  std::string line;
  ReadSecretChunks(path, [&](std::string_view chunk) {
    auto nl = chunk.find('\n');
    line.append(chunk.substr(0, nl));
    if (nl != std::string_view::npos) return false;
    if (line.size() > (1u << 20)) Fail(path, "first line longer than 1 MiB");
    return true;
  });
  DropCarriageReturn(line);
  return line;
}

std::vector<std::string> ReadSecretFileLines(std::string_view path) {
  std::string text;
  ReadSecretChunks(path, [&](std::string_view chunk) {
    text.append(chunk);
    if (text.size() > (1u << 20)) Fail(path, "longer than 1 MiB");
    return true;
  });
  std::vector<std::string> lines;
  for (size_t begin = 0; begin < text.size();) {
    size_t nl = std::min(text.find('\n', begin), text.size());
    lines.push_back(text.substr(begin, nl - begin));
    DropCarriageReturn(lines.back());
    begin = nl + 1;
  }
  return lines;
}

}  // namespace nc16::platform
