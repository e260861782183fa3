// The totals section GOUKEI of the current employee.

#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TNenchoDataMake::WriteTotals(TXmlSaveDoc& doc) {
  AddHeading(SJ("  ＜合計情報＞"));
  nodeSection = doc.AddElement(nodeGroup, "GOUKEI");
  auto text = [&](std::string_view tag, std::string_view value) {
    doc.AddTextElement(nodeSection, tag, value);
  };
  static constexpr const char* kTags[] = {
      "KYUUYO_SOUSIKYUUGAKU_GOUKEI", "KYUUYO_SANSYUTUZEIGAKU_GOUKEI",
      "SYOUYO_SOUSIKYUUGAKU_GOUKEI", "SYOUYO_SANSYUTUZEIGAKU_GOUKEI",
      "SOUSIKYUUGAKU_GOUKEI",        "SANSYUTUZEIGAKU_GOUKEI",
  };
  if (!Emp("InputFlg").AsBoolean()) {
    for (const char* tag : kTags)
      text(tag, "");
    return;
  }
  auto money = [&](std::string_view column) { return Emp(column).AsCurrency(); };
  db::Currency kazei_kyuyo = money("KazeiKyuyo"), kazei_syoyo = money("KazeiSyoyo");
  db::Currency gensen_kyuyo = money("GensenKyuyo"), gensen_syoyo = money("GensenSyoyo");
  const db::Currency values[] = {
      kazei_kyuyo,
      gensen_kyuyo,
      kazei_syoyo,
      gensen_syoyo,
      kazei_kyuyo + kazei_syoyo + money("KazeiZensyoku"),
      gensen_kyuyo + gensen_syoyo + money("GensenZensyoku"),
  };
  for (size_t i = 0; i < std::size(kTags); ++i)
    text(kTags[i], FormatAmount0(values[i]));
}

}  // namespace nc16
