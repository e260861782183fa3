// Whole documents, one per band of data versions, compared byte for byte with the expected files
// in golden/. Set NC16_UPDATE_GOLDEN=1 to rewrite them after a deliberate change, then review the
// difference by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "document/DataExportInfo.h"
#include "external/vnprotect/VnProtect.h"
#include "tests/extract/ExtractFixture.h"

namespace nc16::test {
namespace {

// Three employees that between them take most branches of the sections.
DataSetBuilder RichDataSet(int version) {
  DataSetBuilder data(version);
  auto a = data.AddEmployee(1, "0001", "山田　太郎");
  a.syain["SyainKN"] = SJIS("ﾔﾏﾀﾞ ﾀﾛｳ");
  a.syain["Yubin"] = std::string("100-0001");
  a.syain["Addr1"] = SJIS("東京都千代田区千代田1-1");
  a.syain["Addr2"] = SJIS("A&B <ビル> \"5F\" 'x'");
  a.syain["MNum"] = EncodeStoredValue("123456789012");
  a.syain["MailAddress"] = std::string("yamada@example.jp");
  a.syain["ZensyokuFlg"] = true;
  a.syain["ZenKaisyaNM"] = SJIS("前職商事");
  a.syain["ZenAddress"] = SJIS("大阪府大阪市");
  a.syain["ZenTaisyoku"] = demo::DateValue(2024, 3, 31);
  a.syain["ZenSyunyu"] = 1200000.0;
  a.syain["ZenSyaho"] = 180000.5;
  a.syain["ZenSyotoku"] = 35000.0;
  a.syain["RSDate"] = demo::DateValue(2020, 6, 1);
  a.syain["JyutakuKariireKbn1"] = int64_t{1};
  a.syain["JyutakuKariireZan1"] = 30000000.0;
  a.syain["JyutakuKoujyoCnt"] = int64_t{1};
  a.fuyou["HaiguKbn"] = true;
  a.fuyou["KojoHaiguKbn"] = true;
  a.nencho["KazeiKyuyo"] = 4800000.0;
  a.nencho["KazeiSyoyo"] = 1000000.0;
  a.nencho["KazeiZensyoku"] = 1200000.0;
  a.nencho["GensenKyuyo"] = 120000.0;
  a.nencho["GensenSyoyo"] = 40000.0;
  a.nencho["GensenZensyoku"] = 35000.0;
  a.nencho["SyahoKyuyo"] = 700000.0;
  a.nencho["SyahoSyoyo"] = 150000.0;
  a.nencho["ISeimeiHoken"] = 40000.0;
  a.nencho["ISeimeiHoken2"] = 20000.0;
  a.nencho["KaigoHoken"] = 10000.0;
  a.nencho["JyutakuKoujyo"] = 210000.0;
  a.nencho["HaiguSyotoku"] = 480000.0;
  a.nencho["TukinSeisanKin"] = 150000.0;
  a.nencho["TukinSeisan"] = SJIS("電車通勤");
  a.hoken["HaigusyaKN"] = SJIS("ﾔﾏﾀﾞ ﾊﾅｺ");
  a.fkoujo["SetaiSimei"] = SJIS("山田　太郎");
  a.fkoujo["Zokugara"] = SJIS("本人");
  Row& spouse = data.AddFamily(1, 0, 1, "山田　花子");
  spouse["Kana"] = SJIS("ﾔﾏﾀﾞ ﾊﾅｺ");
  spouse["MNum"] = EncodeStoredValue("210987654321");
  spouse["BirthDay"] = demo::DateValue(1982, 7, 7);
  Row& child = data.AddFamily(1, 1, 1, "山田　一郎");
  child["Zokugara"] = SJIS("長男");
  child["FuyoKbn"] = int64_t{2};
  child["MNum"] = EncodeStoredValue("111122223333");
  Row& parent = data.AddFamily(1, 1, 2, "山田　次郎");
  parent["Zokugara"] = SJIS("父");
  parent["SyogaiKbn"] = int64_t{1};
  parent["DokyoKbn"] = int64_t{1};
  parent["BirthDay"] = demo::DateValue(1950, 1, 1);
  parent["FuyoKbn"] = int64_t{3};
  for (int m = 1; m <= 12; ++m) {
    Row& p = data.AddPayment(1, 0, m, 0, 400000.0);
    p["SyahoKoujyo"] = 58333.33;
    p["FuyouSu"] = int64_t{2};
    p["CalcZeigaku"] = 10000.0;
  }
  data.AddPayment(1, 1, 1, 0, 500000.0)["CalcZeigaku"] = 20000.0;
  data.AddPayment(1, 1, 2, 0, 500000.0)["CalcZeigaku"] = 20000.0;

  auto b = data.AddEmployee(2, "0002", "鈴木　次郎");
  b.syain["Sex"] = int64_t{1};
  b.syain["SyugyoKbn"] = int64_t{1};
  b.syain["TaisyokuDay"] = demo::DateValue(2024, 9, 30);
  b.syain["GensenKbn"] = int64_t{1};
  b.syain["ChosyuKbn"] = int64_t{1};
  b.syain["NenchoSyori"] = int64_t{6};
  b.nencho["InputFlg"] = false;
  data.AddPayment(2, 0, 1, 0, 200000.0)["CalcZeigaku"] = 5000.0;
  data.AddPayment(2, 0, 1, 1, 210000.0)["CalcZeigaku"] = 5100.0;

  data.Department(2) = {{"SearchKey", int64_t{2}},        {"BumonLevel", int64_t{1}},
                        {"BumonCD1", std::string("200")}, {"BumonCD2", std::string("210")},
                        {"BumonNM1", SJIS("営業部")},     {"BumonNM2", SJIS("営業一課")}};
  data.Municipality(2) = {{"SearchKey", int64_t{2}},
                          {"SichousonCode", std::string("141305")},
                          {"SichousonMei", SJIS("川崎市中原区")}};
  auto c = data.AddEmployee(3, "0003", "佐藤　三郎");
  c.syain["Bumon"] = int64_t{2};
  c.syain["Town"] = int64_t{2};
  c.syain["NenchoSyori"] = int64_t{1};
  c.fuyou["KafuKbn"] = true;
  c.fuyou["GakuseiKbn"] = true;
  c.nencho["KazeiSyoyo"] = 300000.5;
  data.AddPayment(3, 1, 1, 0, 300000.5)["CalcZeigaku"] = 9000.0;
  return data;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Golden : public ::testing::TestWithParam<int> {};

TEST_P(Golden, DocumentMatchesTheExpectedFile) {
  const int version = GetParam();
  auto r = RunExtraction(RichDataSet(version), 1);
  ASSERT_EQ(r.result, TNenchoDataMake::kWritten);
  auto file = std::filesystem::path(NC16_SOURCE_DIR) / "tests/extract/golden" /
              ("version-" + std::to_string(version) + ".xml");
  if (const char* update = std::getenv("NC16_UPDATE_GOLDEN"); update && *update == '1') {
    std::ofstream(file, std::ios::binary) << r.xml;
    GTEST_SKIP() << "rewrote " << file;
  }
  const std::string expected = ReadFile(file);
  if (r.xml != expected) {
    size_t at = std::mismatch(r.xml.begin(), r.xml.end(), expected.begin(), expected.end()).first -
                r.xml.begin();
    ADD_FAILURE() << "differs from " << file << " at byte " << at << ": got \""
                  << Cp932ToUtf8(r.xml.substr(at > 40 ? at - 40 : 0, 120)) << "\"";
  }
}

// One data version of each band in which the written elements differ.
INSTANTIATE_TEST_SUITE_P(Bands, Golden,
                         ::testing::Values(300002, 400003, 500002, 600001, 700001, 700005));

}  // namespace
}  // namespace nc16::test
