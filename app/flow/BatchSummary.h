#pragma once
// The batch's summary on standard output: a header line and one tab-separated UTF-8 line per data
// set, for a person at a terminal and for scripts. Every field is escaped as pxdump escapes its
// fields (tab, CR, LF and backslash as \t \r \n \\, every other control character as \xNN), so a
// name from the data list can neither break a line nor reach the terminal as a control sequence.

#include <string>
#include <string_view>

#include "app/flow/Batch.h"

namespace nc16 {

struct BatchRow {
  BatchDataSet DataSet;
  BatchOutcome Outcome;
};

// The summary's result word: "written" ("ok" for a check), "log-failed", "no-employee",
// "problems", "refused", "no-password" or "failed".
std::string ResultName(const BatchOutcome& outcome, bool check);

// A message as one line: each run of line breaks becomes " / ", a tab a blank, and breaks at
// either end are dropped.
std::string OneLine(std::string_view cp932);

// A CP932 text as one field of the summary (UTF-8, escaped).
std::string SummaryField(std::string_view cp932);

// The header line and the line of one data set, each ending with "\n".
std::string SummaryHeader();
std::string SummaryLine(const BatchRow& row, bool check);

}  // namespace nc16
