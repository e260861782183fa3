// nc16 completion: the bash completion script, made from the command table so that it knows
// every command and option the program does.

#include <iostream>

#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunCompletion(const Options& opts) {
  if (opts.Positional() != std::vector<std::string>{"bash"})
    return UsageError("completion takes the shell's name: bash");
  std::cout << BashCompletion();
  return 0;
}

}  // namespace nc16::cli
