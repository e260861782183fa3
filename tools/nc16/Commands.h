#pragma once
// The subcommands of nc16. Each returns the process exit status: 0 success, 2 wrong usage, and
// what the command documents otherwise.

#include <span>
#include <string_view>

namespace nc16::cli {

struct Command {
  std::string_view name;
  std::string_view usage;                   // shown by --help, after "nc16 "
  std::string_view summary;                 // one line
  int (*run)(std::span<char* const> args);  // the arguments after the subcommand's name
  int output_failure;                       // the status when stdout cannot be written
  std::string_view notes;                   // more lines for the command's --help; may be empty
};

// The note on secrets for the commands that take them.
extern const std::string_view kSecretNote;

std::span<const Command> AllCommands();

// The subcommands, one per Cmd*.cpp file.
int RunVersion(std::span<char* const> args);
int RunExport(std::span<char* const> args);
int RunExportAll(std::span<char* const> args);  // export --all, dispatched by RunExport
int RunDatasets(std::span<char* const> args);
int RunCheck(std::span<char* const> args);
int RunPxdump(std::span<char* const> args);
int RunDecrypt(std::span<char* const> args);
int RunVnprotect(std::span<char* const> args);
int RunDemoData(std::span<char* const> args);

}  // namespace nc16::cli
