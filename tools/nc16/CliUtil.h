#pragma once
// Helpers shared by the subcommands: argument parsing and output of CP932 texts to the terminal.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageBox.h"

namespace nc16::cli {

inline constexpr int kExitUsage = 2;
// Any failure without a status of its own, also an error that no command caught.
inline constexpr int kExitFailure = 4;

// A wrong argument found while a command runs. main prints "nc16: " + what() (UTF-8) and exits
// with kExitUsage, as for an unknown option.
class UsageFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes a CP932 message to stderr as UTF-8; a bare CR (the system's line break) becomes a new
// line, and the message ends with one.
void PrintMessage(std::string_view cp932);

// The wizard's message boxes as lines on stderr (PrintMessage), counted; a question is answered
// No, as a user who is not there would not confirm it.
class StderrBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(MessageKind, const std::string& text, MessageButtons buttons) override {
    PrintMessage(text);
    ++shown;
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  int shown = 0;
};

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

// Why the file at `path` (CP932) must not be replaced by an output: it exists and is not a
// regular file (a folder, a FIFO, a device, a symbolic link), which a rename would replace by a
// plain file. Nothing when it is absent or a regular file.
std::optional<std::string> RefusedOutput(std::string_view path);

// Why the folder `path` (CP932) cannot be read: missing, not a folder, or the system's reason
// ("Permission denied"). Nothing when its entries can be listed.
std::optional<std::string> UnreadableFolder(std::string_view path);

// The crypt library's result for `file` in words (CP932), with the system's account of a file
// failure when the library gives one. `by_key`: the file was opened or written with a key, not
// a password.
std::string CryptResultText(int32_t code, bool by_key, std::string_view file);

// Sends std::cout through a buffer that keeps the first write error; for FinishStandardOutput.
void UseCheckedStandardOutput();

// Flushes and closes the standard output. When that or an earlier write failed (a full disk, a
// closed pipe), says so on stderr, with the system's cause, and returns `failure` unless
// `status` already tells of one.
int FinishStandardOutput(int status, int failure);

}  // namespace nc16::cli
