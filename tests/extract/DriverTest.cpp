// The extraction driver: the employee query by data version, the DATA and SYAIN elements, and
// the error list.

#include <gtest/gtest.h>

#include "tests/extract/ExtractFixture.h"

namespace nc16::test {
namespace {

bool HasLine(const std::vector<std::string>& sql, std::string_view text) {
  for (const auto& l : sql)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

TEST(EmployeeQuery, LinesFollowTheDataVersion) {
  auto old = TNenchoDataMake::EmployeeQuerySql(300002);
  EXPECT_FALSE(HasLine(old, "Msyain.ChosyuKbn"));
  EXPECT_FALSE(HasLine(old, "ISeimeiHoken2"));
  EXPECT_FALSE(HasLine(old, "FULL OUTER JOIN"));
  EXPECT_FALSE(HasLine(old, "Msyain.MNum"));

  auto v500002 = TNenchoDataMake::EmployeeQuerySql(500002);
  EXPECT_TRUE(HasLine(v500002, "Tnencho.TukinSeisanKin"));
  EXPECT_TRUE(HasLine(v500002, "FULL OUTER JOIN \"tFuyouKoujo.db\" Tfkoujo"));
  EXPECT_FALSE(HasLine(v500002, "Msyain.MNum"));
  EXPECT_FALSE(HasLine(v500002, "Msyain.MailAddress"));

  auto all = TNenchoDataMake::EmployeeQuerySql(700001);
  EXPECT_EQ(all.size(), 40u);
  EXPECT_EQ(all.front().substr(0, 7), "SELECT ");
  EXPECT_EQ(all[1].substr(0, 14), "       Msyain.");
  EXPECT_EQ(all.back(), "ORDER BY Msyain.SyainCD");
  EXPECT_EQ(TNenchoDataMake::EmployeeQuerySql(20349).size(), 40u - 5 - 1 - 3 - 4);
}

TEST(Driver, NoEmployeeLeavesDocumentAndErrorListAlone) {
  DataSetBuilder data(700005);
  TempFolder folder;
  data.Write(folder.Path());
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  doc.CreateRoot("REPORT", "");
  ErrorList errors;
  errors.Lines = {"kept"};
  TNenchoDataMake maker(FromNativePath(folder.Path()), errors);
  EXPECT_EQ(maker.MakeData(doc, 0), TNenchoDataMake::kNoEmployee);
  EXPECT_EQ(doc.ElementCount(), 1u);
  EXPECT_EQ(errors.Lines, std::vector<std::string>{"kept"});
}

TEST(Driver, EmployeesWithoutEveryJoinedRowAreLeftOut) {
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0002", "二番");
  data.AddEmployee(2, "0001", "一番");
  data.AddEmployee(3, "0003", "年調なし");
  data.DropNenchoRow(3);
  data.AddEmployee(4, "0004", "部署なし").syain["Bumon"] = int64_t{99};
  auto r = RunExtraction(data);
  EXPECT_EQ(r.result, TNenchoDataMake::kWritten);
  ASSERT_EQ(r.q().Count("/REPORT/DATA/SYAIN"), 2u);
  // Ascending employee code.
  EXPECT_EQ(r.q().Text("/REPORT/DATA/SYAIN[1]/@CODE"), "0001");
  EXPECT_EQ(r.q().Text("/REPORT/DATA/SYAIN[2]/@CODE"), "0002");
  EXPECT_EQ(r.q().Children("/REPORT/DATA/SYAIN[1]"),
            (std::vector<std::string>{"KIHON_JOUHOU", "KYUUYOSYOUYO_JOUHOU"}));
  EXPECT_EQ(r.q().Children("/REPORT/DATA/SYAIN[1]/KIHON_JOUHOU"),
            (std::vector<std::string>{"HONNNIN_JOUHOU", "HAIGUUSYA_JOUHOU", "KAZOKU_JOUHOU",
                                      "KOUJOGAKU_JOUHOU"}));
  EXPECT_EQ(r.ErrorLines(), std::vector<std::string>{""});
}

TEST(Driver, CodeIsTrimmedAndNameCutInWholeCharacters) {
  DataSetBuilder data(700005);
  // 21 bytes: a half-width letter and ten double-byte characters.
  data.AddEmployee(1, "  0007", "a一二三四五六七八九十");
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Text("/REPORT/DATA/SYAIN[1]/@CODE"), "0007");
  // 16 bytes at most, and the character that would straddle byte 16 is dropped.
  EXPECT_EQ(r.q().Text("/REPORT/DATA/SYAIN[1]/@NAME"), "a一二三四五六七");
}

TEST(Driver, ErrorListHoldsOnlyEmployeesWithErrors) {
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0001", "正常社員");
  auto second = data.AddEmployee(2, "0002", "長い名前の社員です長い名前");
  second.fuyou["HaiguKbn"] = true;
  second.nencho["HaiguTokuKoujyo"] = 1000.0;  // a special deduction without a spouse row
  data.AddFamily(2, 1, 1, "");                // a dependant without a name
  auto r = RunExtraction(data);
  EXPECT_EQ(r.result, TNenchoDataMake::kProblemsFound);
  EXPECT_EQ(r.q().Count("/REPORT/DATA/SYAIN"), 2u);  // both employees are still written

  std::vector<std::string> expected = {
      "",
      // The name trimmed and cut to 20 bytes, a blank, the code as stored.
      "【長い名前の社員です長 0002】",
      "",
      "  ＜本人情報＞",
      "  ＜配偶者情報＞",
      "    配偶者氏名が未設定です。",
      "  ＜家族情報＞",
      "    ［ 1行目 ］扶養親族氏名が未設定です。",
      "  ＜控除額情報＞",
      "  ＜給与情報＞",
      "  ＜賞与情報＞",
      "  ＜合計情報＞",
      "",
      std::string(85, '-'),
  };
  EXPECT_EQ(r.ErrorLines(), expected);
}

TEST(Driver, ControlCharactersAreProblemsOfTheEmployee) {
  DataSetBuilder data(700005);
  auto e = data.AddEmployee(1, "0001", "一\x02郎");
  e.syain["Addr1"] = SJIS("東京\x01都");
  e.syain["Addr2"] = SJIS("tab\tCR\rLF\n");  // characters XML carries
  data.AddFamily(1, 1, 1, "長男")["Kana"] = SJIS("ﾁｮｳ\x1bﾅﾝ");
  TempFolder folder;
  data.Write(folder.Path());
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  doc.CreateRoot("REPORT", "");
  ErrorList errors;
  {
    TNenchoDataMake maker(FromNativePath(folder.Path()), errors);
    EXPECT_EQ(maker.MakeData(doc, 0), TNenchoDataMake::kProblemsFound);
  }
  EXPECT_THROW(doc.GetXmlText(), std::invalid_argument);  // no file can be made of it
  std::vector<std::string> lines;
  for (const auto& l : errors.Lines)
    lines.push_back(Cp932ToUtf8(l));
  const std::string bad = " に使用できない制御文字が含まれています。";
  const std::vector<std::string> expected = {
      "",
      "【一\x02郎" + std::string(15, ' ') + " 0001】",
      "",
      "    SYAIN の NAME 属性" + bad,
      "  ＜本人情報＞",
      "    JUUSYO_1" + bad,
      "  ＜配偶者情報＞",
      "  ＜家族情報＞",
      "    ［ 1行目 長男" + std::string(16, ' ') + "］FURIGANA" + bad,
      "  ＜控除額情報＞",
      "  ＜給与情報＞",
      "  ＜賞与情報＞",
      "  ＜合計情報＞",
      "",
      std::string(85, '-'),
  };
  EXPECT_EQ(lines, expected);
}

// The name in the error list's heading is a column of 20 bytes: whatever kind of double-byte
// character straddles its end leaves a blank in its place, never half a character.
TEST(Driver, HeadingCutsTheNameAtWholeCharacters) {
  const std::string kinds[] = {SJIS("長"), "\x87\x40", "\xFA\x40", "\xEE\xE0", "\xF0\x40"};
  DataSetBuilder data(700005);
  int64_t key = 1;
  for (const std::string& c : kinds) {
    std::string name = "a";  // a one-byte lead, then characters
    for (int i = 0; i < 10; ++i)
      name += c;  // 21 bytes: the 10th character holds bytes 20 and 21
    auto e = data.AddEmployee(key, "000" + std::to_string(key), "");
    e.syain["SyainNM"] = name;
    e.fuyou["HaiguKbn"] = true;
    e.nencho["HaiguTokuKoujyo"] = 1.0;
    ++key;
  }
  auto r = RunExtraction(data);
  EXPECT_TRUE(IsValidCp932(r.xml));
  std::vector<std::string> headings;
  for (const std::string& line : r.errors.Lines)
    if (line.starts_with(SJIS("【"))) headings.push_back(line);
  ASSERT_EQ(headings.size(), std::size(kinds));
  for (size_t k = 0; k < std::size(kinds); ++k) {
    std::string nine = "a";
    for (int i = 0; i < 9; ++i)
      nine += kinds[k];
    EXPECT_EQ(headings[k], SJIS("【") + nine + "  000" + std::to_string(k + 1) + SJIS("】")) << k;
  }
}

TEST(Driver, HeadingCutsTheNameAtTwentyBytes) {
  DataSetBuilder data(700005);
  auto e = data.AddEmployee(1, "0001", "一二三四五六七八九十壱");  // 22 bytes
  e.fuyou["HaiguKbn"] = true;
  e.nencho["HaiguTokuKoujyo"] = 1.0;
  auto r = RunExtraction(data);
  ASSERT_GE(r.errors.Lines.size(), 2u);
  EXPECT_EQ(r.errors.Lines[1], SJIS("【一二三四五六七八九十 0001】"));
}

}  // namespace
}  // namespace nc16::test
