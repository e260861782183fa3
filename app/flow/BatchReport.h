#pragma once
// What a batch run tells its user: the summary lines (tab-separated UTF-8) and the report page,
// one self-contained HTML file to open in a browser and print. Neither ever holds a password or
// an individual number: they show only the data list's texts, the results and the messages.

#include <string>
#include <vector>

#include "app/flow/Batch.h"

namespace nc16 {

struct BatchRow {
  BatchDataSet DataSet;
  BatchOutcome Outcome;
};

// The run as the report's head describes it. Texts CP932.
struct BatchRunInfo {
  bool Check = false;         // a check: results read "ok" and no file is written
  std::string CommonDataDir;  // the installation's common data folder
  std::string When;           // date and time the run started, e.g. "2026-12-09 14:05:31"
  std::string Computer;       // the computer's name
  std::string OutputFolder;   // empty for a check
  bool MyNumber = false;      // individual numbers asked for
  int Year = 0;               // the year chosen, 0 for every year
};

// "written" ("ok" for a check), "no-employee", "problems", "refused" or "failed".
std::string ResultName(ExportResult result, bool check);

// A message as one line: each run of line breaks becomes " / ", a tab a blank, and breaks at
// either end are dropped.
std::string OneLine(std::string_view cp932);

// The summary's header line and the line of one data set, UTF-8, each ending with "\n".
std::string SummaryHeader();
std::string SummaryLine(const BatchRow& row, bool check);

// The report page, UTF-8.
std::string ReportHtml(const BatchRunInfo& run, const std::vector<BatchRow>& rows);

// Writes the page to the CP932 path, replacing the file atomically; raises EOSError.
void WriteReport(const std::string& path, const BatchRunInfo& run,
                 const std::vector<BatchRow>& rows);

}  // namespace nc16
