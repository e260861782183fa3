#include "document/Texts.h"

namespace nc16::texts {
namespace {

// The texts' own placeholder: "%s" replaced by the value, in order.
std::string Format(std::string pattern, std::initializer_list<std::string_view> values) {
  size_t from = 0;
  for (std::string_view value : values) {
    const size_t at = pattern.find("%s", from);
    if (at == std::string::npos) break;
    pattern.replace(at, 2, value);
    from = at + value.size();
  }
  return pattern;
}

}  // namespace

std::string SourceTooOld(std::string_view dotted_version) {
  return SJ("このﾌﾟﾛｸﾞﾗﾑはｾｯﾄｱｯﾌﾟされている[ミルベク給与]のﾊﾞｰｼﾞｮﾝに対応していません。\r"
            "[ミルベク給与] ﾊﾞｰｼﾞｮﾝ ") +
         std::string(dotted_version) + " " + SJ("以降をｾｯﾄｱｯﾌﾟしてください。") + "\r" + "\r" +
         SJ("ﾌﾟﾛｸﾞﾗﾑを強制終了します。");
}

std::string DataFolderUnreadable(std::string_view cause) {
  return SJ("このﾃﾞｰﾀﾌｫﾙﾀﾞを読み込めません。\r") + std::string(cause) + "\r";
}

std::string IntroAlone(std::string_view source, std::string_view target) {
  return Format(SJ("『%s』から『%s』へﾃﾞｰﾀを連動させるための"), {source, target}) + "\r" +
         SJ("中間ﾌｧｲﾙを作成します。");
}

std::string IntroByLauncher(std::string_view source, std::string_view target) {
  return Format(SJ("『%s』から『%s』へﾃﾞｰﾀの連動をおこないます。"), {source, target});
}

std::string IntroCloseSource(std::string_view source) {
  return Format(SJ("『%s』が起動している場合は終了してください。"), {source}) + "\r\r\r" +
         SJ("作成を始めるには[次へ]をｸﾘｯｸしてください。");
}

std::string DataSetPageLead(std::string_view source) {
  return Format(SJ("連動元となる『%s』の対象ﾃﾞｰﾀを指定します。"), {source});
}

std::string FilePageLead(std::string_view target) {
  return Format(SJ("連動先となる『%s』で使用する中間ﾌｧｲﾙを指定します。"), {target});
}

std::string ManagementPasswordHint(std::string_view source) {
  return Format(SJ("連動情報に個人番号を含める場合、%sのﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞを正しく入力し、"
                   "[次へ]をｸﾘｯｸしてください。"),
                {source});
}

std::string SummaryCompany(std::string_view company) {
  return Format(SJ(" 会社名            : %s"), {company});
}

std::string SummaryYear(std::string_view era, int year) {
  return Format(SJ(" 申告年度          : %s %s年"), {era, std::to_string(year)});
}

std::string SummaryMyNumber(bool included) {
  return SJ(" 個人番号連動設定  : ") + (included ? WithMyNumber() : WithoutMyNumber());
}

std::string SystemDriveRoot(std::string_view drive) {
  return Format(SJ("ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(%s)直下にﾌｧｲﾙは指定できません。"), {drive}) + "\r" +
         SJ("別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。") + "\r";
}

std::string OutputFolderMissing(std::string_view folder) {
  return SJ("指定されたﾌｫﾙﾀﾞが見つかりません。\r") + std::string(folder) + "\r" +
         SJ("ﾌｫﾙﾀﾞを確認してから[次へ]をｸﾘｯｸしてください。\r");
}

std::string OutputFolderNotWritable(std::string_view folder) {
  return SJ("指定されたﾌｫﾙﾀﾞにﾌｧｲﾙを作成する権限がありません。\r") + std::string(folder) + "\r" +
         SJ("別のﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。\r");
}

std::string OutputIsAFolder(std::string_view path) {
  return SJ("指定された中間ﾌｧｲﾙ名はﾌｫﾙﾀﾞです。\r") + std::string(path) + "\r" +
         SJ("ﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r");
}

std::string ReplaceQuestion(std::string_view path) {
  return SJ("指定された中間ﾌｧｲﾙは既に存在します。\r") + std::string(path) + "\r" +
         SJ("上書きしてもよろしいですか？\r");
}

std::string NoPasswordLine(std::string_view key) {
  return Format(SJ("マイナンバーを使用する会社ですが、パスワードファイルに %s の行がありません。"),
                {key});
}

std::string DatabaseError(std::string_view message) {
  return SJ("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r") + std::string(message) + "\r\r";
}

std::string OutOfMemory(std::string_view message) {
  return SJ("ｱｳﾄｵﾌﾞﾒﾓﾘ\r") + std::string(message) + "\r\r";
}

std::string EngineError(std::string_view message) {
  return SJ("ﾃﾞｰﾀﾍﾞｰｽｴﾝｼﾞﾝｴﾗｰ\r") + std::string(message) + "\r\r";
}

}  // namespace nc16::texts
