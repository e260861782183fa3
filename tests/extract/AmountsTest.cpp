// The deductions section KOUJOGAKU_JOUHOU, the payments KYUUYO and SYOUYO, and the totals GOUKEI.

#include <gtest/gtest.h>

#include "tests/extract/ExtractFixture.h"

namespace nc16::test {
namespace {

std::string Deduction(const std::string& element, int employee = 1) {
  return Section(employee, "KIHON_JOUHOU/KOUJOGAKU_JOUHOU/" + element);
}
std::string Payments(int employee = 1) {
  return Section(employee, "KYUUYOSYOUYO_JOUHOU");
}
std::string Total(const std::string& element, int employee = 1) {
  return Section(employee, "KYUUYOSYOUYO_JOUHOU/GOUKEI/" + element);
}

TEST(Deductions, ElementsByDataVersion) {
  DataSetBuilder old(300002);
  old.AddEmployee(1, "0001", "旧");
  auto r = RunExtraction(old);
  EXPECT_EQ(r.q().Children(Section(1, "KIHON_JOUHOU/KOUJOGAKU_JOUHOU")),
            (std::vector<std::string>{
                "SYAHOKOUJO_KYUUYO", "SYAHO_KOUJOBUN", "KOKUMINNNENKINHOKENRYOU",
                "SYAHO_SYOUKIBOKYOUSAI", "SEIHO_IPPAN", "SEIHO_KOJIN", "JISINHOKEN", "SONPO_TYOUKI",
                "JUUTAKU_TOKUBETUKOUJO", "JUUTAKU_TEKIYOUSUU", "TOKUBETUGENZEI"}));

  DataSetBuilder v300003(300003);
  auto e = v300003.AddEmployee(1, "0001", "新");
  e.syain["RSDate"] = demo::DateValue(1989, 1, 8);
  e.syain["RSDate2"] = demo::DateValue(1989, 1, 7);
  e.syain["JyutakuKariireKbn1"] = int64_t{4};
  e.syain["JyutakuKariireKbn2"] = int64_t{5};
  r = RunExtraction(v300003);
  EXPECT_EQ(
      r.q().Children(Section(1, "KIHON_JOUHOU/KOUJOGAKU_JOUHOU")),
      (std::vector<std::string>{
          "SYAHOKOUJO_KYUUYO", "SYAHO_KOUJOBUN", "KOKUMINNNENKINHOKENRYOU", "SYAHO_SYOUKIBOKYOUSAI",
          "SEIHO_IPPAN_H24IKOU", "SEIHO_IPPAN", "SEIHO_KAIGO", "SEIHO_KOJIN_H24IKOU", "SEIHO_KOJIN",
          "JISINHOKEN", "SONPO_TYOUKI", "JUUTAKU_TOKUBETUKOUJO", "JUUTAKU_TEKIYOUSUU",
          "JUUTAKU_KYOJUUNENGAPPI_1", "JUUTAKU_KOUJOKUBUN_1", "TOKUBETUGENZEI"}));
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_KYOJUUNENGAPPI_1")), "19890108");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_KOUJOKUBUN_1")), "4");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_TEKIYOUSUU")), "");

  DataSetBuilder current(700001);
  auto c = current.AddEmployee(1, "0001", "今");
  c.syain["JyutakuKariireZan1"] = 25000000.0;
  c.syain["JyutakuTokutei1"] = true;
  c.syain["JyutakuKariireKbn1"] = int64_t{0};
  c.syain["JyutakuKariireKbn2"] = int64_t{-1};
  r = RunExtraction(current);
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_TEKIYOUSUU")), "0");  // null count
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_KARIIREGAKU_1")), "25000000");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_KARIIREGAKU_2")), "");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_TOKUTEI_1")), "1");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_TOKUTEI_2")), "0");
  EXPECT_EQ(r.q().Text(Deduction("JUUTAKU_KOUJOKUBUN_1")), "0");
  EXPECT_EQ(r.q().Count(Deduction("JUUTAKU_KOUJOKUBUN_2")), 0u);
  EXPECT_EQ(r.q().Count(Deduction("JUUTAKU_KYOJUUNENGAPPI_1")), 0u);
}

TEST(Deductions, SumsAndInputFlag) {
  DataSetBuilder data(700005);
  auto a = data.AddEmployee(1, "0001", "入力済");
  a.nencho["SyahoKyuyo"] = 100000.25;
  a.nencho["SyahoSyoyo"] = 50000.25;
  a.nencho["SyahoZensyoku"] = 0.0;
  a.nencho["ISeimeiHoken"] = 40000.0;
  a.nencho["ISeimeiHoken2"] = 30000.0;
  a.nencho["GenzeiKyuyo"] = 1000.5;
  a.nencho["GenzeiSyoyo"] = -0.25;
  auto b = data.AddEmployee(2, "0002", "未入力");
  b.nencho["InputFlg"] = false;
  b.nencho["SyahoKyuyo"] = 5.0;
  auto c = data.AddEmployee(3, "0003", "ゼロ");
  c.nencho["SyahoSinkoku"] = 0.0;
  auto r = RunExtraction(data);
  // The sum is formed before rounding: 150000.5 rounds away from zero.
  EXPECT_EQ(r.q().Text(Deduction("SYAHOKOUJO_KYUUYO", 1)), "150001");
  EXPECT_EQ(r.q().Text(Deduction("SEIHO_IPPAN_H24IKOU", 1)), "40000");
  EXPECT_EQ(r.q().Text(Deduction("SEIHO_IPPAN", 1)), "30000");
  EXPECT_EQ(r.q().Text(Deduction("TOKUBETUGENZEI", 1)), "1000");
  EXPECT_EQ(r.q().Text(Deduction("SYAHOKOUJO_KYUUYO", 2)), "");
  EXPECT_EQ(r.q().Text(Deduction("SYAHOKOUJO_KYUUYO", 3)), "0");
  EXPECT_EQ(r.q().Text(Deduction("SYAHO_KOUJOBUN", 3)), "");
}

TEST(Payments, SalaryAndBonusRows) {
  DataSetBuilder data(700005);
  auto a = data.AddEmployee(1, "0001", "給与");
  a.syain["NenchoSyori"] = int64_t{0};
  for (int m : {1, 2, 3, 4, 5, 7, 12}) {
    Row& p = data.AddPayment(1, 0, m, 0, 300000.0 + m);
    p["CalcZeigaku"] = 7000.0;
    p["SyahoKoujyo"] = 45000.5;
  }
  data.AddPayment(1, 0, 3, 1, 999.0)["FuyouSu"] = int64_t{2};  // InputKbn 1 wins
  data.AddPayment(1, 0, 13, 0, 1.0);                           // never written
  data.AddPayment(1, 0, 6, 2, 1.0);                            // InputKbn 2: never written
  data.AddPayment(1, 1, 2, 0, 500000.0)["CalcZeigaku"] = 20000.0;
  data.AddPayment(1, 1, 5, 0, 1.0);
  auto b = data.AddEmployee(2, "0002", "賞与調整");
  b.syain["NenchoSyori"] = int64_t{2};
  data.AddPayment(2, 0, 12, 0, 1.0)["CalcZeigaku"] = 300.0;
  data.AddPayment(2, 1, 2, 0, 1.0)["CalcZeigaku"] = 400.0;
  data.AddEmployee(3, "0003", "なし");

  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Children(Payments(1)),
            (std::vector<std::string>{"KYUUYO", "KYUUYO", "KYUUYO", "KYUUYO", "KYUUYO", "KYUUYO",
                                      "KYUUYO", "SYOUYO", "GOUKEI"}));
  std::vector<std::string> kubun;
  for (auto* n : r.q().Nodes(Payments(1) + "/KYUUYO/@KUBUN")) {
    xmlChar* s = xmlNodeGetContent(n);
    kubun.emplace_back(reinterpret_cast<const char*>(s));
    xmlFree(s);
  }
  EXPECT_EQ(kubun, (std::vector<std::string>{"1", "2", "3", "4", "5", "7", "12"}));
  const std::string third = Payments(1) + "/KYUUYO[@KUBUN='3']/";
  EXPECT_EQ(r.q().Text(third + "SOUSIKYUUGAKU"), "999");
  EXPECT_EQ(r.q().Text(third + "FUYOUSINZOKUSUU"), "2");
  EXPECT_EQ(r.q().Text(third + "HOKENKOUJOGAKU"), "0");
  EXPECT_EQ(r.q().Children(Payments(1) + "/KYUUYO[1]"),
            (std::vector<std::string>{"SOUSIKYUUGAKU", "HOKENKOUJOGAKU", "FUYOUSINZOKUSUU",
                                      "SANSYUTUZEIGAKU"}));
  EXPECT_EQ(r.q().Text(Payments(1) + "/KYUUYO[1]/HOKENKOUJOGAKU"), "45001");
  EXPECT_EQ(r.q().Text(Payments(1) + "/KYUUYO[1]/FUYOUSINZOKUSUU"), "0");
  EXPECT_EQ(r.q().Text(Payments(1) + "/KYUUYO[1]/SANSYUTUZEIGAKU"), "7000");
  // NenchoSyori 0: salary 12 carries the year-end adjustment.
  EXPECT_EQ(r.q().Text(Payments(1) + "/KYUUYO[@KUBUN='12']/SANSYUTUZEIGAKU"), "0");
  EXPECT_EQ(r.q().Text(Payments(1) + "/SYOUYO[@KUBUN='2']/SANSYUTUZEIGAKU"), "20000");
  // NenchoSyori 2: bonus 2 carries it, salary 12 keeps its tax.
  EXPECT_EQ(r.q().Text(Payments(2) + "/KYUUYO[@KUBUN='12']/SANSYUTUZEIGAKU"), "300");
  EXPECT_EQ(r.q().Text(Payments(2) + "/SYOUYO[@KUBUN='2']/SANSYUTUZEIGAKU"), "0");
  EXPECT_EQ(r.q().Children(Payments(3)), std::vector<std::string>{"GOUKEI"});
}

TEST(Totals, InputFlagSumsAndRounding) {
  DataSetBuilder data(700005);
  auto a = data.AddEmployee(1, "0001", "前職のみ");
  a.nencho["KazeiZensyoku"] = 1000.0;
  auto b = data.AddEmployee(2, "0002", "未入力");
  b.nencho["InputFlg"] = false;
  b.nencho["KazeiKyuyo"] = 10.0;
  auto c = data.AddEmployee(3, "0003", "端数");
  c.nencho["KazeiKyuyo"] = 2.5;
  c.nencho["GensenKyuyo"] = -2.5;
  c.nencho["KazeiSyoyo"] = 0.25;
  c.nencho["GensenSyoyo"] = 0.25;
  c.nencho["GensenZensyoku"] = -0.5;
  auto r = RunExtraction(data);
  EXPECT_EQ(r.q().Text(Total("KYUUYO_SOUSIKYUUGAKU_GOUKEI", 1)), "0");
  EXPECT_EQ(r.q().Text(Total("SYOUYO_SANSYUTUZEIGAKU_GOUKEI", 1)), "0");
  EXPECT_EQ(r.q().Text(Total("SOUSIKYUUGAKU_GOUKEI", 1)), "1000");
  EXPECT_EQ(r.q().Children(Section(2, "KYUUYOSYOUYO_JOUHOU/GOUKEI")).size(), 6u);
  EXPECT_EQ(r.q().Text(Total("KYUUYO_SOUSIKYUUGAKU_GOUKEI", 2)), "");
  EXPECT_EQ(r.q().Text(Total("KYUUYO_SOUSIKYUUGAKU_GOUKEI", 3)), "3");
  EXPECT_EQ(r.q().Text(Total("KYUUYO_SANSYUTUZEIGAKU_GOUKEI", 3)), "-3");
  EXPECT_EQ(r.q().Text(Total("SYOUYO_SOUSIKYUUGAKU_GOUKEI", 3)), "0");
  EXPECT_EQ(r.q().Text(Total("SOUSIKYUUGAKU_GOUKEI", 3)), "3");     // 2.75 rounds once
  EXPECT_EQ(r.q().Text(Total("SANSYUTUZEIGAKU_GOUKEI", 3)), "-3");  // -2.75
}

}  // namespace
}  // namespace nc16::test
