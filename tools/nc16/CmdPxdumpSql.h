#pragma once
// nc16 pxdump --folder DIR --sql "SELECT ...": a query's result in the dump format of a table.

#include <string_view>

namespace nc16::cli {

// Runs `sql` (UTF-8, as typed) on the Paradox tables of `folder` and prints the result as
// nc16 pxdump prints a table: a line of column names, then one tab-separated line per row.
// Returns 0, or 1 after printing the database error.
int RunPxdumpSql(std::string_view folder, std::string_view sql);

}  // namespace nc16::cli
