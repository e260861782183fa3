#pragma once
// The texts the user reads, in one place: the wizard's pages and message boxes, the start-up
// stops, the output step's messages and the command line's own words. Every text is CP932 (the
// system's own are byte for byte as the payroll family writes them, half-width katakana
// included); a bare CR breaks lines in a message. The wizard, the command-line program, the
// batch and the tests all take their texts from here, so that none is spelt twice.
//
// The texts of the extraction's error list and the engine's messages stay with the code that
// writes them; the report page's HTML texts with the report.

#include <string>
#include <string_view>

#include "platform/Cp932.h"

namespace nc16::texts {

// clang-format off

// ---- The products and the program ---------------------------------------------------------
inline const std::string& ProgramTitle() { return SJ("連動ﾃﾞｰﾀの作成"); }
inline const std::string& SourceProduct() { return SJ("ミルベク給与"); }
inline const std::string& TargetProduct() { return SJ("ゾルテ"); }
inline const std::string& WindowCaption() { return SJ("ゾルテfromミルベク給与16"); }

// ---- Start-up stops -----------------------------------------------------------------------
inline const std::string& SiblingRunning() {
  return SJ("「ミルベク給与」又はそれに関連する製品が起動中です。\r終了してから再度やり直して下さい。");
}
// Every stop but the sibling warning ends with this.
inline const std::string& ForcedEnd() { return SJ("\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。"); }
inline const std::string& InvalidArguments() {
  return SJ("不正な引数が渡されました。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
}
inline const std::string& SettingsNotInitialised() {
  return SJ("起動情報の初期化に失敗しました。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
}
inline const std::string& SourceNotInstalled() { return SJ("[ミルベク給与]がインストールされていません。"); }
// The version stop, with the lowest supported version in its dotted form ("7.0.0").
std::string SourceTooOld(std::string_view dotted_version);
// Our own: the command line's word when the program runs already.
inline const std::string& AlreadyRunning() { return SJ("連動ﾃﾞｰﾀの作成は既に起動しています。"); }

// ---- The pages ----------------------------------------------------------------------------
std::string IntroAlone(std::string_view source, std::string_view target);  // two lines, CR
std::string IntroByLauncher(std::string_view source, std::string_view target);
std::string IntroCloseSource(std::string_view source);  // the four lines below the introduction
std::string DataSetPageLead(std::string_view source);
std::string FilePageLead(std::string_view target);
inline const std::string& DataSetPageHint() {
  return SJ("対象のﾃﾞｰﾀが正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
}
inline const std::string& DataNameTitle() { return SJ("ﾃﾞｰﾀ名"); }
inline const std::string& PeriodTitle() { return SJ("給与年月／賞与回"); }
inline const std::string& FolderTitle() { return SJ("ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ"); }
inline const std::string& SortedUp() { return SJ(" ▲"); }
inline const std::string& SortedDown() { return SJ(" ▼"); }
inline const std::string& UnusedRow() { return SJ("未使用"); }
inline const std::string& MyNumberPageLead() { return SJ("連動情報に個人番号を含めるかどうかを選択します。"); }
inline const std::string& MyNumberGroup() { return SJ("個人番号連動設定"); }
inline const std::string& WithoutMyNumber() { return SJ("連動情報に個人番号を含めない"); }
inline const std::string& WithMyNumber() { return SJ("連動情報に個人番号を含める"); }
inline const std::string& ManagementPasswordLabel() { return SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞ："); }
std::string ManagementPasswordHint(std::string_view source);
inline const std::string& FileGroup() { return SJ("中間ﾌｧｲﾙ"); }
inline const std::string& Browse() { return SJ("参照"); }
inline const std::string& EncryptionPasswordLabel() { return SJ("中間ﾌｧｲﾙ暗号化ﾊﾟｽﾜｰﾄﾞ："); }
inline const std::string& FileHint() {
  return SJ("中間ﾌｧｲﾙ名が正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
}
inline const std::string& FileAndPasswordHint() {
  return SJ("中間ﾌｧｲﾙ名、暗号化ﾊﾟｽﾜｰﾄﾞが正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
}
inline const std::string& SaveDialogTitle() { return SJ("中間ﾌｧｲﾙの指定"); }
// Our own: a folder's type in the browse dialog's list, as the system's file dialogs call it.
inline const std::string& FolderType() { return SJ("ファイル フォルダー"); }
inline const std::string& SummaryDone() {
  return SJ("以上で設定が完了しました。\r内容を確認し、よろしければ[完了]をｸﾘｯｸしてください。");
}
inline const std::string& NextCaption() { return SJ("次へ(&N) >"); }
inline const std::string& FinishCaption() { return SJ("完了(&F)"); }
inline const std::string& BackCaption() { return SJ("< 戻る(&B)"); }
inline const std::string& CancelCaption() { return SJ("ｷｬﾝｾﾙ"); }
inline const std::string& ErrorListCaption() { return SJ("エラー情報"); }

// The summary's lines; each label is padded so that its colon stands in byte column 20.
inline const std::string& SummarySourceHeading() { return SJ("【連動元情報】"); }
std::string SummaryCompany(std::string_view company);
std::string SummaryYear(std::string_view era, int year);
inline const std::string& SummaryFolderLabel() { return SJ(" ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ      : "); }
std::string SummaryMyNumber(bool included);
inline const std::string& SummaryFileHeading() { return SJ("【中間ﾌｧｲﾙ】"); }

// ---- Page checks --------------------------------------------------------------------------
inline const std::string& NoDataSetToChoose() { return SJ("選択できるﾃﾞｰﾀがありません。\r"); }
inline const std::string& NoPayrollData() {
  return SJ("このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。\rもう一度、選び直してください。\r");
}
// Our own: a data folder that is there and cannot be listed, with the folder and the cause.
std::string DataFolderUnreadable(std::string_view cause);
inline const std::string& CannotExportVersion() {
  return SJ("このﾃﾞｰﾀは連動できません。\r最新版のミルベク給与でコンバート後、もう一度、選び直してください。\r");
}
inline const std::string& ManagementPasswordMissing() {
  return SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r");
}
inline const std::string& ManagementPasswordWrong() { return SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r"); }
inline const std::string& FileMissing() {
  return SJ("中間ﾌｧｲﾙが指定されていません。\r指定してから[次へ]をｸﾘｯｸしてください。\r");
}
std::string SystemDriveRoot(std::string_view drive);
inline const std::string& EncryptionPasswordMissing() {
  return SJ("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r");
}
// Our own: an output named like a payroll table's file.
inline const std::string& TableFileName() {
  return SJ("給与ﾃﾞｰﾀのﾃｰﾌﾞﾙと同じ種類のﾌｧｲﾙ名(.DB .PX .MB .Xnn .Ynn)は中間ﾌｧｲﾙに指定できません。"
            "\r別のﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r");
}
// Our own: where the file page's name cannot be written. The name, as the window gives it, holds
// characters that CP932 cannot hold (they would be replaced by "?"); its folder is missing or
// refuses new files; it names a folder. Each with the path it is about.
inline const std::string& FileNameCharacters() {
  return SJ("中間ﾌｧｲﾙ名に使用できない文字が含まれています。"
            "\r別のﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r");
}
std::string OutputFolderMissing(std::string_view folder);
std::string OutputFolderNotWritable(std::string_view folder);
std::string OutputIsAFolder(std::string_view path);
// Our own: the question before an existing file is replaced (No keeps the user on the page).
std::string ReplaceQuestion(std::string_view path);
// Our own: the command line asked for individual numbers of a company without My Number.
inline const std::string& CompanyWithoutMyNumber() { return SJ("この会社はマイナンバーを使用していません。"); }

// ---- Database failures, as the pages and the log report them ------------------------------
std::string DatabaseError(std::string_view message);
std::string OutOfMemory(std::string_view message);
std::string EngineError(std::string_view message);

// ---- The output step and Finish -----------------------------------------------------------
inline const std::string& NoEmployee() { return SJ("社員が登録されていません。"); }
inline const std::string& EmployeeProblems() { return SJ("社員情報に問題が見つかりました。"); }
inline const std::string& FileWritten() { return SJ("中間ﾌｧｲﾙが作成されました。\r"); }
inline const std::string& FileFailed() { return SJ("中間ﾌｧｲﾙの作成に失敗しました。\r"); }
inline const std::string& CancelQuestion() {
  return SJ("[ｷｬﾝｾﾙ]ﾎﾞﾀﾝが押されました。\r連動ﾃﾞｰﾀの作成ｳｨｻﾞｰﾄﾞを終了してもよろしいですか？\r");
}
inline const std::string& MyNumberExported() { return SJ("個人番号が外部に出力されました。"); }
// Our own: the file was written and its record in the My Number log was not.
inline const std::string& LogRecordFailed() {
  return SJ("中間ファイルは書き込みましたが、マイナンバー出力ログ (tMNLog.DB) に記録できませんでした");
}
// Our own: the batch's passwords file has no line for a company that uses My Number.
std::string NoPasswordLine(std::string_view key);
inline const std::string& DocumentTooLarge() { return SJ("文書が大きすぎて暗号化できません"); }
// Our own: a table of the data set changed while the export read it (another program wrote it);
// the file would mix old and new data, so none is written.
inline const std::string& DataChangedWhileRead() {
  return SJ("ﾃﾞｰﾀの読み込み中に給与ﾃﾞｰﾀが変更されました。\r中間ﾌｧｲﾙは作成していません。"
            "もう一度、やり直してください。");
}

// clang-format on

}  // namespace nc16::texts
