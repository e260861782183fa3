// The report page's words: one spelling of the katakana, no advice about the wizard's pages.

#include "app/flow/ReportText.h"

#include <gtest/gtest.h>

#include "document/Texts.h"

namespace nc16 {
namespace {

TEST(ReportText, HalfWidthKatakanaBecomeFullWidthWithTheirMarksJoined) {
  for (auto [half, full] : {std::pair{"ﾃﾞｰﾀ", "データ"},
                            {"ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞ", "マイナンバー管理パスワード"},
                            {"ｳﾞｧｶﾞﾎﾟ", "ヴァガポ"},
                            {"ｯﾞﾝﾟ", "ッ゛ン゜"},  // marks that join nothing stand alone
                            {"｢ｱ｣､･｡", "「ア」、・。"},
                            {"ﾞ", "゛"},
                            {"ABC 漢字", "ABC 漢字"}}) {
    EXPECT_EQ(WidenKatakana(half), full) << half;
  }
}

TEST(ReportText, MessagesLoseTheWizardsAdvice) {
  using L = std::vector<std::string>;
  EXPECT_EQ(ReportLines(texts::NoPayrollData()),
            L{"このデータフォルダには給与データがありません。"});
  EXPECT_EQ(ReportLines(texts::CannotExportVersion()),
            (L{"このデータは連動できません。", "最新版のミルベク給与でコンバートしてください。"}));
  EXPECT_EQ(ReportLines(texts::EncryptionPasswordMissing()),
            L{"暗号化パスワードが入力されていません。"});
  EXPECT_EQ(ReportLines(texts::DatabaseError("mKaisya.db")),
            (L{"データベース エラー", "mKaisya.db"}));
}

}  // namespace
}  // namespace nc16
