#pragma once
// Environment lookups of the POSIX stand-ins.

#include <cstdlib>
#include <optional>
#include <string>

namespace nc16::platform::posix {

// The variable's value, or nothing when it is unset.
inline std::optional<std::string> Env(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

// The variable's value, or `fallback` when it is unset or empty.
inline std::string EnvOr(const char* name, std::string fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::string(v) : fallback;
}

}  // namespace nc16::platform::posix
