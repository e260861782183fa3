#pragma once
// Helpers shared by the subcommands: argument parsing and output of CP932 texts to the terminal.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nc16::cli {

inline constexpr int kExitUsage = 2;
// Any failure without a status of its own, also an error that no command caught.
inline constexpr int kExitFailure = 4;

// Writes a CP932 message to stderr as UTF-8; a bare CR (the system's line break) becomes a new
// line, and the message ends with one.
void PrintMessage(std::string_view cp932);

// Prints "nc16: <text>" to stderr and returns kExitUsage.
int UsageError(std::string_view text);

// A minimal option parser: "--name value", "--name=value" and flags, plus positional arguments.
class Options {
 public:
  // `with_value` lists the options that take a value, `flags` those that do not. An unknown
  // option or a missing value makes ok() false and error() says why.
  Options(std::span<char* const> args, std::vector<std::string_view> with_value,
          std::vector<std::string_view> flags);

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

}  // namespace nc16::cli
