#pragma once
// The part of `nc16 check` and `nc16 export --all` that both share: the start-up checks, the
// choice of data sets, the run over them with its summary on stdout and error lists on stderr,
// and the report page.

#include <optional>
#include <string>
#include <vector>

#include "app/flow/Batch.h"

namespace nc16::cli {

struct BatchCommand {
  BatchOptions options;
  bool all = false;                   // every used data set of the list
  std::string data_folder;            // CP932; the one data set when not `all`
  int year = 0;                       // with `all`: only data sets of this year
  std::optional<std::string> report;  // CP932 path of the report page
  std::vector<std::string> inputs;    // CP932 paths of the files the run reads besides the tables
};

// Runs the command and returns its exit status.
int RunBatchCommand(const BatchCommand& command);

// A year given as YYYY (1900 to 9999); nullopt otherwise.
std::optional<int> ParseYear(const std::string& text);

}  // namespace nc16::cli
