#include "external/db/Messages.h"

#include "platform/Cp932.h"

namespace nc16::db::detail {
namespace {

// Concatenates CP932 pieces; the Japanese pieces come from SJ().
template <typename... Parts>
std::string Cat(const Parts&... parts) {
  std::string s;
  (s.append(std::string_view(parts)), ...);
  return s;
}

}  // namespace

std::string MsgFolderMissing(std::string_view folder) {
  return Cat(SJ("フォルダ '"), folder, SJ("' が見つかりません。"));
}
std::string MsgNameInUse(std::string_view name) {
  return Cat(SJ("データベース名 '"), name, SJ("' は既に使用されています。"));
}
std::string MsgNoDatabaseName() {
  return SJ("データベース名が設定されていません。");
}
std::string MsgUnknownDriver(std::string_view database, std::string_view driver) {
  return Cat(SJ("データベース '"), database, SJ("' のドライバ '"), driver,
             SJ("' は使用できません。"));
}
std::string MsgNoPath(std::string_view database) {
  return Cat(SJ("データベース '"), database, SJ("' にパスが設定されていません。"));
}
std::string MsgBadParam(std::string_view database, std::string_view param) {
  return Cat(SJ("データベース '"), database, SJ("' のパラメータ '"), param,
             SJ("' は使用できません。"));
}
std::string MsgConnectedChange(std::string_view database) {
  return Cat(SJ("データベース '"), database, SJ("' は接続中のため変更できません。"));
}
std::string MsgTableMissing(std::string_view table, std::string_view folder) {
  return Cat(SJ("テーブル '"), table, SJ("' が見つかりません (フォルダ '"), folder, SJ("')。"));
}
std::string MsgTableUnreadable(std::string_view table, std::string_view cause) {
  return Cat(SJ("テーブル '"), table, SJ("' を読めません: "), cause);
}
std::string MsgSqlError(std::string_view cause) {
  return Cat(SJ("SQL 文を実行できません: "), cause);
}
std::string MsgNotSelect() {
  return SJ("SQL 文は SELECT でなければなりません。");
}
std::string MsgEmptySql() {
  return SJ("SQL 文が空です。");
}
std::string MsgTextAfterStatement() {
  return SJ("SQL 文の後にテキストがあります。実行できるのは 1 文だけです。");
}
std::string MsgFieldMissing(std::string_view field) {
  return Cat(SJ("フィールド '"), field, SJ("' が見つかりません。"));
}
std::string MsgFieldIndex(int index) {
  return Cat(SJ("フィールド番号 "), std::to_string(index), SJ(" は範囲外です。"));
}
std::string MsgNotOpen(std::string_view what) {
  return Cat(SJ("'"), what, SJ("' が開かれていません。"));
}
std::string MsgOpenWhileActive(std::string_view what) {
  return Cat(SJ("'"), what, SJ("' は開いているため変更できません。"));
}
std::string MsgBadValue(std::string_view field, std::string_view value, std::string_view wanted) {
  return Cat(SJ("フィールド '"), field, SJ("' の値 '"), value, SJ("' は"), wanted,
             SJ("として読めません。"));
}
std::string MsgLocateArity(std::string_view fields) {
  return Cat(SJ("検索フィールド '"), fields, SJ("' と値の数が一致しません。"));
}
std::string MsgTableBusy(std::string_view table) {
  return Cat(SJ("テーブル '"), table, SJ("' を開けません: 他のプロセスが使用中です。"));
}
std::string MsgTableCannotOpen(std::string_view table, std::string_view cause) {
  return Cat(SJ("テーブル '"), table, SJ("' を開けません: "), cause);
}
std::string MsgNotEditing(std::string_view table) {
  return Cat(SJ("テーブル '"), table, SJ("' は追加中ではありません。"));
}
std::string MsgPostFailed(std::string_view table, std::string_view cause) {
  return Cat(SJ("テーブル '"), table, SJ("' にレコードを書き込めません: "), cause);
}
std::string MsgCreateFailed(std::string_view table, std::string_view cause) {
  return Cat(SJ("テーブル '"), table, SJ("' を作成できません: "), cause);
}
std::string MsgTableExists(std::string_view table) {
  return Cat(SJ("テーブル '"), table, SJ("' は既に存在します。"));
}
std::string MsgNoTableName() {
  return SJ("テーブル名が設定されていません。");
}
std::string MsgReadOnly(std::string_view field) {
  return Cat(SJ("フィールド '"), field, SJ("' は変更できません。"));
}
std::string MsgBadFieldDef(std::string_view table, std::string_view field) {
  return Cat(SJ("テーブル '"), table, SJ("' のフィールド '"), field,
             SJ("' の定義は使用できません。"));
}

}  // namespace nc16::db::detail
