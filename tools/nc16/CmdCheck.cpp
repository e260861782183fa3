// nc16 check: the export's checks and the whole extraction with its validation, for one data set
// or every used one, writing nothing.

#include "app/flow/BatchReport.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/CmdBatch.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunCheck(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("check takes no positional arguments");
  BatchCommand command;
  command.options.ValidateOnly = true;
  command.all = opts.Flag("all");
  auto folder = opts.Value("data-folder");
  if (command.all == folder.has_value())
    return UsageError("check needs --data-folder DIR or --all");
  if (folder) {
    auto cp932 = Utf8ToCp932Exact(*folder);
    if (!cp932 || cp932->empty())
      return UsageError("--data-folder needs a folder name that Shift_JIS can hold");
    command.data_folder = *cp932;
  }
  if (auto year = opts.Value("year")) {
    if (!command.all) return UsageError("--year belongs to --all");
    auto parsed = ParseYear(*year);
    if (!parsed) return UsageError("--year takes a year YYYY");
    command.year = *parsed;
  }
  if (auto report = opts.Value("report")) {
    if (!command.all) return UsageError("--report belongs to --all");
    command.report = Utf8ToCp932Exact(*report);
    if (!command.report || command.report->empty())
      return UsageError("--report needs a file name that Shift_JIS can hold");
    if (auto refused = RefusedReport(*command.report, {})) return UsageError(*refused);
  }
  return RunBatchCommand(command);
}

}  // namespace nc16::cli
