#include "app/flow/BatchReport.h"

#include <array>

#include "document/Texts.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

// The results the page counts; a refused request counts among the failures.
constexpr std::array kResults = {ExportResult::kWritten, ExportResult::kNoEmployee,
                                 ExportResult::kProblems, ExportResult::kDataSetRefused,
                                 ExportResult::kFailed};

ExportResult Counted(ExportResult result) {
  return result == ExportResult::kRequestRefused ? ExportResult::kFailed : result;
}

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

// The name of a written file; its folder stands in the page's head.
std::string FileName(const std::string& path) {
  return DataSetKey(path);
}

std::string Field(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return out;
}

// The label a person reads, the class that colours it, and a sign that tells the results apart
// on a black-and-white print.
struct ResultLook {
  const char* label;
  const char* css;
  const char* sign;
};

ResultLook Look(ExportResult result, bool check) {
  switch (Counted(result)) {
    case ExportResult::kWritten:
      return {check ? "問題なし" : "作成済み", "ok", "✓"};
    case ExportResult::kNoEmployee:
      return {"社員なし", "empty", "－"};
    case ExportResult::kProblems:
      return {"社員情報に問題", "problems", "！"};
    case ExportResult::kDataSetRefused:
      return {"連動できないデータ", "refused", "×"};
    default:
      return {"作成失敗", "failed", "×"};
  }
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
.sets thead th { background: #f1f3f4; white-space: nowrap; }
.sets tbody tr:nth-child(even) { background: #fafafa; }
.num { text-align: right !important; white-space: nowrap; }
.key, .period { white-space: nowrap; }
.period { font-family: "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP", monospace; white-space: pre; }
.file { white-space: nowrap; }
.name { min-width: 12em; }
.result { font-weight: bold; white-space: nowrap; }
.ok { color: var(--ok); } .empty { color: var(--empty); } .problems { color: var(--problems); }
.refused, .failed { color: var(--refused); }
tr.problems, tr.refused, tr.failed { border-left: 4px solid currentColor; }
tr.ok td, tr.empty td { color: #202124; }
tr.problems td, tr.refused td, tr.failed td { color: #202124; }
tr td.result { color: inherit; }
tr.ok td.result { color: var(--ok); } tr.empty td.result { color: var(--empty); }
tr.problems td.result { color: var(--problems); }
tr.refused td.result, tr.failed td.result { color: var(--refused); }
.code { display: block; font-weight: normal; font-size: 11px; color: #5f6368; }
details { margin-top: 4px; }
summary { cursor: pointer; color: var(--problems); }
pre { margin: 4px 0 0; padding: 6px; background: #fff8e1; border: 1px solid #f0d9a0; font: 12px/1.4 "MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP", monospace; white-space: pre-wrap; }
footer { margin-top: 16px; color: #5f6368; font-size: 12px; }
@page { size: A4 landscape; margin: 12mm; }
@media print {
  body { margin: 0; font-size: 10pt; }
  h1 { font-size: 14pt; }
  .sets thead { display: table-header-group; }
  .sets tr { break-inside: avoid; }
  .sets tbody tr:nth-child(even) { background: none; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  /* On paper every error list is shown, where the browser can open a closed details element. */
  details::details-content { content-visibility: visible; display: block; }
  summary::marker { content: ""; }
  pre { font-size: 7.5pt; }
}
)";

}  // namespace

std::string ResultName(ExportResult result, bool check) {
  if (check && result == ExportResult::kWritten) return "ok";
  return std::string(CodesOf(result).word);
}

std::string OneLine(std::string_view cp932) {
  std::string out;
  bool pending_break = false;
  for (char c : cp932) {
    if (c == '\r' || c == '\n') {
      pending_break = true;
      continue;
    }
    if (pending_break && !out.empty()) out += " / ";
    pending_break = false;
    out += c == '\t' ? ' ' : c;
  }
  return out;
}

std::string SummaryHeader() {
  return "key\tname\tperiod\tresult\temployees\tfile\tmy_number\tmessage\n";
}

std::string SummaryLine(const BatchRow& row, bool check) {
  const BatchDataSet& d = row.DataSet;
  const BatchOutcome& o = row.Outcome;
  return Field(Cp932ToUtf8(d.Key)) + "\t" + Field(Cp932ToUtf8(d.Name)) + "\t" +
         Field(Cp932ToUtf8(d.Period)) + "\t" + ResultName(o.Result, check) + "\t" +
         std::to_string(o.Employees) + "\t" + Field(Cp932ToUtf8(o.File)) + "\t" +
         (o.MyNumber ? "yes" : "no") + "\t" + Cp932ToUtf8(OneLine(o.Message)) + "\n";
}

std::string ReportHtml(const BatchRunInfo& run, const std::vector<BatchRow>& rows) {
  const char* title = run.Check ? "連動データの点検 結果" : "連動データの一括作成 結果";
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  h +=
      std::string("<title>") + title + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
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
  for (ExportResult r : kResults) {
    size_t n = 0;
    for (const BatchRow& row : rows)
      n += Counted(row.Outcome.Result) == r;
    ResultLook look = Look(r, run.Check);
    h += std::string("<li class=\"") + look.css + "\">" + look.sign + " " + look.label + " <b>" +
         std::to_string(n) + "</b></li>\n";
  }
  h += "</ul>\n<table class=\"sets\">\n<thead><tr><th>キー</th><th>データ名</th>"
       "<th>" +
       Text(texts::PeriodTitle()) +
       "</th><th>結果</th><th class=\"num\">社員数</th><th>ファイル</th>"
       "<th>個人番号</th><th>メッセージ</th></tr></thead>\n<tbody>\n";
  for (const BatchRow& row : rows) {
    const BatchOutcome& o = row.Outcome;
    ResultLook look = Look(o.Result, run.Check);
    h += std::string("<tr class=\"") + look.css + "\"><td class=\"key\">" + Text(row.DataSet.Key) +
         "</td><td class=\"name\">" + Text(row.DataSet.Name) + "</td><td class=\"period\">" +
         Text(row.DataSet.Period) + "</td><td class=\"result\">" + look.sign + " " + look.label +
         "<span class=\"code\">" + ResultName(o.Result, run.Check) +
         "</span></td><td class=\"num\">" + std::to_string(o.Employees) +
         "</td><td class=\"file\" title=\"" + Text(o.File) + "\">" + Text(FileName(o.File)) +
         "</td><td>" + (o.MyNumber ? "含む" : "含まない") + "</td><td>" + Text(OneLine(o.Message));
    if (!o.Problems.empty()) {
      h += "<details><summary>エラー一覧（" + std::to_string(o.Employees) + "名）</summary><pre>";
      for (const std::string& line : o.Problems)
        h += Text(line) + "\n";
      h += "</pre></details>";
    }
    h += "</td></tr>\n";
  }
  h += "</tbody>\n</table>\n<footer>nc16 — " + Text(texts::ProgramTitle()) +
       "</footer>\n</body>\n</html>\n";
  return h;
}

void WriteReport(const std::string& path, const BatchRunInfo& run,
                 const std::vector<BatchRow>& rows) {
  WriteFileAtomic(NativePath(path), ReportHtml(run, rows));
}

}  // namespace nc16
