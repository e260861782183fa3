#include "external/db/TableFiles.h"

#include <system_error>

#include "external/db/Db.h"
#include "external/db/Messages.h"
#include "external/db/SqlTranslate.h"
#include "platform/Cp932.h"
#include "platform/FileErrors.h"
#include "platform/Platform.h"

namespace nc16::db::detail {

std::string ResolvedPath(std::string_view path) {
  try {
    return platform::ResolvePathCase(path);
  } catch (const EOSError& e) {
    throw EDBEngineError(e.what());
  }
}

std::optional<std::filesystem::path> FindTableFile(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !path.ends_with(platform::kPathSeparator)) path += platform::kPathSeparator;
  path += TableFileName(name);
  std::error_code ec;
  std::filesystem::path file = NativePath(ResolvedPath(path));
  const auto status = std::filesystem::status(file, ec);
  if (std::filesystem::is_regular_file(status)) return file;
  // Something that is there but is no table file, or that may not be looked at, is named with
  // its cause: "not found" would send the user looking for a file that exists.
  if (std::filesystem::is_directory(status))
    throw EDBEngineError(
        MsgTableCannotOpen(name, FromNativePath(file) + ": " + platform::cause_words::IsAFolder()));
  if (std::filesystem::exists(status))
    throw EDBEngineError(MsgTableCannotOpen(
        name, FromNativePath(file) + ": " + platform::cause_words::NotARegularFile()));
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    throw EDBEngineError(
        MsgTableCannotOpen(name, FromNativePath(file) + ": " + platform::FileErrorCause(ec)));
  // Missing as written: the name in another letter case is found only in a folder that may be
  // listed.
  std::filesystem::directory_iterator listing(NativePath(ResolvedPath(folder)), ec);
  if (ec == std::errc::permission_denied)
    throw EDBEngineError(
        MsgTableCannotOpen(name, std::string(folder) + ": " + platform::FileErrorCause(ec)));
  return std::nullopt;
}

bool FolderExists(std::string_view folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(NativePath(ResolvedPath(folder)), ec);
}

}  // namespace nc16::db::detail
