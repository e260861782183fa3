#pragma once
// The SQLite virtual-table module "paradox": a table whose rows are the records of a table
// loaded by a Session, decoded field by field as SQLite asks for them. Equality constraints on a
// column are served from that column's hash index, so the joins of the payroll queries do not
// scan the joined table once per row.

#include <sqlite3.h>

namespace nc16::db::detail {

class Session;

// Registers the module on `db`; CREATE VIRTUAL TABLE x USING paradox(<sql name>) then exposes
// session.Loaded(<sql name>). The session must outlive the connection.
void RegisterParadoxModule(sqlite3* db, Session* session);

}  // namespace nc16::db::detail
