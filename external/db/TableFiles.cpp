#include "external/db/TableFiles.h"

#include <system_error>

#include "external/db/SqlTranslate.h"
#include "platform/Cp932.h"

namespace nc16::db::detail {

std::optional<std::filesystem::path> FindTableFile(std::string_view folder, std::string_view name) {
  namespace fs = std::filesystem;
  const std::string file = TableFileName(name);
  const fs::path dir = NativePath(folder);
  std::error_code ec;
  const fs::path exact = dir / NativePath(file);
  if (fs::is_regular_file(exact, ec)) return exact;

  const std::string wanted = FoldCaseCp932(file);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (FoldCaseCp932(FromNativePath(it->path().filename())) != wanted) continue;
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) return it->path();
  }
  return std::nullopt;
}

bool FolderExists(std::string_view folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(NativePath(folder), ec);
}

}  // namespace nc16::db::detail
