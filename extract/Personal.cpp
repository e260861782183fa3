// The personal section HONNNIN_JOUHOU of the current employee.

#include <array>

#include "document/TextUtils.h"
#include "external/vnprotect/VnProtect.h"
#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

// Designated cities: the municipality codes that belong to one, by the code's first three
// characters and, where given, its first four. Rows of one prefix are tried top down, so the
// rows with a sub-prefix stand before the prefix's general row.
struct DesignatedCity {
  std::string_view prefix;
  std::string_view sub_prefix;  // empty: any other
  std::string_view code;
  const char* name_utf8;
};

// clang-format off
constexpr std::array<DesignatedCity, 20> kDesignatedCities{{
    {"011", "",     "01100", "札幌市"},
    {"041", "",     "04100", "仙台市"},
    {"111", "",     "11100", "さいたま市"},
    {"121", "",     "12100", "千葉市"},
    {"141", "1413", "14130", "川崎市"},
    {"141", "1415", "14150", "相模原市"},
    {"141", "",     "14100", "横浜市"},
    {"151", "",     "15100", "新潟市"},
    {"221", "2213", "22130", "浜松市"},
    {"221", "",     "22100", "静岡市"},
    {"231", "",     "23100", "名古屋市"},
    {"261", "",     "26100", "京都市"},
    {"271", "2714", "27140", "堺市"},
    {"271", "",     "27100", "大阪市"},
    {"281", "",     "28100", "神戸市"},
    {"331", "",     "33100", "岡山市"},
    {"341", "",     "34100", "広島市"},
    {"401", "4013", "40130", "福岡市"},
    {"401", "",     "40100", "北九州市"},
    {"431", "",     "43100", "熊本市"},
}};
// clang-format on

const DesignatedCity* FindDesignatedCity(std::string_view code) {
  for (const auto& row : kDesignatedCities) {
    if (code.substr(0, 3) != row.prefix) continue;
    if (row.sub_prefix.empty() || code.substr(0, 4) == row.sub_prefix) return &row;
  }
  return nullptr;
}

}  // namespace

void TNenchoDataMake::WritePersonal(TXmlSaveDoc& doc, int my_number_option) {
  using namespace data_version;
  AddHeading(SJ("  ＜本人情報＞"));
  nodeSection = doc.AddElement(nodeGroup, "HONNNIN_JOUHOU");
  auto text = [&](std::string_view tag, std::string_view value) {
    doc.AddTextElement(nodeSection, tag, value);
  };

  // The individual number: decoded only for an export with individual numbers, from the data
  // version that stores them.
  std::string my_number;
  if (Version() >= kMyNumber) {
    std::string stored = Emp("MNum").AsString();
    if (!stored.empty() && my_number_option == 1) my_number = DecodeStoredValue(stored);
  }
  text("SIKIBETU_CODE", my_number);

  // The department at the level the employee belongs to; a level outside the four writes
  // neither element.
  int level = Emp("BumonLevel").AsInteger();
  if (level >= 0 && level <= 3) {
    std::string n = std::to_string(level + 1);
    text("SYOZOKU_CODE", Emp("BumonCD" + n).AsString());
    text("SYOZOKU_NAME", Emp("BumonNM" + n).AsString());
  }

  text("FURIGANA", Emp("SyainKN").AsString());
  text("SEINENGAPPI", FormatDate(Emp("BirthDay").AsDateTime()));
  text("SEIBETU", Emp("Sex").AsInteger() == 0 ? "1" : "2");
  std::string yubin = Emp("Yubin").AsString();
  // Cut at whole characters: full-width digits are common here, and half a character would
  // make the whole file invalid Shift_JIS.
  text("YUUBINBANGOU_1", CopyWholeChars(yubin, 1, 3));
  text("YUUBINBANGOU_2", CopyWholeChars(yubin, 5, 8));
  text("JUUSYO_1", Emp("Addr1").AsString());
  text("JUUSYO_2", Emp("Addr2").AsString());
  text("MAIL", Version() >= kV700001 ? Emp("MailAddress").AsString() : std::string());
  text("SETAINUSI", Version() >= kV500002 ? Emp("SetaiSimei").AsString() : std::string());
  text("ZOKUGARA", Version() >= kV500002 ? Emp("Zokugara").AsString() : std::string());
  text("YAKUSYOKU", Emp("PostNM").AsString());
  int jyugyoin = Emp("JyugyoinKbn").AsInteger();
  text("HOUJINYAKUIN", jyugyoin == 0 || jyugyoin == 1 ? "1" : "0");

  // The employment status in the importing product's codes (a status it has no code for writes
  // no element); a retirement date counts only for the statuses of having left (1, 2, 5).
  int syugyo = Emp("SyugyoKbn").AsInteger();
  switch (syugyo) {
    case 0:
      text("GENKYOU", "1");
      break;
    case 1:
    case 2:
      text("GENKYOU", "2");
      break;
    case 5:
      text("GENKYOU", "3");
      break;
    case 3:
    case 4:
    case 6:
      text("GENKYOU", "4");
      break;
    default:
      break;
  }
  bool retired = syugyo == 1 || syugyo == 2 || syugyo == 5;
  text("NYUUSYANENGAPPI", FormatDate(Emp("NyusyaDay").AsDateTime()));
  text("TAISYOKUNENGAPPI", retired ? FormatDate(Emp("TaisyokuDay").AsDateTime()) : std::string());

  // The municipality that receives the resident tax: a designated city's own code and name,
  // else the first six characters of the code and the stored name.
  if (Emp("Town").AsInteger() <= 0) {
    text("NOUFUSAKI_CODE", "");
    text("NOUFUSAKI_NAME", "");
  } else {
    std::string code = TrimBlanks(Emp("SichousonCode").AsString());
    if (const DesignatedCity* city = FindDesignatedCity(code)) {
      text("NOUFUSAKI_CODE", city->code);
      text("NOUFUSAKI_NAME", Utf8ToCp932(city->name_utf8));
    } else {
      text("NOUFUSAKI_CODE", CopyWholeChars(code, 1, 6));
      text("NOUFUSAKI_NAME", Emp("SichousonMei").AsString());
    }
  }
  text("NOUFUSAKI_TAISYOKUKYUUHOU", "");

  // The tax classification; below data version 300003 the collection method follows from the
  // withholding column and the employment status.
  text("NENTYOU", Emp("NenchoSyori").AsInteger() == 6 ? "2" : "1");
  int gensen = Emp("GensenKbn").AsInteger();
  text("KOUOTU", gensen == 0 ? "1" : "2");
  text("FUYOUKOUJOSINKOKU", gensen == 0 ? "1" : "0");
  if (Version() >= kV300003) {
    text("CHOUSYUUHOUHOU", Emp("ChosyuKbn").AsInteger() == 0 ? "1" : "2");
  } else {
    text("CHOUSYUUHOUHOU", gensen != 0 || retired ? "2" : "1");
  }
  text("JOUYAKUMENJO", "0");
  text("AOIROSENJUUSYA", "0");

  // The employee's own deduction categories.
  bool syogai = Emp("SyogaiKbn").AsBoolean();
  text("SYOUGAISYA", !syogai ? "0" : Emp("Syogai").AsInteger() == 0 ? "1" : "2");
  bool kafu = Emp("KafuKbn").AsBoolean();
  int kafu_kind = Emp("Kafu").AsInteger();
  text("KAFU", kafu && kafu_kind == 0 ? "1" : "0");
  text("TOKUBETUKAFU", kafu && kafu_kind != 0 ? "1" : "0");
  text("KINROUGAKUSEI", Emp("GakuseiKbn").AsBoolean() ? "1" : "0");
  text("SAIGAISYA", Emp("SaigaiKbn").AsBoolean() ? "1" : "0");
  text("GAIKOKUJIN", Emp("GaijinKbn").AsBoolean() ? "1" : "0");

  // The previous employer. Without one, ZENSYOKU_KOKUGAI comes before
  // ZENSYOKU_KINMUSAKIJUUSYO: the element order differs between the two forms.
  if (Emp("ZensyokuFlg").AsBoolean()) {
    text("ZENSYOKU_KINMUSAKI", Emp("ZenKaisyaNM").AsString());
    text("ZENSYOKU_KINMUSAKIJUUSYO",
         Version() >= kV700001 ? Emp("ZenAddress").AsString() : std::string());
    text("ZENSYOKU_KOKUGAI", "0");
    text("ZENSYOKU_TAISYOKUNENGAPPI",
         Version() >= kV700001 ? FormatDate(Emp("ZenTaisyoku").AsDateTime()) : std::string());
    text("ZENSYOKU_SOUSIKYUUGAKU", FormatAmount0(Emp("ZenSyunyu").AsCurrency()));
    text("ZENSYOKU_HOKENKOUJOGAKU", FormatAmount0(Emp("ZenSyaho").AsCurrency()));
    text("ZENSYOKU_SANSYUTUZEIGAKU", FormatAmount0(Emp("ZenSyotoku").AsCurrency()));
  } else {
    text("ZENSYOKU_KINMUSAKI", "");
    text("ZENSYOKU_KOKUGAI", "0");
    text("ZENSYOKU_KINMUSAKIJUUSYO", "");
    text("ZENSYOKU_TAISYOKUNENGAPPI", "");
    text("ZENSYOKU_SOUSIKYUUGAKU", "");
    text("ZENSYOKU_HOKENKOUJOGAKU", "");
    text("ZENSYOKU_SANSYUTUZEIGAKU", "");
  }

  // The non-taxable commuting allowance and what it rests on, from data version 700000.
  if (Version() >= kV700000) {
    text("HIKAZEITSUUKINTEATE", FormatAmount(Emp("TukinSeisanKin").AsCurrency()));
    text("HIKAZEITSUUKINTEATEKONKYO",
         CopyWholeChars(TrimBlanks(Emp("TukinSeisan").AsString()), 1, 24));
  } else {
    text("HIKAZEITSUUKINTEATE", "");
    text("HIKAZEITSUUKINTEATEKONKYO", "");
  }
}

}  // namespace nc16
