#pragma once
// Local SQL (the dialect the program writes for the Paradox engine) to SQLite. The two agree on
// everything the program uses except how tables are named: Local SQL names a table by its file,
// quoted ("mKaisya.DB", "tNenchoMeisai") or bare (mDataList.DB), with or without the extension.
// The translation replaces every such reference by the SQLite name of the loaded table and keeps
// the reference's alias; a reference without an alias gets an alias of its own spelling (quoted
// names) or its stem (bare names), so that qualified column names keep working:
// "mKaisya.db".Version, mDataList.Holder.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nc16::db::detail {

struct TableRef {
  std::string file;      // the table's file name as written, without quotes (".db" optional)
  std::string sql_name;  // the SQLite table it becomes: SqlTableName(file)
};

struct TranslatedSql {
  std::string sql;               // SQLite text
  std::vector<TableRef> tables;  // distinct tables, in order of first mention
  // For a statement that selects every column of its one table and nothing else ("SELECT * FROM
  // t [alias] [WHERE ...] [ORDER BY ...] [LIMIT ...]"), where its "*" lies in `sql`: its rows are
  // the table's records themselves, in an order that does not depend on the selected columns.
  std::optional<size_t> whole_records_star;
};

// Raises EDatabaseError for an empty statement or one that is not a SELECT.
TranslatedSql TranslateLocalSql(std::string_view local_sql);

// The SQLite name of a table file: the file name without ".db", letters folded to lower case
// (CP932-aware), so that names differing only in case or extension share one table.
std::string SqlTableName(std::string_view file);

// CP932-aware ASCII case folding: the trail byte of a double-byte character is left alone even
// when it falls in the range of the ASCII letters.
std::string FoldCaseCp932(std::string_view s);

// The file name of a table: `name` itself when it ends in ".db" (any case), else name + ".db".
std::string TableFileName(std::string_view name);

}  // namespace nc16::db::detail
