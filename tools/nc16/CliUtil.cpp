#include "tools/nc16/CliUtil.h"

#include <algorithm>
#include <iostream>

#include "platform/Cp932.h"

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

Options::Options(std::span<char* const> args, std::vector<std::string_view> with_value,
                 std::vector<std::string_view> flags) {
  auto contains = [](const std::vector<std::string_view>& v, std::string_view s) {
    return std::find(v.begin(), v.end(), s) != v.end();
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
    if (contains(with_value, name)) {
      if (inline_value) {
        values_.emplace_back(name, *inline_value);
      } else if (i + 1 < args.size()) {
        values_.emplace_back(name, args[++i]);
      } else {
        error_ = "option --" + name + " needs a value";
        return;
      }
    } else if (contains(flags, name) && !inline_value) {
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

}  // namespace nc16::cli
