// The deductions section KOUJOGAKU_JOUHOU of the current employee.

#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TNenchoDataMake::WriteDeductions(TXmlSaveDoc& doc) {
  using namespace data_version;
  AddHeading(SJ("  ＜控除額情報＞"));
  nodeSection = doc.AddElement(nodeGroup, "KOUJOGAKU_JOUHOU");
  auto text = [&](std::string_view tag, std::string_view value) {
    doc.AddTextElement(nodeSection, tag, value);
  };
  auto money = [&](std::string_view column) { return Emp(column).AsCurrency(); };

  if (Emp("InputFlg").AsBoolean()) {
    text("SYAHOKOUJO_KYUUYO",
         FormatAmount0(money("SyahoKyuyo") + money("SyahoSyoyo") + money("SyahoZensyoku")));
  } else {
    text("SYAHOKOUJO_KYUUYO", "");
  }
  text("SYAHO_KOUJOBUN", FormatAmount(money("SyahoSinkoku")));
  text("KOKUMINNNENKINHOKENRYOU", FormatAmount(money("KokuminNenkin")));
  text("SYAHO_SYOUKIBOKYOUSAI", FormatAmount(money("KigyouKyosai")));

  // Life insurance: the old split before 300003; from then on the first columns are the
  // contracts of 2012 and later (H24IKOU) and the second columns the older ones.
  if (Version() < kV300003) {
    text("SEIHO_IPPAN", FormatAmount(money("ISeimeiHoken")));
    text("SEIHO_KOJIN", FormatAmount(money("NenkinHoken")));
  } else {
    text("SEIHO_IPPAN_H24IKOU", FormatAmount(money("ISeimeiHoken")));
    text("SEIHO_IPPAN", FormatAmount(money("ISeimeiHoken2")));
    text("SEIHO_KAIGO", FormatAmount(money("KaigoHoken")));
    text("SEIHO_KOJIN_H24IKOU", FormatAmount(money("NenkinHoken")));
    text("SEIHO_KOJIN", FormatAmount(money("NenkinHoken2")));
  }
  text("JISINHOKEN", FormatAmount(money("SSongaiHoken")));
  text("SONPO_TYOUKI", FormatAmount(money("LSongaiHoken")));
  text("JUUTAKU_TOKUBETUKOUJO", FormatAmount(money("JyutakuKoujyo")));
  text("JUUTAKU_TEKIYOUSUU",
       Version() >= kV700001 ? std::to_string(Emp("JyutakuKoujyoCnt").AsInteger()) : std::string());

  if (Version() >= kV300003) {
    static const db::TDateTime kFirstResidenceDate = EncodeDate(1989, 1, 8);
    for (int loan = 1; loan <= 2; ++loan) {
      const std::string n = std::to_string(loan);
      db::TDateTime since = Emp(loan == 1 ? "RSDate" : "RSDate2").AsDateTime();
      if (since >= kFirstResidenceDate) text("JUUTAKU_KYOJUUNENGAPPI_" + n, FormatDate(since));
      if (Version() >= kV400003)
        text("JUUTAKU_KARIIREGAKU_" + n, FormatAmount(money("JyutakuKariireZan" + n)));
      if (Version() >= kV700001)
        text("JUUTAKU_TOKUTEI_" + n, Emp("JyutakuTokutei" + n).AsBoolean() ? "1" : "0");
      int kind = Emp("JyutakuKariireKbn" + n).AsInteger();
      if (kind >= 0 && kind <= 4) text("JUUTAKU_KOUJOKUBUN_" + n, std::to_string(kind));
    }
  }
  text("TOKUBETUGENZEI", FormatAmount(money("GenzeiKyuyo") + money("GenzeiSyoyo")));
}

}  // namespace nc16
