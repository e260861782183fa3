#include <iostream>

#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunVersion(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("version takes no arguments");
  std::cout << "nc16 " << NC16_VERSION << "\n";
  return 0;
}

}  // namespace nc16::cli
