// The dependants section KAZOKU_JOUHOU of the current employee.

#include <cstdio>

#include "document/TextUtils.h"
#include "external/vnprotect/VnProtect.h"
#include "extract/FamilyCodes.h"
#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

namespace {

// FUYOUKUBUN from the dependant category; empty for a category without a code.
std::string_view DependantKind(int fuyo_kbn) {
  switch (fuyo_kbn) {
    case 0:
      return "1";
    case 1:
      return "0";
    case 2:
      return "2";
    case 3:
      return "4";
    case 4:
      return "3";
    default:
      return {};
  }
}

}  // namespace

void TNenchoDataMake::WriteDependants(TXmlSaveDoc& doc, int my_number_option) {
  using namespace data_version;
  AddHeading(SJ("  ＜家族情報＞"));
  nodeSection = doc.AddElement(nodeGroup, "KAZOKU_JOUHOU");
  const int64_t key = Emp("SearchKey").AsInteger();

  // Rows 1, 2, 3... until the first missing row number; rows after a gap are never looked at.
  for (int64_t n = 1; qryFamily.Locate("Syain;GroupKbn;RowID", {key, int64_t{1}, n}); ++n) {
    if (Fam("Gensen").AsInteger() != 0) continue;

    char row_number[32];
    std::snprintf(row_number, sizeof row_number, "%2d", static_cast<int>(n));
    const std::string tag = SJ("    ［") + row_number + SJ("行目 ");
    const std::string name = Fam("Name").AsString();
    const std::string trimmed = TrimBlanks(name);
    const std::string padded = PadRightWholeChars(trimmed, 20);
    const int fuyo_kbn = Fam("FuyoKbn").AsInteger();
    const int dokyo_kbn = Fam("DokyoKbn").AsInteger();
    const int syogai_kbn = Fam("SyogaiKbn").AsInteger();
    const db::TDateTime birthday = Fam("BirthDay").AsDateTime();

    bool failed = false;
    if (trimmed.empty()) {
      AddError(tag + SJ("］扶養親族氏名が未設定です。"));
      failed = true;
    }
    if (birthday == 0) {
      AddError(tag + padded + SJ("］生年月日が未設定です。"));
      failed = true;
    }
    if (fuyo_kbn == 4 && dokyo_kbn == 1 && syogai_kbn == 1) {
      AddError(tag + padded + SJ("］同居区分が未チェックです。"));
      failed = true;
    }
    if (failed) continue;

    nodeEntry = doc.AddElement(nodeSection, "FUYOUSINZOKU", "COUNT",
                               std::to_string(Fam("RowID").AsInteger()));
    // A value's error line names the row as the lines above do.
    value_origin_ = tag.substr(4) + padded + SJ("］");
    struct OriginReset {
      std::string& origin;
      ~OriginReset() { origin.clear(); }
    } reset{value_origin_};
    auto text = [&](std::string_view element, std::string_view value) {
      doc.AddTextElement(nodeEntry, element, value);
    };
    std::string my_number;
    if (Version() >= kMyNumber) {
      std::string stored = Fam("MNum").AsString();
      if (!stored.empty() && my_number_option == 1) my_number = DecodeStoredValue(stored);
    }
    text("SIKIBETU_CODE", my_number);
    text("FURIGANA", Version() >= kV700005 ? Fam("Kana").AsString() : std::string());
    text("NAME", name);
    text("ZOKUGARA", CopyWholeChars(Fam("Zokugara").AsString(), 1, 6));
    text("SEINENGAPPI", FormatDate(birthday));
    if (std::string_view kind = DependantKind(fuyo_kbn); !kind.empty()) text("FUYOUKUBUN", kind);
    text("SYOUGAISYA", DisabilityCode(syogai_kbn, dokyo_kbn));
    text("HIKYOJUUSYA", Version() >= kV700001 && Fam("KyojuKbn").AsInteger() == 0 ? "1" : "0");
  }
}

}  // namespace nc16
