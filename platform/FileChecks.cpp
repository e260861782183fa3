// Questions about files that every platform answers the same way, through std::filesystem.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/FileErrors.h"
#include "platform/Platform.h"

namespace nc16 {

std::optional<std::string> NotReplaceable(const std::filesystem::path& target) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(target, ec);
  if (ec || !std::filesystem::exists(status) || std::filesystem::is_regular_file(status))
    return std::nullopt;
  const std::string kind = std::filesystem::is_symlink(status) ? SJ("シンボリックリンク")
                           : std::filesystem::is_directory(status) ? SJ("フォルダー")
                           : std::filesystem::is_fifo(status)      ? SJ("FIFO")
                           : std::filesystem::is_socket(status)    ? SJ("ソケット")
                                                                   : SJ("デバイス");
  return FromNativePath(target) + SJ(" は通常のファイルではない (") + kind +
         SJ(") ので置き換えません");
}

namespace platform {

std::optional<std::string> UnreadableFolder(std::string_view path) {
  std::error_code ec;
  std::filesystem::directory_iterator it(NativePath(path), ec);
  if (!ec) return std::nullopt;
  if (ec == std::errc::not_a_directory) return std::string(path) + SJ(": フォルダーではありません");
  return std::string(path) + ": " + FileErrorCause(ec);
}

std::string AbsolutePath(std::string_view path) {
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(NativePath(path), ec);
  return ec ? std::string(path) : FromNativePath(absolute);
}

bool SameFile(std::string_view a, std::string_view b) {
  std::error_code ec;
  const std::filesystem::path pa = NativePath(a), pb = NativePath(b);
  if (std::filesystem::equivalent(pa, pb, ec) && !ec) return true;
  const auto ca = std::filesystem::weakly_canonical(pa, ec);
  if (ec) return false;
  const auto cb = std::filesystem::weakly_canonical(pb, ec);
  return !ec && ca == cb;
}

}  // namespace platform
}  // namespace nc16
