#pragma once
// The subcommands of nc16, in one table: each command's name, usage, options and what its
// arguments are. The table is the one source of the help texts, of the option parsing (main
// parses a command's arguments with the command's options before it runs it) and of the bash
// completion; a test holds the manual page to it. Each command returns the process exit status:
// 0 success, 2 wrong usage, and what the command documents otherwise.

#include <span>
#include <string>
#include <string_view>

#include "tools/nc16/CliUtil.h"

namespace nc16::cli {

// What an option's value, or a positional argument, names: for the parser (an option with a
// value takes the next argument) and for the completion (files, folders, or nothing to offer).
enum class ValueKind { kNone, kFile, kFolder, kText, kWord };

struct Option {
  std::string_view name;  // without the leading "--"
  ValueKind value;        // kNone: a flag
};

struct Command {
  std::string_view name;
  // Not empty: this row is the command when this flag is given ("all" for export --all).
  std::string_view form;
  std::string_view usage;    // after "nc16 "
  std::string_view summary;  // the help's lines under the usage
  std::span<const Option> options;
  ValueKind positional;                     // kNone: takes none; kWord: one of `words` first
  std::span<const std::string_view> words;  // the first positional argument's choices
  int (*run)(const Options& opts);
  int output_failure;      // the status when stdout cannot be written
  std::string_view notes;  // more lines for the command's --help; may be empty
};

std::span<const Command> AllCommands();

// The row that runs `name` with `args` (the form whose flag is among them), or null.
const Command* FindCommand(std::string_view name, std::span<char* const> args);

// The general help, and one command's (every form of it).
std::string HelpText();
std::string CommandHelp(std::string_view name);

// The bash completion script of the table.
std::string BashCompletion();

// The note on secrets for the commands that take them.
extern const std::string_view kSecretNote;

// The subcommands, one per Cmd*.cpp file.
int RunVersion(const Options& opts);
int RunExport(const Options& opts);
int RunExportAll(const Options& opts);
int RunDatasets(const Options& opts);
int RunCheck(const Options& opts);
int RunPxdump(const Options& opts);
int RunDecrypt(const Options& opts);
int RunVnprotect(const Options& opts);
int RunDemoData(const Options& opts);
int RunCompletion(const Options& opts);

}  // namespace nc16::cli
