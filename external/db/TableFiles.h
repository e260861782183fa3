#pragma once
// Where a table's file lies. The payroll data come from a case-insensitive file system, so the
// program's spelling of a table ("mKaisya.DB") and the file on disk ("MKAISYA.DB", "mkaisya.db")
// may differ in letter case; on a case-sensitive system the folder is searched for the file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nc16::db::detail {

// The file of table `name` (".db" appended when missing) in `folder` (CP932 paths), matched
// without regard to the case of ASCII letters; nullopt when the folder holds no such file.
std::optional<std::filesystem::path> FindTableFile(std::string_view folder, std::string_view name);

// Whether `folder` (CP932) names an existing directory.
bool FolderExists(std::string_view folder);

}  // namespace nc16::db::detail
