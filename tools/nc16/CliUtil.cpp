#include "tools/nc16/CliUtil.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/SecretFile.h"
#include "platform/StandardStreams.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

void PrintMessage(std::string_view cp932) {
  std::string text = Cp932ToUtf8(cp932);
  std::string out;
  out.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  while (out.size() >= 2 && out.ends_with("\n\n"))
    out.pop_back();
  if (!out.ends_with('\n')) out += '\n';
  std::cerr << out << std::flush;
}

int UsageError(std::string_view text) {
  std::cerr << "nc16: " << text << "\n(see nc16 --help)\n";
  return kExitUsage;
}

Options::Options(std::span<char* const> args, std::span<const Option> options) {
  auto find = [&](std::string_view name) -> const Option* {
    for (const Option& o : options)
      if (o.name == name) return &o;
    return nullptr;
  };
  bool only_positional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i];
    if (only_positional || !a.starts_with("--") || a == "-") {
      positional_.emplace_back(a);
      continue;
    }
    if (a == "--") {
      only_positional = true;
      continue;
    }
    std::string name(a.substr(2));
    std::optional<std::string> inline_value;
    if (auto eq = name.find('='); eq != std::string::npos) {
      inline_value = name.substr(eq + 1);
      name.resize(eq);
    }
    const Option* option = find(name);
    if (option && option->value != ValueKind::kNone) {
      if (inline_value) {
        values_.emplace_back(name, *inline_value);
      } else if (i + 1 < args.size()) {
        values_.emplace_back(name, args[++i]);
      } else {
        error_ = "option --" + name + " needs a value";
        return;
      }
    } else if (option && !inline_value) {
      flags_.push_back(name);
    } else {
      error_ = "unknown option --" + name;
      return;
    }
  }
}

std::optional<std::string> Options::Value(std::string_view name) const {
  for (auto it = values_.rbegin(); it != values_.rend(); ++it)
    if (it->first == name) return it->second;
  return std::nullopt;
}

bool Options::Flag(std::string_view name) const {
  return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

std::string ExactCp932(std::string_view what, std::string_view utf8) {
  if (auto cp932 = Utf8ToCp932Exact(utf8)) return *cp932;
  throw UsageFailure(std::string(what) +
                     " holds a character that code page 932 cannot represent; it is refused "
                     "rather than changed");
}

bool SecretGiven(const Options& opts, const SecretOption& option) {
  const bool value = opts.Value(option.value_option).has_value();
  const bool file = opts.Value(option.file_option).has_value();
  if (value && file)
    throw UsageFailure("--" + option.value_option + " and --" + option.file_option +
                       " exclude each other");
  return value || file;
}

std::optional<std::string> ReadSecret(const Options& opts, const SecretOption& option,
                                      std::string_view prompt, bool confirm) {
  if (SecretGiven(opts, option)) {
    if (auto value = opts.Value(option.value_option))
      return ExactCp932("--" + option.value_option, *value);
    const std::string what = "--" + option.file_option;
    std::string line;
    try {
      line = platform::ReadSecretFile(ExactCp932(what, *opts.Value(option.file_option)));
    } catch (const EOSError& e) {
      throw UsageFailure(what + ": " + Cp932ToUtf8(e.what()));
    }
    // A byte-order mark that an editor put before the first line is not part of the secret (it
    // is no character CP932 could hold).
    if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    // The library takes a password as a zero-terminated text: a zero byte would silently end
    // it there, so a password that holds one is refused rather than shortened.
    if (line.find('\0') != std::string::npos)
      throw UsageFailure(what + ": the first line holds a zero byte, which no secret may hold");
    return ExactCp932("the first line of " + what, line);
  }
  auto typed = platform::AskSecret(prompt);
  if (!typed) return std::nullopt;
  std::string secret = ExactCp932("the typed " + option.value_option, *typed);
  if (confirm) {
    auto again = platform::AskSecret("確認のため、もう一度入力してください: ");
    if (!again || *again != *typed)
      throw UsageFailure("the two typed " + option.value_option + "s differ");
  }
  return secret;
}

namespace {

// The standard output as nc16 writes it: a buffer over file descriptor 1 that keeps the first
// write error, so that the report at the end names the system's cause (stdio forgets it once a
// failed buffer is dropped). After an error nothing more is written.
class StdoutBuffer : public std::streambuf {
 public:
  StdoutBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const char* p = pbase();
    while (error_ == 0 && p < pptr()) {
      const std::ptrdiff_t n = platform::WriteStandardOutput(p, static_cast<size_t>(pptr() - p));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) error_ = n < 0 ? errno : EIO;
      if (n > 0) p += n;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0;
  }

  char buffer_[1 << 16];
  int error_ = 0;
};

// Never destroyed: std::cout is flushed once more when the program ends, after the destruction
// of ordinary statics.
StdoutBuffer& TheStdoutBuffer() {
  static StdoutBuffer* buffer = new StdoutBuffer;
  return *buffer;
}

}  // namespace

void UseCheckedStandardOutput() {
#ifdef SIGPIPE
  // A reader that has gone (`nc16 decrypt IN - | head -c1`) would otherwise end the program
  // without a word at its next write; ignored, the write fails with EPIPE and is reported.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::cout.rdbuf(&TheStdoutBuffer());
}

int FinishStandardOutput(int status, int failure) {
  std::cout.flush();
  int err = TheStdoutBuffer().error();
  // Closing reports what a file system keeps for the close (NFS); nothing writes after this.
  if (err == 0) err = platform::CloseStandardOutput();
  if (err == 0) return status;
  if (err == EPIPE)
    PrintMessage(SJ("nc16: 標準出力が閉じられたため書き込めません (読み手が先に終了しました)"));
  else
    PrintMessage(SJ("nc16: 標準出力に書き込めません: ") + Utf8ToCp932(std::strerror(err)));
  return status != 0 ? status : failure;
}

}  // namespace nc16::cli
