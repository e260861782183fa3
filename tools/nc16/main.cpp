// nc16: the year-end export without windows, and the tools around it.

#include <iostream>
#include <span>
#include <string_view>

#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace {

void PrintHelp(std::ostream& out) {
  out << "usage: nc16 <command> [arguments]\n\n"
         "Exports a payroll year to the intermediate file of the year-end tax adjustment, and\n"
         "the tools around it.\n\ncommands:\n";
  for (const auto& c : nc16::cli::AllCommands())
    out << "  nc16 " << c.usage << "\n      " << c.summary << "\n";
  out << "\n  nc16 --help     this text\n\n" << nc16::cli::kSecretNote;
}

int RunCommand(const nc16::cli::Command& c, std::span<char* const> rest) {
  for (std::string_view a : rest) {
    if (a == "--help") {
      std::cout << "usage: nc16 " << c.usage << "\n" << c.summary << "\n";
      if (!c.notes.empty()) std::cout << "\n" << c.notes;
      return 0;
    }
  }
  try {
    return c.run(rest);
  } catch (const nc16::cli::UsageFailure& e) {
    return nc16::cli::UsageError(e.what());
  }
}

int Run(int argc, char** argv) {
  std::span<char* const> args(argv, static_cast<size_t>(argc));
  nc16::cli::UseCheckedStandardOutput();
  if (args.size() < 2) {
    PrintHelp(std::cerr);
    return nc16::kExitUsage;
  }
  std::string_view name = args[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(std::cout);
    return nc16::cli::FinishStandardOutput(0, 1);
  }
  for (const auto& c : nc16::cli::AllCommands()) {
    // Whatever the command printed is checked here once: a full disk or a closed pipe behind
    // the standard output is a failure, never a success.
    if (c.name == name)
      return nc16::cli::FinishStandardOutput(RunCommand(c, args.subspan(2)), c.output_failure);
  }
  return nc16::cli::UsageError("unknown command '" + std::string(name) + "'");
}

}  // namespace

// Whatever a command lets escape ends the program with a message and status 4, never with an
// abort: the system's exceptions carry CP932 texts, the library's plain ASCII ones.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    nc16::cli::PrintMessage("nc16: " + std::string(e.what()));
  } catch (...) {
    nc16::cli::PrintMessage("nc16: unexpected failure");
  }
  return nc16::kExitFailure;
}
