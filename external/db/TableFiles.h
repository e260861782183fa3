#pragma once
// Where a table's file lies. The payroll data come from a case-insensitive file system, so the
// program's spelling of a table ("mKaisya.DB") and of its folder may differ in letter case from
// the names on disk ("MKAISYA.DB", "DB/DAT001"); the OS layer's ResolvePathCase finds them.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nc16::db::detail {

// `path` (CP932) as the file system spells it; an ambiguous name (two entries that differ only
// in letter case) is an engine error naming both.
std::string ResolvedPath(std::string_view path);

// The file of table `name` (".db" appended when missing) in `folder` (CP932 paths), its names
// matched without regard to the case of ASCII letters; nullopt when the folder holds no such
// file. EDBEngineError when a name is ambiguous, and naming the path and the cause when what is
// there is no regular file (a folder, a FIFO, a link to a device), when it may not be looked at,
// or when the folder may not be listed (so that a name in another case cannot be found).
std::optional<std::filesystem::path> FindTableFile(std::string_view folder, std::string_view name);

// Whether `folder` (CP932) names an existing directory, in any letter case. EDBEngineError when
// a name is ambiguous.
bool FolderExists(std::string_view folder);

}  // namespace nc16::db::detail
