#pragma once
// The engine's messages (CP932). Every message names the file, table, field or connection it is
// about, so the one message box the wizard shows is enough to find the fault.

#include <string>
#include <string_view>

namespace nc16::db::detail {

std::string MsgFolderMissing(std::string_view folder);
std::string MsgNameInUse(std::string_view name);
std::string MsgNoDatabaseName();
std::string MsgUnknownDriver(std::string_view database, std::string_view driver);
std::string MsgNoPath(std::string_view database);
std::string MsgBadParam(std::string_view database, std::string_view param);
std::string MsgConnectedChange(std::string_view database);
std::string MsgTableMissing(std::string_view table, std::string_view folder);
std::string MsgTableUnreadable(std::string_view table, std::string_view cause);
std::string MsgSqlError(std::string_view cause);
std::string MsgNotSelect();
std::string MsgEmptySql();
std::string MsgTextAfterStatement();
std::string MsgFieldMissing(std::string_view field);
std::string MsgFieldIndex(int index);
std::string MsgNotOpen(std::string_view what);
std::string MsgOpenWhileActive(std::string_view what);
std::string MsgBadValue(std::string_view field, std::string_view value, std::string_view wanted);
std::string MsgLocateArity(std::string_view fields);
std::string MsgTableBusy(std::string_view table);
std::string MsgTableCannotOpen(std::string_view table, std::string_view cause);
std::string MsgNotEditing(std::string_view table);
std::string MsgPostFailed(std::string_view table, std::string_view cause);
std::string MsgCreateFailed(std::string_view table, std::string_view cause);
std::string MsgTableExists(std::string_view table);
std::string MsgNoTableName();
std::string MsgReadOnly(std::string_view field);
std::string MsgBadFieldDef(std::string_view table, std::string_view field);

}  // namespace nc16::db::detail
