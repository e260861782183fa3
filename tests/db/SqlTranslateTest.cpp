// Local SQL to SQLite: the table references the program writes, in every spelling it uses.

#include "external/db/SqlTranslate.h"

#include <gtest/gtest.h>

#include "external/db/Db.h"

namespace nc16::db::detail {
namespace {

std::vector<std::string> Files(const TranslatedSql& t) {
  std::vector<std::string> out;
  for (const auto& r : t.tables)
    out.push_back(r.file + "->" + r.sql_name);
  return out;
}

TEST(SqlTranslate, QuotedFileNamesWithAndWithoutExtensionKeepTheirAliases) {
  const auto v = TranslateLocalSql("SELECT Mkaisya.Version FROM \"mKaisya.DB\" Mkaisya");
  EXPECT_EQ(v.sql, "SELECT Mkaisya.Version FROM \"mkaisya\" Mkaisya");
  EXPECT_EQ(Files(v), (std::vector<std::string>{"mKaisya.DB->mkaisya"}));
  const auto t = TranslateLocalSql(
      "SELECT * FROM \"tNenchoMeisai\" Tnencho\nORDER BY Syain, SikyuKbn, SikyuKai, InputKbn");
  EXPECT_EQ(t.sql,
            "SELECT * FROM \"tnenchomeisai\" Tnencho\nORDER BY Syain, SikyuKbn, SikyuKai, "
            "InputKbn");
  EXPECT_EQ(Files(t), (std::vector<std::string>{"tNenchoMeisai->tnenchomeisai"}));
}

TEST(SqlTranslate, BareFileNameGetsItsStemAsAlias) {
  const auto t = TranslateLocalSql(
      "SELECT SearchKey,Content,OPcode,SyoriNen,SyoriTuki,SyoriKai,Holder,NendoNo FROM "
      "mDataList.DB\nWHERE Holder <> ''\nORDER BY Content DESC, Holder ASC\n");
  EXPECT_EQ(t.sql,
            "SELECT SearchKey,Content,OPcode,SyoriNen,SyoriTuki,SyoriKai,Holder,NendoNo FROM "
            "\"mdatalist\" AS \"mDataList\"\nWHERE Holder <> ''\nORDER BY Content DESC, Holder "
            "ASC\n");
  ASSERT_EQ(t.tables.size(), 1u);
  EXPECT_EQ(t.tables[0].file, "mDataList.DB");
}

TEST(SqlTranslate, JoinsOfEveryKindAndRepeatedTablesShareOneSqliteTable) {
  const auto t = TranslateLocalSql(
      "SELECT a.ID FROM \"mSyain.db\" Msyain\nINNER JOIN \"tFuyouSet.db\" Tfuyou\n"
      "ON (Tfuyou.Syain = Msyain.SearchKey)\nFULL OUTER JOIN \"tHokenKoujo.db\" Thkoujo\n"
      "ON (Thkoujo.Syain = Msyain.SearchKey)\nLEFT OUTER JOIN \"MSYAIN\" m2 ON m2.a = 1, "
      "\"x.db\" AS y");
  EXPECT_EQ(Files(t), (std::vector<std::string>{"mSyain.db->msyain", "tFuyouSet.db->tfuyouset",
                                                "tHokenKoujo.db->thokenkoujo", "x.db->x"}));
  EXPECT_NE(t.sql.find("FULL OUTER JOIN \"thokenkoujo\" Thkoujo"), std::string::npos);
  EXPECT_NE(t.sql.find("JOIN \"msyain\" m2 ON m2.a = 1"), std::string::npos);
  // The comma after an ON expression belongs to the FROM list only before the ON.
  EXPECT_NE(t.sql.find(", \"x\" AS y"), std::string::npos);
}

TEST(SqlTranslate, QuotedReferenceWithoutAliasStaysUsableAsQualifier) {
  const auto t = TranslateLocalSql("SELECT \"mKaisya.db\".Version FROM \"mKaisya.db\" WHERE 1=1");
  EXPECT_EQ(t.sql, "SELECT \"mKaisya.db\".Version FROM \"mkaisya\" AS \"mKaisya.db\" WHERE 1=1");
}

TEST(SqlTranslate, StringsAndDoubleByteNamesAreNotMistakenForSyntax) {
  // 0x95 0x5C is a CP932 character whose trail byte is a backslash; 0x83 0x22 does not exist but
  // a lead byte must still swallow its follower.
  const std::string name = "\x8E\x96\x95\x5C";  // 事表
  const auto t = TranslateLocalSql("SELECT * FROM \"" + name + ".db\" WHERE x = 'FROM y'");
  ASSERT_EQ(t.tables.size(), 1u);
  EXPECT_EQ(t.tables[0].file, name + ".db");
  EXPECT_EQ(t.sql, "SELECT * FROM \"" + name + "\" AS \"" + name + ".db\" WHERE x = 'FROM y'");
}

TEST(SqlTranslate, SubqueriesHaveTheirOwnFromList) {
  // The subquery's FROM list ends at its parenthesis; ", c" after WHERE is no table.
  const auto t = TranslateLocalSql("SELECT * FROM a WHERE k IN (SELECT k FROM \"b.DB\" bb), c");
  EXPECT_EQ(Files(t), (std::vector<std::string>{"a->a", "b.DB->b"}));
}

TEST(SqlTranslate, OnlySelectStatementsRun) {
  EXPECT_THROW(TranslateLocalSql("  \n"), EDatabaseError);
  EXPECT_THROW(TranslateLocalSql("DELETE FROM \"mSyain.db\""), EDatabaseError);
}

TEST(SqlTranslate, TableNamesFoldCaseWithoutTouchingTrailBytes) {
  // 0x83 0x41 (ア) has a trail byte that is the letter A.
  EXPECT_EQ(FoldCaseCp932("AB\x83\x41.DB"), "ab\x83\x41.db");
  EXPECT_EQ(SqlTableName("mKaisya.DB"), "mkaisya");
  EXPECT_EQ(SqlTableName("mKaisya"), "mkaisya");
  EXPECT_EQ(TableFileName("tMNLog.DB"), "tMNLog.DB");
  EXPECT_EQ(TableFileName("tNenchoMeisai"), "tNenchoMeisai.db");
}

}  // namespace
}  // namespace nc16::db::detail
