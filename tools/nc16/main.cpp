// nc16: the year-end export without windows, and the tools around it.

#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Memory.h"
#include "platform/StandardStreams.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace {

using namespace nc16::cli;

// Parses the command's arguments with its options and runs it.
int RunCommand(const Command& c, std::span<char* const> rest) {
  for (std::string_view a : rest) {
    if (a == "--") break;
    if (a == "--help") {
      std::cout << CommandHelp(c.name);
      return 0;
    }
  }
  const Options opts(rest, c.options);
  if (!opts.ok()) return UsageError(opts.error());
  try {
    return c.run(opts);
  } catch (const UsageFailure& e) {
    return UsageError(e.what());
  }
}

int Run(int argc, char** argv) {
  std::span<char* const> args(argv, static_cast<size_t>(argc));
  UseCheckedStandardOutput();
  if (args.size() < 2) {
    std::cerr << HelpText();
    return nc16::kExitUsage;
  }
  std::string_view name = args[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::cout << HelpText();
    return FinishStandardOutput(0, 1);
  }
  const std::span<char* const> rest = args.subspan(2);
  // Whatever the command printed is checked here once: a full disk or a closed pipe behind the
  // standard output is a failure, never a success.
  if (const Command* c = FindCommand(name, rest))
    return FinishStandardOutput(RunCommand(*c, rest), c->output_failure);
  return UsageError("unknown command '" + std::string(name) + "'");
}

}  // namespace

// Whatever a command lets escape ends the program with a message and status 4, never with an
// abort: the system's exceptions carry CP932 texts, the library's plain ASCII ones.
int main(int argc, char** argv) {
  nc16::platform::KeepFreedMemoryForReuse();
  nc16::platform::PrepareStandardStreams();
  try {
    std::vector<std::string> utf8 = nc16::platform::CommandLineArguments(argc, argv);
    std::vector<char*> args;
    for (std::string& a : utf8)
      args.push_back(a.data());
    args.push_back(nullptr);
    return Run(static_cast<int>(utf8.size()), args.data());
  } catch (const std::exception& e) {
    PrintMessage("nc16: " + std::string(e.what()));
  } catch (...) {
    PrintMessage("nc16: unexpected failure");
  }
  return nc16::kExitFailure;
}
