#pragma once
// What the tests need from the system in a form that builds on POSIX and Windows alike: a fresh
// private temporary folder, and setting or removing an environment variable.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <stdlib.h>
// SetEnvironmentVariableA alone, without windows.h and its macros (WriteProfileString...).
#include <windef.h>
// After windef.h, which it needs.
#include <processenv.h>
#else
#include <unistd.h>
#endif

namespace nc16::testing {

// Creates a new folder "<temp>/<prefix>-XXXXXX" (mkdtemp; on Windows a random name made with
// create_directory, which fails when the name exists) and gives its path.
inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
#ifdef _WIN32
  static std::mt19937_64 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto path = std::filesystem::temp_directory_path() /
                (prefix + "-" + std::to_string(rng() % 1000000000));
    if (std::filesystem::create_directory(path)) return path;
  }
  throw std::runtime_error("no temporary folder");
#else
  std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return tmpl;
#endif
}

// Sets the variable, or removes it with nullopt. On Windows the C runtime's copy cannot hold an
// empty variable (setting one to "" removes it); the process's environment, where the program
// reads, can.
inline void SetEnv(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
  ::_putenv_s(name, value ? value->c_str() : "");
  if (value && value->empty()) ::SetEnvironmentVariableA(name, "");
#else
  if (value)
    ::setenv(name, value->c_str(), 1);
  else
    ::unsetenv(name);
#endif
}

}  // namespace nc16::testing
