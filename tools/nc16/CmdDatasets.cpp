// nc16 datasets: the used data sets of the installation, as the data-set page lists them, with
// the data-set check's verdict on each.

#include <iostream>

#include "app/flow/Batch.h"
#include "app/flow/BatchReport.h"
#include "app/flow/Startup.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

std::string Field(const std::string& cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  for (char& c : utf8)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return utf8;
}

}  // namespace

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
    std::cout << Field(set.Key) << "\t" << Field(set.Name) << "\t" << Field(set.Period) << "\t"
              << Field(set.Folder) << "\t"
              << (state.HasCompanyTable ? std::to_string(state.Version) : std::string()) << "\t"
              << (state.Accepted ? std::string("ok")
                                 : "refused " + Cp932ToUtf8(OneLine(state.Message)))
              << "\n";
  }
  std::cout << std::flush;
  return 0;
}

}  // namespace nc16::cli
