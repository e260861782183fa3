// nc16 datasets: the used data sets of the installation, as the data-set page lists them, with
// the data-set check's verdict on each.

#include <iostream>

#include "app/flow/Batch.h"
#include "app/flow/BatchSummary.h"
#include "app/flow/Startup.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunDatasets(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("datasets takes no arguments");
  const TDataExportInfo info("", "", 0, Remembering::kNothing);
  if (auto message = CheckInstallation(info)) {
    PrintMessage(*message);
    return kExitFailure;
  }
  Messages shown;
  std::vector<BatchDataSet> sets = ListDataSets(info.CommonDataDir, shown);
  for (const Message& message : shown)
    PrintMessage(message.text);
  if (!shown.empty()) return kExitFailure;
  std::cout << "key\tname\tperiod\tfolder\tversion\tstate\n";
  for (const BatchDataSet& set : sets) {
    DataSetState state = InspectDataSet(set);
    std::cout << SummaryField(set.Key) << "\t" << SummaryField(set.Name) << "\t"
              << SummaryField(set.Period) << "\t" << SummaryField(set.Folder) << "\t"
              << (state.HasCompanyTable ? std::to_string(state.Version) : std::string()) << "\t"
              << (state.Accepted ? std::string("ok")
                                 : "refused " + SummaryField(OneLine(state.Message)))
              << "\n";
  }
  std::cout << std::flush;
  return 0;
}

}  // namespace nc16::cli
