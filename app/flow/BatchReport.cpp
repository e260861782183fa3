#include "app/flow/BatchReport.h"

#include <array>

#include "app/flow/ReportText.h"
#include "document/TextUtils.h"
#include "document/Texts.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

std::string Html(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Text(std::string_view cp932) {
  return Html(Cp932ToUtf8(cp932));
}

// What the page tells apart: the summary's results, a written file whose log record failed
// counted on its own.
enum class Shown { kWritten, kLogFailed, kNoEmployee, kProblems, kRefused, kNoPassword, kFailed };

Shown ShownAs(const BatchOutcome& o) {
  switch (o.Result) {
    case ExportResult::kWritten:
      return o.LogFailed ? Shown::kLogFailed : Shown::kWritten;
    case ExportResult::kNoEmployee:
      return Shown::kNoEmployee;
    case ExportResult::kProblems:
      return Shown::kProblems;
    case ExportResult::kDataSetRefused:
      return Shown::kRefused;
    case ExportResult::kNoManagementPassword:
      return Shown::kNoPassword;
    default:
      return Shown::kFailed;
  }
}

// The label a person reads, the class that colours it, and a sign that tells the results apart
// on a black-and-white print.
struct ResultLook {
  const char* label;
  const char* css;
  const char* sign;
};

ResultLook Look(Shown shown, bool check) {
  switch (shown) {
    case Shown::kWritten:
      return {check ? "問題なし" : "作成済み", "ok", "✓"};
    case Shown::kLogFailed:
      return {"作成済み・ログ記録失敗", "failed", "！"};
    case Shown::kNoEmployee:
      return {"社員なし", "empty", "－"};
    case Shown::kProblems:
      return {"社員情報に問題", "problems", "！"};
    case Shown::kRefused:
      return {"連動できないデータ", "refused", "×"};
    case Shown::kNoPassword:
      return {"パスワード未登録", "refused", "×"};
    case Shown::kFailed:
      break;
  }
  return {check ? "点検失敗" : "作成失敗", "failed", "×"};
}

// The counters of the page's head: those a run of its kind can end in, and any other that did.
bool Counted(Shown shown, const BatchRunInfo& run, size_t n) {
  switch (shown) {
    case Shown::kLogFailed:
    case Shown::kNoPassword:
      return run.MyNumber || n > 0;
    case Shown::kFailed:
      return !run.Check || n > 0;
    default:
      return true;
  }
}

// The printed page's foot: the run's date on the left, the page of how many on the right, where
// the browser draws page margins (the text of the time is digits, blanks, "-" and ":").
std::string PageStyle(const BatchRunInfo& run) {
  const std::string margin =
      "font: 7pt \"Yu Gothic\", \"Noto Sans CJK JP\", \"IPAPGothic\", "
      "sans-serif; color: #5f6368;";
  return "@page { size: A4; margin: 12mm 10mm 14mm;\n"
         "  @bottom-left { content: \"実行日時 " +
         Cp932ToUtf8(run.When) + "\"; " + margin +
         " }\n"
         "  @bottom-right { content: counter(page) \" / \" counter(pages) \" ページ\"; " +
         margin + " } }\n";
}

constexpr const char* kStyle = R"(
:root { --ok: #1b7f3b; --empty: #5f6368; --problems: #b35c00; --refused: #b3261e; --failed: #b3261e; }
* { box-sizing: border-box; }
body { margin: 24px; color: #202124; background: #fff; font: 14px/1.5 "Yu Gothic", "Meiryo", "Noto Sans CJK JP", "IPAPGothic", sans-serif; }
h1 { font-size: 20px; margin: 0 0 12px; }
table { border-collapse: collapse; }
.run th, .run td { text-align: left; padding: 2px 12px 2px 0; vertical-align: top; }
.run th { font-weight: normal; color: #5f6368; white-space: nowrap; }
.counts { display: flex; flex-wrap: wrap; gap: 8px; margin: 14px 0 18px; padding: 0; list-style: none; }
.counts li { border: 1px solid #dadce0; border-radius: 4px; padding: 4px 10px; }
.counts b { font-size: 16px; margin-left: 6px; }
.sets { width: 100%; }
.sets th, .sets td { border: 1px solid #dadce0; padding: 4px 6px; text-align: left; vertical-align: top; }
.sets thead th { background: #f1f3f4; font-weight: bold; }
.sets tbody:nth-of-type(even) tr { background: #fafafa; }
.num { text-align: right !important; white-space: nowrap; }
.key, .mn { white-space: nowrap; }
.period { font-family: "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP", monospace; white-space: pre; }
.result { font-weight: bold; }
.message p { margin: 0; }
tr.problems td:first-child, tr.refused td:first-child, tr.failed td:first-child { border-left: 4px solid; }
tr.ok td.result { color: var(--ok); } tr.empty td.result { color: var(--empty); }
tr.problems td.result { color: var(--problems); } tr.problems td:first-child { border-left-color: var(--problems); }
tr.refused td.result, tr.failed td.result { color: var(--refused); }
tr.refused td:first-child, tr.failed td:first-child { border-left-color: var(--refused); }
tr.errors td { border-top: none; padding-top: 0; }
details { margin: 0; }
summary { cursor: pointer; color: var(--problems); }
pre { margin: 4px 0; padding: 6px; background: #fff8e1; border: 1px solid #f0d9a0; font: 12px/1.4 "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP", monospace; white-space: pre; overflow-x: auto; }
footer { margin-top: 16px; color: #5f6368; font-size: 12px; }
@media print {
  body { margin: 0; font-size: 8pt; }
  /* Fixed widths for the narrow columns, so that the names and messages have room on A4. */
  col.key { width: 5em; } col.name { width: 8em; } col.period { width: 11em; }
  col.result { width: 6.5em; } col.count { width: 3.6em; } col.file { width: 8em; }
  col.mn { width: 3.4em; } .mn { white-space: normal; }
  h1 { font-size: 14pt; }
  .counts b { font-size: 11pt; }
  .sets thead { display: table-header-group; }
  /* A data set's row never splits, and stays with the start of its error list; a long list
     goes on over the next page. */
  .sets tr { break-inside: avoid; page-break-inside: avoid; }
  .sets tr.errors { break-inside: auto; page-break-inside: auto; }
  .sets tr.listed { break-after: avoid; page-break-after: avoid; }
  .sets tbody:nth-of-type(even) tr { background: none; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  /* On paper every error list is shown, where the browser can open a closed details element. */
  details::details-content { content-visibility: visible; display: block; }
  summary { display: none; }
  /* The error list's lines are fixed-width columns of up to 85 characters: small enough to fit
     the width of A4 either way round, and never wrapped. */
  pre { font-size: 6.5pt; overflow: visible; }
}
)";

}  // namespace

std::string ReportHtml(const BatchRunInfo& run, const std::vector<BatchRow>& rows) {
  const char* title = run.Check ? "連動データの点検 結果" : "連動データの一括作成 結果";
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  h += std::string("<title>") + title + "</title>\n<style>" + kStyle + PageStyle(run) +
       "</style>\n</head>\n<body>\n";
  h += std::string("<h1>") + title + "</h1>\n<table class=\"run\">\n";
  auto item = [&](const char* label, const std::string& html) {
    h += std::string("<tr><th>") + label + "</th><td>" + html + "</td></tr>\n";
  };
  item("共通データフォルダ", Text(run.CommonDataDir));
  item("実行日時", Text(run.When));
  item("コンピューター名", Text(run.Computer));
  if (!run.Check) item("出力先フォルダ", Text(run.OutputFolder));
  item("対象年", run.Year == 0 ? "すべて" : std::to_string(run.Year) + "年");
  if (run.Check) {
    item("内容", "点検のみ（ファイルは作成していません）");
  } else {
    item("個人番号", run.MyNumber ? "マイナンバーを使用する会社は含める" : "含めない");
    item("暗号化", run.MyNumber ? "個人番号を含むファイルを暗号化（*.xml.qve）" : "なし（*.xml）");
  }
  h += "</table>\n<ul class=\"counts\">\n";
  h += "<li>対象 <b>" + std::to_string(rows.size()) + "</b></li>\n";
  for (Shown s : {Shown::kWritten, Shown::kLogFailed, Shown::kNoEmployee, Shown::kProblems,
                  Shown::kRefused, Shown::kNoPassword, Shown::kFailed}) {
    size_t n = 0;
    for (const BatchRow& row : rows)
      n += ShownAs(row.Outcome) == s;
    if (!Counted(s, run, n)) continue;
    const ResultLook look = Look(s, run.Check);
    h += std::string("<li class=\"") + look.css + "\">" + look.sign + " " + look.label + " <b>" +
         std::to_string(n) + "</b></li>\n";
  }
  h += "</ul>\n<table class=\"sets\">\n<colgroup><col class=\"key\"><col class=\"name\"><col "
       "class=\"period\">"
       "<col class=\"result\"><col class=\"count\"><col class=\"count\"><col class=\"file\">"
       "<col class=\"mn\"><col></colgroup>\n<thead><tr><th>キー</th><th>データ名</th><th>" +
       Text(texts::PeriodTitle()) +
       "</th><th>結果</th><th class=\"num\">社員数</th><th class=\"num\">問題のある社員</th>"
       "<th>ファイル</th><th>個人番号</th><th>メッセージ</th></tr></thead>\n";
  for (const BatchRow& row : rows) {
    const BatchOutcome& o = row.Outcome;
    const ResultLook look = Look(ShownAs(o), run.Check);
    std::string message;
    for (const std::string& line : ReportLines(o.Message))
      message += "<p>" + Html(line) + "</p>";
    const char* listed = o.Problems.empty() ? "" : " listed";
    h += std::string("<tbody><tr class=\"") + look.css + listed + "\"><td class=\"key\">" +
         Text(row.DataSet.Key) + "</td><td class=\"name\">" + Text(row.DataSet.Name) +
         "</td><td class=\"period\">" + Text(row.DataSet.Period) + "</td><td class=\"result\">" +
         look.sign + " " + look.label + "</td><td class=\"num\">" +
         (o.Employees ? std::to_string(*o.Employees) : "－") + "</td><td class=\"num\">" +
         (o.WithProblems > 0 ? std::to_string(o.WithProblems) : "") + "</td><td class=\"file\">" +
         Text(DataSetKey(o.File)) + "</td><td class=\"mn\">" + (o.MyNumber ? "含む" : "含まない") +
         "</td><td class=\"message\">" + message + "</td></tr>\n";
    if (!o.Problems.empty()) {
      h += "<tr class=\"errors\"><td colspan=\"9\"><details><summary>エラー一覧（" +
           std::to_string(o.WithProblems) + "名）</summary><pre>";
      for (const std::string& line : o.Problems)
        h += Text(line) + "\n";
      h += "</pre></details></td></tr>\n";
    }
    h += "</tbody>\n";
  }
  h += "</table>\n<footer>nc16 — " + Html(WidenKatakana(Cp932ToUtf8(texts::ProgramTitle()))) +
       "</footer>\n</body>\n</html>\n";
  return h;
}

std::optional<std::string> RefusedReport(const std::string& report,
                                         const std::vector<std::string>& run_files) {
  if (!EndsWithNoCase(report, ".html") && !EndsWithNoCase(report, ".htm"))
    return "--report needs a file name ending in .html or .htm";
  for (const std::string& file : run_files)
    if (platform::SameFile(report, file))
      return "--report names a file the run reads or writes: " + Cp932ToUtf8(file);
  if (auto refused = NotReplaceable(NativePath(report))) return Cp932ToUtf8(*refused);
  return std::nullopt;
}

void WriteReport(const std::string& path, const BatchRunInfo& run,
                 const std::vector<BatchRow>& rows) {
  WriteFileAtomic(NativePath(path), ReportHtml(run, rows));
}

}  // namespace nc16
