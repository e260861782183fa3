#include "external/db/TableFiles.h"

#include <system_error>

#include "external/db/Db.h"
#include "external/db/SqlTranslate.h"
#include "platform/Cp932.h"
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
  if (std::filesystem::is_regular_file(file, ec)) return file;
  return std::nullopt;
}

bool FolderExists(std::string_view folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(NativePath(ResolvedPath(folder)), ec);
}

}  // namespace nc16::db::detail
