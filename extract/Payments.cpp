// The salary and bonus payments (KYUUYO, SYOUYO) of the current employee.

#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TNenchoDataMake::WriteSalary(TXmlSaveDoc& doc) {
  WritePayments(doc, false);
}

void TNenchoDataMake::WriteBonus(TXmlSaveDoc& doc) {
  WritePayments(doc, true);
}

void TNenchoDataMake::WritePayments(TXmlSaveDoc& doc, bool bonus) {
  AddHeading(bonus ? SJ("  ＜賞与情報＞") : SJ("  ＜給与情報＞"));
  const int64_t key = Emp("SearchKey").AsInteger();
  const int64_t kind = bonus ? 1 : 0;
  const int last = bonus ? 4 : 12;
  // The payment that carries the year-end adjustment shows no computed tax: salary 12 when
  // NenchoSyori is 0, bonus r when it is r.
  const int nencho = Emp("NenchoSyori").AsInteger();
  const int adjusted = bonus ? (nencho >= 1 && nencho <= 4 ? nencho : -1) : (nencho == 0 ? 12 : -1);

  for (int r = 1; r <= last; ++r) {
    // A row entered by hand (InputKbn 1) takes precedence over the computed one.
    if (!qryMeisai.Locate("Syain;SikyuKbn;SikyuKai;InputKbn",
                          {key, kind, int64_t{r}, int64_t{1}}) &&
        !qryMeisai.Locate("Syain;SikyuKbn;SikyuKai;InputKbn", {key, kind, int64_t{r}, int64_t{0}}))
      continue;
    nodeSection =
        doc.AddElement(nodeGroup, bonus ? "SYOUYO" : "KYUUYO", "KUBUN", std::to_string(r));
    auto text = [&](std::string_view tag, std::string_view value) {
      doc.AddTextElement(nodeSection, tag, value);
    };
    auto field = [&](std::string_view name) -> db::TField& { return qryMeisai.FieldByName(name); };
    text("SOUSIKYUUGAKU", FormatAmount0(field("KazeiSikyu").AsCurrency()));
    text("HOKENKOUJOGAKU", FormatAmount0(field("SyahoKoujyo").AsCurrency()));
    text("FUYOUSINZOKUSUU", std::to_string(field("FuyouSu").AsInteger()));
    text("SANSYUTUZEIGAKU", r == adjusted ? "0" : FormatAmount0(field("CalcZeigaku").AsCurrency()));
  }
}

}  // namespace nc16
