#include "app/flow/BatchSummary.h"

#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"

namespace nc16 {

std::string ResultName(const BatchOutcome& outcome, bool check) {
  if (check && outcome.Result == ExportResult::kWritten) return "ok";
  return std::string(CodesOf(outcome.Result, outcome.LogFailed).word);
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

std::string SummaryField(std::string_view cp932) {
  std::string out;
  px::AppendEscaped(out, Cp932ToUtf8(cp932));
  return out;
}

std::string SummaryHeader() {
  return "key\tname\tperiod\tresult\temployees\tfile\tmy_number\tmessage\n";
}

std::string SummaryLine(const BatchRow& row, bool check) {
  const BatchDataSet& d = row.DataSet;
  const BatchOutcome& o = row.Outcome;
  return SummaryField(d.Key) + "\t" + SummaryField(d.Name) + "\t" + SummaryField(d.Period) + "\t" +
         ResultName(o, check) + "\t" + (o.Employees ? std::to_string(*o.Employees) : "") + "\t" +
         SummaryField(o.File) + "\t" + (o.MyNumber ? "yes" : "no") + "\t" +
         SummaryField(OneLine(o.Message)) + "\n";
}

}  // namespace nc16
