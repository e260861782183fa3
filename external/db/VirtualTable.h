#pragma once
// The SQLite virtual-table module "paradox": a table whose rows are the records of a table
// loaded by a Session, decoded field by field as SQLite asks for them. Equality constraints on a
// column are served from that column's hash index, so the joins of the payroll queries do not
// scan the joined table once per row.

#include <sqlite3.h>

#include <string>

namespace nc16::db::detail {

struct Connection;
struct LoadedTable;

// Registers the module on `db`; CREATE VIRTUAL TABLE x USING paradox(<sql name>) then shows the
// slot that `conn` declares for <sql name>, whichever table the slot holds when a statement is
// prepared and run. `conn` must outlive `db`.
void RegisterParadoxModule(sqlite3* db, const Connection* conn);

// The declaration of a loaded table's virtual table: its fields with their declared types.
std::string VirtualTableDdl(const LoadedTable& table);

}  // namespace nc16::db::detail
