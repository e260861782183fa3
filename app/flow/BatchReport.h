#pragma once
// The report page of a batch run: one self-contained HTML file (no script, no outside resource)
// to open in a browser and print on A4, either way round. It never holds a password or an
// individual number: only the data list's texts, the results and the messages.

#include <optional>
#include <string>
#include <vector>

#include "app/flow/BatchSummary.h"

namespace nc16 {

// The run as the report's head describes it. Texts CP932.
struct BatchRunInfo {
  bool Check = false;         // a check: no file is written
  std::string CommonDataDir;  // the installation's common data folder
  std::string When;           // date and time the run started, e.g. "2026-12-09 14:05:31"
  std::string Computer;       // the computer's name
  std::string OutputFolder;   // empty for a check
  bool MyNumber = false;      // individual numbers asked for
  int Year = 0;               // the year chosen, 0 for every year
};

// The report page, UTF-8.
std::string ReportHtml(const BatchRunInfo& run, const std::vector<BatchRow>& rows);

// Why `report` (a CP932 path) cannot take the run's report: its name does not end in ".html" or
// ".htm" (any case); it is the same file as one the run reads or writes (`run_files`); it is
// there and not a regular file. Nothing when the report may be written there. UTF-8.
std::optional<std::string> RefusedReport(const std::string& report,
                                         const std::vector<std::string>& run_files);

// Writes the page to the CP932 path, replacing the file atomically; raises EOSError.
void WriteReport(const std::string& path, const BatchRunInfo& run,
                 const std::vector<BatchRow>& rows);

}  // namespace nc16
