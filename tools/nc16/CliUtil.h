#pragma once
// Helpers shared by the subcommands: argument parsing and output of CP932 texts to the terminal.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/flow/ExportResults.h"

namespace nc16::cli {

// A wrong argument found while a command runs. main prints "nc16: " + what() (UTF-8) and exits
// with kExitUsage, as for an unknown option.
class UsageFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes a CP932 message to stderr as UTF-8; a bare CR (the system's line break) becomes a new
// line, and the message ends with one.
void PrintMessage(std::string_view cp932);

// Prints "nc16: <text>" to stderr and returns kExitUsage.
int UsageError(std::string_view text);

struct Option;

// The arguments of a command, parsed with its options: "--name value", "--name=value" and
// flags, plus positional arguments ("--" ends the options; "-" is positional).
class Options {
 public:
  // An unknown option or a missing value makes ok() false and error() says why.
  Options(std::span<char* const> args, std::span<const Option> options);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  std::optional<std::string> Value(std::string_view name) const;
  bool Flag(std::string_view name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  std::vector<std::pair<std::string, std::string>> values_;
  std::vector<std::string> flags_;
  std::vector<std::string> positional_;
  std::string error_;
};

// The argument `what` (an option such as "--output", or "IN") converted from UTF-8 to CP932.
// Passwords, keys, paths and SQL are never changed: a character that CP932 cannot hold raises
// UsageFailure naming the argument, where a "?" in its place would silently mean something else.
std::string ExactCp932(std::string_view what, std::string_view utf8);

// A secret given three ways: as an option's value (visible to every local user in the process
// list), as the first line of a file (a file that group or others can read is refused), or typed
// at the terminal. Both option names are without their leading "--"; both must be among the
// options that take a value.
struct SecretOption {
  std::string value_option;  // "password"
  std::string file_option;   // "password-file"
};

// True when either option was given; raises UsageFailure when both were.
bool SecretGiven(const Options& opts, const SecretOption& option);

// The secret as CP932: from the value or the file option; else, when stdin is a terminal, typed
// there after `prompt` (UTF-8) without echo, twice when `confirm` (a new secret; the two must
// agree); nothing otherwise. Raises UsageFailure for a text CP932 cannot hold, for a file that
// cannot be used, and for two typed texts that differ.
std::optional<std::string> ReadSecret(const Options& opts, const SecretOption& option,
                                      std::string_view prompt, bool confirm = false);

// Sends std::cout through a buffer that keeps the first write error; for FinishStandardOutput.
// Ignores SIGPIPE: a pipe whose reader has ended is then a write error like any other, not a
// silent end of the program.
void UseCheckedStandardOutput();

// Flushes and closes the standard output. When that or an earlier write failed (a full disk, a
// pipe whose reader has ended), says so on stderr, with the cause, and returns `failure` unless
// `status` already tells of one.
int FinishStandardOutput(int status, int failure);

}  // namespace nc16::cli
