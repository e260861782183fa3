// The spouse section HAIGUUSYA_JOUHOU of the current employee.

#include "document/TextUtils.h"
#include "external/vnprotect/VnProtect.h"
#include "extract/FamilyCodes.h"
#include "extract/ValueFormat.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TNenchoDataMake::WriteSpouse(TXmlSaveDoc& doc, int my_number_option) {
  using namespace data_version;
  AddHeading(SJ("  ＜配偶者情報＞"));
  nodeSection = doc.AddElement(nodeGroup, "HAIGUUSYA_JOUHOU");

  const int64_t key = Emp("SearchKey").AsInteger();
  const bool has_spouse = Emp("HaiguKbn").AsBoolean();
  const bool special_deduction = Emp("HaiguTokuKoujyo").AsCurrency().units > 0;
  auto locate_spouse = [&] {
    return qryFamily.Locate("Syain;GroupKbn;RowID", {key, int64_t{0}, int64_t{1}});
  };

  // A spouse with a special deduction must have a name; without one the section stays empty.
  if (has_spouse && special_deduction) {
    if (!locate_spouse() || TrimBlanks(Fam("Name").AsString()).empty()) {
      AddError(SJ("    配偶者氏名が未設定です。"));
      return;
    }
  }
  if (!locate_spouse()) return;

  bool reported =
      has_spouse &&
      ((Emp("KojoHaiguKbn").AsBoolean() && Fam("Gensen").AsInteger() == 0) || special_deduction);
  auto text = [&](std::string_view tag, std::string_view value) {
    doc.AddTextElement(nodeSection, tag, value);
  };
  if (!reported) {
    text("HAIGUUSYAUMU", "0");
    for (const char* tag : {"SIKIBETU_CODE", "FURIGANA", "NAME", "SEINENGAPPI"})
      text(tag, "");
    text("HAIGUUSYASYOTOKU", "0");
    text("SYOUGAISYA", "0");
    text("HIKYOJUUSYA", "0");
    return;
  }

  text("HAIGUUSYAUMU", "1");
  std::string my_number;
  if (Version() >= kMyNumber) {
    std::string stored = Fam("MNum").AsString();
    if (!stored.empty() && my_number_option == 1) my_number = DecodeStoredValue(stored);
  }
  text("SIKIBETU_CODE", my_number);
  std::string reading;
  if (Version() >= kV700005) {
    reading = Fam("Kana").AsString();
  } else if (Version() >= kV500002) {
    reading = Emp("HaigusyaKN").AsString();
  }
  text("FURIGANA", reading);
  text("NAME", Fam("Name").AsString());
  text("SEINENGAPPI", FormatDate(Fam("BirthDay").AsDateTime()));
  text("HAIGUUSYASYOTOKU", FormatAmount(Emp("HaiguSyotoku").AsCurrency()));
  text("SYOUGAISYA", DisabilityCode(Fam("SyogaiKbn").AsInteger(), Fam("DokyoKbn").AsInteger()));
  text("HIKYOJUUSYA", Version() >= kV700001 && Fam("KyojuKbn").AsInteger() == 0 ? "1" : "0");
}

}  // namespace nc16
