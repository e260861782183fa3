// The generated data sets run through the real extraction: the main data set exports cleanly at
// every data version, takes the branches it was made for, and the fault data set reports each
// validation error.

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "document/XMLSaveDoc.h"
#include "extract/ErrorList.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"
#include "tests/tools/DemoTestSupport.h"

namespace nc16::demo {
namespace {

struct Extracted {
  int result = 0;
  std::string xml;                  // UTF-8
  std::vector<std::string> errors;  // UTF-8
};

Extracted Extract(const std::string& folder, int my_number_option) {
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  doc.CreateRoot("REPORT", "");
  ErrorList errors;
  Extracted r;
  {
    TNenchoDataMake maker(folder, errors);
    r.result = maker.MakeData(doc, my_number_option);
  }
  r.xml = Cp932ToUtf8(doc.GetXmlText());
  for (const std::string& line : errors.Lines)
    r.errors.push_back(Cp932ToUtf8(line));
  return r;
}

std::multiset<std::string> Values(const std::string& xml, const std::string& tag) {
  std::multiset<std::string> out;
  const std::regex re("<" + tag + "(?:>([^<]*)</" + tag + ">|/>)");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), re); it != std::sregex_iterator();
       ++it)
    out.insert((*it)[1].str());
  return out;
}

size_t Count(const std::string& xml, const std::string& text) {
  size_t n = 0;
  for (size_t p = xml.find(text); p != std::string::npos; p = xml.find(text, p + 1))
    ++n;
  return n;
}

bool Has(const std::multiset<std::string>& values, std::initializer_list<const char*> wanted) {
  for (const char* w : wanted)
    if (!values.count(w)) return false;
  return true;
}

class DemoExportByVersion : public ::testing::TestWithParam<int> {};

TEST_P(DemoExportByVersion, TheMainDataSetExportsCleanlyAndTheOthersAsMeant) {
  const DemoInstallation& inst = test::GeneratedFor(GetParam()).installation;
  const Extracted main = Extract(inst.data_sets[0].folder, 1);
  EXPECT_EQ(main.result, TNenchoDataMake::kWritten);
  EXPECT_EQ(main.errors, std::vector<std::string>{""});
  // Two hand-made employees are left out by the joins.
  EXPECT_EQ(Count(main.xml, "<GOUKEI>"), static_cast<size_t>(test::kTestEmployees - 2));

  EXPECT_EQ(Extract(inst.data_sets[1].folder, 0).result, TNenchoDataMake::kWritten);
  EXPECT_EQ(Extract(inst.data_sets[2].folder, 0).result, TNenchoDataMake::kProblemsFound);
  EXPECT_EQ(Extract(inst.data_sets[3].folder, 0).result, TNenchoDataMake::kNoEmployee);
}

INSTANTIATE_TEST_SUITE_P(DataVersions, DemoExportByVersion,
                         ::testing::Values(20349, 300002, 300003, 500002, 600001, 700001, 700005));

TEST(DemoExport, TheMainDataSetTakesEveryBranch) {
  const DemoInstallation& inst = test::GeneratedFor(700005).installation;
  const Extracted r = Extract(inst.data_sets[0].folder, 1);
  const std::string& x = r.xml;
  const size_t employees = Count(x, "<GOUKEI>");

  EXPECT_NE(x.find("<SYAIN CODE=\"00023\""), std::string::npos);     // trimmed code
  EXPECT_NE(x.find("NAME=\"ﾐﾙﾍﾞｸ　勅使河原\""), std::string::npos);  // 16-byte cut
  EXPECT_TRUE(Has(Values(x, "GENKYOU"), {"1", "2", "3", "4"}));
  EXPECT_EQ(Values(x, "GENKYOU").size(), employees - 1);       // kind 7
  EXPECT_EQ(Values(x, "SYOZOKU_CODE").size(), employees - 1);  // level 4
  EXPECT_TRUE(Has(Values(x, "NOUFUSAKI_CODE"),
                  {"",      "01100", "04100", "11100", "12100", "14130", "14150", "14100",
                   "15100", "22130", "22100", "23100", "26100", "27140", "27100", "28100",
                   "33100", "34100", "40130", "40100", "43100", "131016"}));
  EXPECT_TRUE(Has(Values(x, "NENTYOU"), {"1", "2"}));
  EXPECT_TRUE(Has(Values(x, "KOUOTU"), {"1", "2"}));
  EXPECT_TRUE(Has(Values(x, "SEIBETU"), {"1", "2"}));
  EXPECT_TRUE(Has(Values(x, "HOUJINYAKUIN"), {"0", "1"}));
  EXPECT_TRUE(Has(Values(x, "SYOUGAISYA"), {"0", "1", "2", "3"}));
  EXPECT_TRUE(Has(Values(x, "TOKUBETUKAFU"), {"0", "1"}));
  EXPECT_TRUE(Has(Values(x, "ZENSYOKU_TAISYOKUNENGAPPI"), {"", "20240131"}));
  EXPECT_TRUE(Has(Values(x, "ZENSYOKU_SOUSIKYUUGAKU"), {"", "0", "1234568"}));
  EXPECT_TRUE(Has(Values(x, "HIKAZEITSUUKINTEATE"), {"", "12346"}));
  EXPECT_TRUE(Has(Values(x, "HIKAZEITSUUKINTEATEKONKYO"), {"ﾊﾞｽ・電車通勤（片道４５"}));

  EXPECT_TRUE(Has(Values(x, "HAIGUUSYAUMU"), {"0", "1"}));
  EXPECT_TRUE(Has(Values(x, "HAIGUUSYASYOTOKU"), {"", "0", "1000001"}));
  EXPECT_TRUE(Has(Values(x, "HIKYOJUUSYA"), {"0", "1"}));
  EXPECT_TRUE(Has(Values(x, "FUYOUKUBUN"), {"0", "1", "2", "3", "4"}));
  EXPECT_TRUE(Has(Values(x, "ZOKUGARA"), {"叔父の", "ｵｲの子", "ﾒの長", "義理の"}));
  EXPECT_NE(x.find("<FUYOUSINZOKU COUNT=\"11\">"), std::string::npos);
  EXPECT_NE(x.find("<FUYOUSINZOKU COUNT=\"4\"><SIKIBETU_CODE>"), std::string::npos);

  EXPECT_TRUE(Has(Values(x, "JUUTAKU_KOUJOKUBUN_1"), {"0", "1", "3"}));
  EXPECT_TRUE(Has(Values(x, "JUUTAKU_KOUJOKUBUN_2"), {"2", "4"}));
  const auto moved_in = Values(x, "JUUTAKU_KYOJUUNENGAPPI_1");
  EXPECT_TRUE(Has(moved_in, {"19890108"}));
  EXPECT_FALSE(Has(moved_in, {"19881231"}));
  EXPECT_FALSE(Has(Values(x, "JUUTAKU_KYOJUUNENGAPPI_2"), {"19890107"}));
  EXPECT_TRUE(Has(Values(x, "JUUTAKU_TEKIYOUSUU"), {"0", "1", "2"}));
  EXPECT_TRUE(Has(Values(x, "SYAHOKOUJO_KYUUYO"), {"", "0"}));

  // The year-end adjustment in each bonus 1 to 4 and in salary 12.
  std::set<std::string> adjusted;
  const std::regex bonus(
      "<SYOUYO KUBUN=\"(\\d)\">(?:<[A-Z]+>[^<]*</[A-Z]+>){3}<SANSYUTUZEIGAKU>0<");
  for (auto it = std::sregex_iterator(x.begin(), x.end(), bonus); it != std::sregex_iterator();
       ++it)
    adjusted.insert((*it)[1].str());
  EXPECT_EQ(adjusted, (std::set<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(x.find("<KYUUYO KUBUN=\"13\""), std::string::npos);
  EXPECT_EQ(x.find("<SYOUYO KUBUN=\"5\""), std::string::npos);
  EXPECT_TRUE(Has(Values(x, "SOUSIKYUUGAKU"), {"-12346", "250001", "333333", "111111"}));
  EXPECT_TRUE(Has(Values(x, "FUYOUSINZOKUSUU"), {"0"}));
  EXPECT_TRUE(Has(Values(x, "SOUSIKYUUGAKU_GOUKEI"), {"", "0", "1000"}));

  size_t numbers = 0;
  for (const std::string& code : Values(x, "SIKIBETU_CODE")) {
    if (code.empty()) continue;
    ++numbers;
    EXPECT_TRUE(std::regex_match(code, std::regex("[0-9]{12}"))) << code;
  }
  EXPECT_GT(numbers, employees);
}

TEST(DemoExport, TheFaultDataSetReportsEveryValidationError) {
  const DemoInstallation& inst = test::GeneratedFor(700005).installation;
  const Extracted r = Extract(inst.data_sets[2].folder, 0);
  ASSERT_EQ(r.result, TNenchoDataMake::kProblemsFound);
  std::string text;
  for (const std::string& line : r.errors)
    text += line + "\n";
  auto count = [&](const std::string& s) {
    size_t n = 0;
    for (size_t p = text.find(s); p != std::string::npos; p = text.find(s, p + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(count("    配偶者氏名が未設定です。"), 2u);
  EXPECT_EQ(count("    ［ 2行目 ］扶養親族氏名が未設定です。"), 1u);
  EXPECT_EQ(count("    ［ 2行目                     ］生年月日が未設定です。"), 1u);
  EXPECT_EQ(count("］同居区分が未チェックです。"), 1u);
  EXPECT_EQ(count("    ［ 4行目 伊藤　花子          ］同居区分が未チェックです。"), 1u);
  EXPECT_EQ(count("    ［10行目 ］扶養親族氏名が未設定です。"), 1u);
  EXPECT_EQ(count("    ［11行目 加藤　拓也          ］生年月日が未設定です。"), 1u);
  EXPECT_EQ(count("生年月日が未設定です。"), 3u);
  // Four of the six employees have faults; the clean ones are not listed.
  EXPECT_EQ(count("【"), 4u);
}

}  // namespace
}  // namespace nc16::demo
