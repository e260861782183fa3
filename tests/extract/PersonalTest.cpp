// The personal section HONNNIN_JOUHOU.

#include <gtest/gtest.h>

#include "external/vnprotect/VnProtect.h"
#include "tests/extract/ExtractFixture.h"

namespace nc16::test {
namespace {

TEST(Personal, ChildrenInOrderForACurrentEmployee) {
  DataSetBuilder data(700005);
  auto e = data.AddEmployee(1, "0001", "山田太郎");
  e.syain["Yubin"] = std::string("123-4567");
  e.syain["Addr1"] = SJIS("東京都千代田区");
  e.syain["MailAddress"] = std::string("taro@example.jp");
  e.fkoujo["SetaiSimei"] = SJIS("山田太郎");
  e.fkoujo["Zokugara"] = SJIS("本人");
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Children(Section(1, "KIHON_JOUHOU/HONNNIN_JOUHOU")),
            (std::vector<std::string>{"SIKIBETU_CODE",
                                      "SYOZOKU_CODE",
                                      "SYOZOKU_NAME",
                                      "FURIGANA",
                                      "SEINENGAPPI",
                                      "SEIBETU",
                                      "YUUBINBANGOU_1",
                                      "YUUBINBANGOU_2",
                                      "JUUSYO_1",
                                      "JUUSYO_2",
                                      "MAIL",
                                      "SETAINUSI",
                                      "ZOKUGARA",
                                      "YAKUSYOKU",
                                      "HOUJINYAKUIN",
                                      "GENKYOU",
                                      "NYUUSYANENGAPPI",
                                      "TAISYOKUNENGAPPI",
                                      "NOUFUSAKI_CODE",
                                      "NOUFUSAKI_NAME",
                                      "NOUFUSAKI_TAISYOKUKYUUHOU",
                                      "NENTYOU",
                                      "KOUOTU",
                                      "FUYOUKOUJOSINKOKU",
                                      "CHOUSYUUHOUHOU",
                                      "JOUYAKUMENJO",
                                      "AOIROSENJUUSYA",
                                      "SYOUGAISYA",
                                      "KAFU",
                                      "TOKUBETUKAFU",
                                      "KINROUGAKUSEI",
                                      "SAIGAISYA",
                                      "GAIKOKUJIN",
                                      "ZENSYOKU_KINMUSAKI",
                                      "ZENSYOKU_KOKUGAI",
                                      "ZENSYOKU_KINMUSAKIJUUSYO",
                                      "ZENSYOKU_TAISYOKUNENGAPPI",
                                      "ZENSYOKU_SOUSIKYUUGAKU",
                                      "ZENSYOKU_HOKENKOUJOGAKU",
                                      "ZENSYOKU_SANSYUTUZEIGAKU",
                                      "HIKAZEITSUUKINTEATE",
                                      "HIKAZEITSUUKINTEATEKONKYO"}));
  EXPECT_EQ(r.q().Text(Personal("SYOZOKU_CODE")), "100");
  EXPECT_EQ(r.q().Text(Personal("SYOZOKU_NAME")), "総務部");
  EXPECT_EQ(r.q().Text(Personal("SEINENGAPPI")), "19800401");
  EXPECT_EQ(r.q().Text(Personal("SEIBETU")), "1");
  EXPECT_EQ(r.q().Text(Personal("YUUBINBANGOU_1")), "123");
  EXPECT_EQ(r.q().Text(Personal("YUUBINBANGOU_2")), "4567");
  EXPECT_EQ(r.q().Text(Personal("JUUSYO_1")), "東京都千代田区");
  EXPECT_EQ(r.q().Text(Personal("MAIL")), "taro@example.jp");
  EXPECT_EQ(r.q().Text(Personal("SETAINUSI")), "山田太郎");
  EXPECT_EQ(r.q().Text(Personal("ZOKUGARA")), "本人");
  EXPECT_EQ(r.q().Text(Personal("YAKUSYOKU")), "部長");
  EXPECT_EQ(r.q().Text(Personal("GENKYOU")), "1");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_CODE")), "131016");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_NAME")), "千代田区");
  EXPECT_EQ(r.q().Text(Personal("CHOUSYUUHOUHOU")), "1");
}

TEST(Personal, DepartmentLevelAndEmploymentStatus) {
  DataSetBuilder data(700005);
  data.Department(2) = {
      {"SearchKey", int64_t{2}}, {"BumonLevel", int64_t{4}}, {"BumonCD1", std::string("X")}};
  data.Department(3) = {{"SearchKey", int64_t{3}},
                        {"BumonLevel", int64_t{3}},
                        {"BumonCD4", std::string("D4")},
                        {"BumonNM4", SJIS("課")}};
  auto a = data.AddEmployee(1, "0001", "レベル4");
  a.syain["Bumon"] = int64_t{2};
  a.syain["SyugyoKbn"] = int64_t{7};
  a.syain["TaisyokuDay"] = demo::DateValue(2024, 3, 31);
  auto b = data.AddEmployee(2, "0002", "退職");
  b.syain["Bumon"] = int64_t{3};
  b.syain["SyugyoKbn"] = int64_t{5};
  b.syain["TaisyokuDay"] = demo::DateValue(2024, 3, 31);
  auto c = data.AddEmployee(3, "0003", "在職");
  c.syain["TaisyokuDay"] = demo::DateValue(2024, 3, 31);
  auto r = RunExtraction(data);
  // Level 4: no department elements, FURIGANA follows SIKIBETU_CODE.
  auto children = r.q().Children(Section(1, "KIHON_JOUHOU/HONNNIN_JOUHOU"));
  EXPECT_EQ(children[1], "FURIGANA");
  EXPECT_EQ(r.q().Count(Personal("GENKYOU", 1)), 0u);
  EXPECT_EQ(r.q().Text(Personal("TAISYOKUNENGAPPI", 1)), "");
  EXPECT_EQ(r.q().Text(Personal("SYOZOKU_CODE", 2)), "D4");
  EXPECT_EQ(r.q().Text(Personal("SYOZOKU_NAME", 2)), "課");
  EXPECT_EQ(r.q().Text(Personal("GENKYOU", 2)), "3");
  EXPECT_EQ(r.q().Text(Personal("TAISYOKUNENGAPPI", 2)), "20240331");
  EXPECT_EQ(r.q().Text(Personal("TAISYOKUNENGAPPI", 3)), "");
}

TEST(Personal, DesignatedCitiesAndMunicipalities) {
  DataSetBuilder data(700005);
  struct Case {
    const char* code;
    const char* name;
    const char* expected_code;
    const char* expected_name;
  };
  const Case cases[] = {
      {"141305", "川崎市中原区", "14130", "川崎市"},
      {"141003", "横浜市鶴見区", "14100", "横浜市"},
      {"141500", "相模原市", "14150", "相模原市"},
      {"271403", "堺市北区", "27140", "堺市"},
      {"401307", "福岡市中央区", "40130", "福岡市"},
      {"401005", "北九州市", "40100", "北九州市"},
      {"0110006", "札幌市", "01100", "札幌市"},
      {"\xE3\x80\x80"
       "131016",
       "千代田区", "131016", "千代田区"},  // leading full-width blank
      {"1310167", "千代田区", "131016", "千代田区"},
  };
  int64_t key = 1;
  for (const Case& c : cases) {
    data.Municipality(key + 10) = {
        {"SearchKey", key + 10}, {"SichousonCode", SJIS(c.code)}, {"SichousonMei", SJIS(c.name)}};
    data.AddEmployee(key, 'C' + std::to_string(key), "市町村").syain["Town"] = key + 10;
    ++key;
  }
  auto zero = data.AddEmployee(key, "Z", "町村なし");
  zero.syain["Town"] = int64_t{0};
  data.Municipality(0) = {{"SearchKey", int64_t{0}}, {"SichousonCode", std::string("131016")}};
  auto r = RunExtraction(data);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(cases[i].code);
    EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_CODE", i + 1)), cases[i].expected_code);
    EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_NAME", i + 1)), cases[i].expected_name);
  }
  // Trimmed before the look-up, then the first six characters of the trimmed code.
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_CODE", 8)), "131016");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_CODE", 9)), "131016");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_NAME", 9)), "千代田区");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_CODE", 10)), "");
  EXPECT_EQ(r.q().Text(Personal("NOUFUSAKI_NAME", 10)), "");
}

// Postal codes and the municipality code are cut at byte counts; a double-byte character that
// would straddle the end of a cut is left out, so the file stays valid Shift_JIS.
TEST(Personal, PostalAndMunicipalityCodesCutAtWholeCharacters) {
  struct Case {
    std::string yubin, code;  // CP932
    std::string yubin1, yubin2, code6;
  };
  const std::string fw_hyphen = SJIS("－");
  // Yubin holds 8 bytes, SichousonCode 10.
  const std::vector<Case> cases = {
      {"123-4567", "131016", "123", "4567", "131016"},  // as by bytes
      {SJIS("１２３－"), SJIS("13101表"), SJIS("１"), SJIS("３－"), "13101"},
      // A character that holds bytes 4 and 5 is the one character that ends after the skipped
      // fourth byte: it is taken whole.
      {"123" + fw_hyphen + "456", "13101\x87\x40", "123", fw_hyphen + "456", "13101"},
      {"12\xFA\x40" + std::string("4567"), "13101\xFA\x40", "12", "4567", "13101"},
      {"12\xEE\xE0" + std::string("4567"), "1310\xEE\xE0", "12", "4567", "1310\xEE\xE0"},
      {"1\xF0\x40\xF0\x40\xF0\x40" + std::string("1"), "13101\xF9\xFC", "1\xF0\x40",
       "\xF0\x40\xF0\x40" + std::string("1"), "13101"},
  };
  DataSetBuilder data(700005);
  int64_t key = 1;
  for (const Case& c : cases) {
    data.Municipality(key + 10) = {
        {"SearchKey", key + 10}, {"SichousonCode", c.code}, {"SichousonMei", SJIS("区")}};
    auto e = data.AddEmployee(key, 'C' + std::to_string(key), "郵便");
    e.syain["Town"] = key + 10;
    e.syain["Yubin"] = c.yubin;
    ++key;
  }
  auto r = RunExtraction(data);
  EXPECT_TRUE(IsValidCp932(r.xml));
  const auto yubin1 = r.RawTexts("YUUBINBANGOU_1"), yubin2 = r.RawTexts("YUUBINBANGOU_2"),
             code6 = r.RawTexts("NOUFUSAKI_CODE");
  ASSERT_EQ(yubin1.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(yubin1[i], cases[i].yubin1);
    EXPECT_EQ(yubin2[i], cases[i].yubin2);
    EXPECT_EQ(code6[i], cases[i].code6);
  }
}

TEST(Personal, IndividualNumberByVersionAndOption) {
  const std::string number = "123456789012";
  for (int version : {600000, 600001}) {
    DataSetBuilder data(version);
    data.AddEmployee(1, "0001", "番号").syain["MNum"] = EncodeStoredValue(number);
    for (int option : {0, 1}) {
      SCOPED_TRACE(std::to_string(version) + " option " + std::to_string(option));
      auto r = RunExtraction(data, option);
      EXPECT_EQ(r.q().Text(Personal("SIKIBETU_CODE")),
                version >= 600001 && option == 1 ? number : "");
    }
  }
}

TEST(Personal, PreviousEmployerAndCommutingAllowance) {
  DataSetBuilder data(700001);
  auto a = data.AddEmployee(1, "0001", "前職あり");
  a.syain["ZensyokuFlg"] = true;
  a.syain["ZenKaisyaNM"] = SJIS("前の会社");
  a.syain["ZenAddress"] = SJIS("大阪府");
  a.syain["ZenSyunyu"] = 0.0;
  a.syain["ZenSyaho"] = 1234.5;
  a.syain["ZenSyotoku"] = -2.5;
  a.nencho["TukinSeisanKin"] = 0.0;
  a.nencho["TukinSeisan"] = SJIS("　電車通勤のための非課税通勤手当の根拠です");
  data.AddEmployee(2, "0002", "前職なし");
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_KINMUSAKI")), "前の会社");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_KINMUSAKIJUUSYO")), "大阪府");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_TAISYOKUNENGAPPI")), "");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_SOUSIKYUUGAKU")), "0");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_HOKENKOUJOGAKU")), "1235");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_SANSYUTUZEIGAKU")), "-3");
  EXPECT_EQ(r.q().Text(Personal("HIKAZEITSUUKINTEATE")), "");
  // Trimmed, then at most 24 bytes in whole characters.
  EXPECT_EQ(r.q().Text(Personal("HIKAZEITSUUKINTEATEKONKYO")), "電車通勤のための非課税通");
  auto children = r.q().Children(Section(2, "KIHON_JOUHOU/HONNNIN_JOUHOU"));
  auto at = std::find(children.begin(), children.end(), "ZENSYOKU_KINMUSAKI");
  ASSERT_NE(at, children.end());
  EXPECT_EQ(*(at + 1), "ZENSYOKU_KOKUGAI");
  EXPECT_EQ(*(at + 2), "ZENSYOKU_KINMUSAKIJUUSYO");
  EXPECT_EQ(r.q().Text(Personal("ZENSYOKU_SOUSIKYUUGAKU", 2)), "");
}

TEST(Personal, FlagsAndVersionGates) {
  DataSetBuilder data(700000);
  auto e = data.AddEmployee(1, "0001", "区分");
  e.fuyou["KafuKbn"] = true;
  e.fuyou["Kafu"] = int64_t{2};
  e.fuyou["SyogaiKbn"] = true;
  e.fuyou["Syogai"] = int64_t{1};
  e.fuyou["GaijinKbn"] = true;
  e.syain["GensenKbn"] = int64_t{1};
  e.syain["NenchoSyori"] = int64_t{6};
  e.syain["JyugyoinKbn"] = int64_t{1};
  e.syain["Sex"] = int64_t{1};
  e.nencho["TukinSeisanKin"] = 4200.0;
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Text(Personal("KAFU")), "0");
  EXPECT_EQ(r.q().Text(Personal("TOKUBETUKAFU")), "1");
  EXPECT_EQ(r.q().Text(Personal("SYOUGAISYA")), "2");
  EXPECT_EQ(r.q().Text(Personal("GAIKOKUJIN")), "1");
  EXPECT_EQ(r.q().Text(Personal("KOUOTU")), "2");
  EXPECT_EQ(r.q().Text(Personal("FUYOUKOUJOSINKOKU")), "0");
  EXPECT_EQ(r.q().Text(Personal("NENTYOU")), "2");
  EXPECT_EQ(r.q().Text(Personal("HOUJINYAKUIN")), "1");
  EXPECT_EQ(r.q().Text(Personal("SEIBETU")), "2");
  EXPECT_EQ(r.q().Text(Personal("MAIL")), "");  // below 700001
  EXPECT_EQ(r.q().Text(Personal("HIKAZEITSUUKINTEATE")), "4200");
}

TEST(Personal, CollectionMethodBelow300003) {
  DataSetBuilder data(300002);
  data.AddEmployee(1, "0001", "甲").syain["GensenKbn"] = int64_t{0};
  data.AddEmployee(2, "0002", "退職").syain["SyugyoKbn"] = int64_t{2};
  data.AddEmployee(3, "0003", "乙").syain["GensenKbn"] = int64_t{1};
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Text(Personal("CHOUSYUUHOUHOU", 1)), "1");
  EXPECT_EQ(r.q().Text(Personal("CHOUSYUUHOUHOU", 2)), "2");
  EXPECT_EQ(r.q().Text(Personal("CHOUSYUUHOUHOU", 3)), "2");
  EXPECT_EQ(r.q().Text(Personal("SETAINUSI", 1)), "");
  EXPECT_EQ(r.q().Text(Personal("HIKAZEITSUUKINTEATE", 1)), "");
}

}  // namespace
}  // namespace nc16::test
