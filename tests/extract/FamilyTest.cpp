// The spouse section HAIGUUSYA_JOUHOU and the dependants section KAZOKU_JOUHOU.

#include <gtest/gtest.h>

#include "external/vnprotect/VnProtect.h"
#include "tests/extract/ExtractFixture.h"

namespace nc16::test {
namespace {

std::string Spouse(const std::string& element, int employee = 1) {
  return Section(employee, "KIHON_JOUHOU/HAIGUUSYA_JOUHOU/" + element);
}
std::string Dependant(int entry, const std::string& element, int employee = 1) {
  return Section(employee, "KIHON_JOUHOU/KAZOKU_JOUHOU/FUYOUSINZOKU[" + std::to_string(entry) +
                               "]/" + element);
}

TEST(Spouse, ReportedAndNotReported) {
  DataSetBuilder data(700005);
  // 1: deductible spouse with Gensen 0, no special deduction: reported without a name check.
  auto a = data.AddEmployee(1, "0001", "一");
  a.fuyou["HaiguKbn"] = true;
  a.fuyou["KojoHaiguKbn"] = true;
  a.nencho["HaiguSyotoku"] = 0.0;
  Row& sa = data.AddFamily(1, 0, 1, "配偶者一");
  sa["Kana"] = SJIS("ﾊｲｸﾞｳｼｬ");
  sa["SyogaiKbn"] = int64_t{1};
  sa["DokyoKbn"] = int64_t{0};
  sa["KyojuKbn"] = int64_t{1};
  // 2: Gensen not 0 and no special deduction: the row exists but is not reported.
  auto b = data.AddEmployee(2, "0002", "二");
  b.fuyou["HaiguKbn"] = true;
  b.fuyou["KojoHaiguKbn"] = true;
  data.AddFamily(2, 0, 1, "配偶者二")["Gensen"] = int64_t{1};
  // 3 and 7: HaiguKbn false although a spouse row exists, with KojoHaiguKbn set (3) or a
  // special deduction (7): not reported either way.
  data.AddEmployee(3, "0003", "三").fuyou["KojoHaiguKbn"] = true;
  data.AddFamily(3, 0, 1, "配偶者三");
  // 4: no spouse row and no special deduction: empty section, no error.
  data.AddEmployee(4, "0004", "四");
  // 5: special deduction, a name of full-width blanks only: error, empty section.
  auto e = data.AddEmployee(5, "0005", "五");
  e.fuyou["HaiguKbn"] = true;
  e.nencho["HaiguTokuKoujyo"] = 380000.0;
  data.AddFamily(5, 0, 1, "　　");
  // 6: special deduction and a named spouse with income and a null birth date.
  auto f = data.AddEmployee(6, "0006", "六");
  f.fuyou["HaiguKbn"] = true;
  f.nencho["HaiguTokuKoujyo"] = 10.0;
  f.nencho["HaiguSyotoku"] = 850000.5;
  Row& sf = data.AddFamily(6, 0, 1, " 花子 ");
  sf.erase("BirthDay");
  data.AddEmployee(7, "0007", "七").nencho["HaiguTokuKoujyo"] = 380000.0;
  data.AddFamily(7, 0, 1, "配偶者七");

  auto r = RunExtraction(data);
  EXPECT_EQ(r.result, TNenchoDataMake::kProblemsFound);
  EXPECT_EQ(
      r.q().Children(Section(1, "KIHON_JOUHOU/HAIGUUSYA_JOUHOU")),
      (std::vector<std::string>{"HAIGUUSYAUMU", "SIKIBETU_CODE", "FURIGANA", "NAME", "SEINENGAPPI",
                                "HAIGUUSYASYOTOKU", "SYOUGAISYA", "HIKYOJUUSYA"}));
  EXPECT_EQ(r.q().Text(Spouse("HAIGUUSYAUMU", 1)), "1");
  EXPECT_EQ(r.q().Text(Spouse("FURIGANA", 1)), "ﾊｲｸﾞｳｼｬ");
  EXPECT_EQ(r.q().Text(Spouse("NAME", 1)), "配偶者一");
  EXPECT_EQ(r.q().Text(Spouse("SEINENGAPPI", 1)), "20100505");
  EXPECT_EQ(r.q().Text(Spouse("HAIGUUSYASYOTOKU", 1)), "");  // "#": zero is empty
  EXPECT_EQ(r.q().Text(Spouse("SYOUGAISYA", 1)), "3");
  EXPECT_EQ(r.q().Text(Spouse("HIKYOJUUSYA", 1)), "0");

  for (int employee : {2, 3, 7}) {
    SCOPED_TRACE(employee);
    EXPECT_EQ(r.q().Text(Spouse("HAIGUUSYAUMU", employee)), "0");
    EXPECT_EQ(r.q().Text(Spouse("NAME", employee)), "");
    EXPECT_EQ(r.q().Text(Spouse("HAIGUUSYASYOTOKU", employee)), "0");
    EXPECT_EQ(r.q().Text(Spouse("SYOUGAISYA", employee)), "0");
    EXPECT_EQ(r.q().Text(Spouse("HIKYOJUUSYA", employee)), "0");
  }
  EXPECT_TRUE(r.q().Children(Section(4, "KIHON_JOUHOU/HAIGUUSYA_JOUHOU")).empty());
  EXPECT_TRUE(r.q().Children(Section(5, "KIHON_JOUHOU/HAIGUUSYA_JOUHOU")).empty());
  EXPECT_EQ(r.q().Text(Spouse("NAME", 6)), " 花子 ");  // as stored
  EXPECT_EQ(r.q().Text(Spouse("SEINENGAPPI", 6)), "");
  EXPECT_EQ(r.q().Text(Spouse("HAIGUUSYASYOTOKU", 6)), "850001");
  EXPECT_EQ(r.q().Text(Spouse("SYOUGAISYA", 6)), "1");   // null SyogaiKbn reads as 0
  EXPECT_EQ(r.q().Text(Spouse("HIKYOJUUSYA", 6)), "1");  // null KyojuKbn reads as 0

  auto lines = r.ErrorLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "    配偶者氏名が未設定です。"), 1);
  EXPECT_TRUE(lines[1].starts_with("【五"));
}

TEST(Spouse, ReadingByVersion) {
  for (int version : {500001, 500002, 700005}) {
    SCOPED_TRACE(version);
    DataSetBuilder data(version);
    auto e = data.AddEmployee(1, "0001", "一");
    e.fuyou["HaiguKbn"] = true;
    e.nencho["HaiguTokuKoujyo"] = 1.0;
    e.hoken["HaigusyaKN"] = SJIS("ﾎｹﾝ");
    data.AddFamily(1, 0, 1, "配偶者")["Kana"] = SJIS("ｶｿﾞｸ");
    auto r = RunExtraction(data);
    EXPECT_EQ(r.q().Text(Spouse("FURIGANA")), version >= 700005   ? "ｶｿﾞｸ"
                                              : version >= 500002 ? "ﾎｹﾝ"
                                                                  : "");
    EXPECT_EQ(r.q().Text(Spouse("HIKYOJUUSYA")), version >= 700001 ? "1" : "0");
  }
}

TEST(Dependants, RowsChecksAndGaps) {
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0001", "扶養者");
  Row& d1 = data.AddFamily(1, 1, 1, "長男");
  d1["Zokugara"] = SJIS("祖父母様");  // 8 bytes: the first three characters
  d1["FuyoKbn"] = int64_t{0};
  d1["Kana"] = SJIS("ﾁｮｳﾅﾝ");
  Row& d2 = data.AddFamily(1, 1, 2, "");  // no name and no birth date: two lines, no entry
  d2.erase("BirthDay");
  data.AddFamily(1, 1, 3, "")["Gensen"] = int64_t{1};  // left out without any check
  Row& d4 = data.AddFamily(1, 1, 4, "次男");
  d4["FuyoKbn"] = int64_t{5};
  d4["Zokugara"] = SJIS("a長男様");  // 7 bytes: the letter and two characters
  Row& d5 = data.AddFamily(1, 1, 5, "とても長い名前の扶養親族さん");
  d5["FuyoKbn"] = int64_t{4};
  d5["DokyoKbn"] = int64_t{1};
  d5["SyogaiKbn"] = int64_t{1};
  Row& d6 = data.AddFamily(1, 1, 6, "三男");
  d6["FuyoKbn"] = int64_t{4};
  d6["DokyoKbn"] = int64_t{1};
  d6["SyogaiKbn"] = int64_t{0};
  d6["Zokugara"] = SJIS("ab長男");                     // 6 bytes: whole
  data.AddFamily(1, 1, 8, "")["Gensen"] = int64_t{0};  // after the gap at 7: never looked at

  auto r = RunExtraction(data);
  EXPECT_EQ(r.result, TNenchoDataMake::kProblemsFound);
  auto entries = r.q().Nodes(Section(1, "KIHON_JOUHOU/KAZOKU_JOUHOU/FUYOUSINZOKU"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(r.q().Text(Dependant(1, "@COUNT")), "1");
  EXPECT_EQ(r.q().Text(Dependant(2, "@COUNT")), "4");
  EXPECT_EQ(r.q().Text(Dependant(3, "@COUNT")), "6");
  EXPECT_EQ(r.q().Children(Dependant(1, ".")),
            (std::vector<std::string>{"SIKIBETU_CODE", "FURIGANA", "NAME", "ZOKUGARA",
                                      "SEINENGAPPI", "FUYOUKUBUN", "SYOUGAISYA", "HIKYOJUUSYA"}));
  EXPECT_EQ(r.q().Text(Dependant(1, "FURIGANA")), "ﾁｮｳﾅﾝ");
  EXPECT_EQ(r.q().Text(Dependant(1, "ZOKUGARA")), "祖父母");
  EXPECT_EQ(r.q().Text(Dependant(1, "FUYOUKUBUN")), "1");
  EXPECT_EQ(r.q().Text(Dependant(1, "SYOUGAISYA")), "1");
  EXPECT_EQ(r.q().Count(Dependant(2, "FUYOUKUBUN")), 0u);
  EXPECT_EQ(r.q().Text(Dependant(2, "ZOKUGARA")), "a長男");
  EXPECT_EQ(r.q().Text(Dependant(3, "FUYOUKUBUN")), "3");
  EXPECT_EQ(r.q().Text(Dependant(3, "ZOKUGARA")), "ab長男");

  auto lines = r.ErrorLines();
  std::vector<std::string> family(std::find(lines.begin(), lines.end(), "  ＜家族情報＞") + 1,
                                  std::find(lines.begin(), lines.end(), "  ＜控除額情報＞"));
  EXPECT_EQ(family, (std::vector<std::string>{
                        "    ［ 2行目 ］扶養親族氏名が未設定です。",
                        "    ［ 2行目 " + std::string(20, ' ') + "］生年月日が未設定です。",
                        // The name cut after its 20th byte.
                        "    ［ 5行目 とても長い名前の扶養］同居区分が未チェックです。",
                    }));
}

// The dependant's name in an error line is a column of 20 bytes: a character straddling its end
// leaves a blank in its place, never half a character.
TEST(Dependants, NameInErrorLinesCutAtWholeCharacters) {
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0001", "扶養者");
  const std::string kinds[] = {SJIS("長"), "\x87\x40", "\xFC\x4B", "\xED\x40", "\xF9\xFC"};
  int row = 1;
  for (const std::string& c : kinds) {
    std::string name = "a";
    for (int i = 0; i < 10; ++i)
      name += c;
    Row& d = data.AddFamily(1, 1, row++, "");
    d["Name"] = name;
    d.erase("BirthDay");
  }
  auto r = RunExtraction(data);
  std::vector<std::string> lines;
  for (const std::string& line : r.errors.Lines)
    if (line.find(SJIS("生年月日が未設定です。")) != std::string::npos) lines.push_back(line);
  ASSERT_EQ(lines.size(), std::size(kinds));
  for (size_t k = 0; k < std::size(kinds); ++k) {
    std::string nine = "a";
    for (int i = 0; i < 9; ++i)
      nine += kinds[k];
    EXPECT_EQ(lines[k], SJIS("    ［ ") + std::to_string(k + 1) + SJIS("行目 ") + nine + " " +
                            SJIS("］生年月日が未設定です。"))
        << k;
  }
}

TEST(Dependants, IndividualNumbersOnlyWhenAskedFor) {
  DataSetBuilder data(600001);
  data.AddEmployee(1, "0001", "扶養者");
  data.AddFamily(1, 1, 1, "長男")["MNum"] = EncodeStoredValue("987654321098");
  EXPECT_EQ(RunExtraction(data, 1).q().Text(Dependant(1, "SIKIBETU_CODE")), "987654321098");
  EXPECT_EQ(RunExtraction(data, 0).q().Text(Dependant(1, "SIKIBETU_CODE")), "");
  EXPECT_EQ(RunExtraction(data, 1).q().Text(Dependant(1, "FURIGANA")), "");
}

TEST(Dependants, NoRowsGiveAnEmptySection) {
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0001", "独身");
  auto r = RunExtraction(data);
  EXPECT_EQ(r.result, TNenchoDataMake::kWritten);
  EXPECT_TRUE(r.q().Children(Section(1, "KIHON_JOUHOU/KAZOKU_JOUHOU")).empty());
}

}  // namespace
}  // namespace nc16::test
