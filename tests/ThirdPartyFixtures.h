#pragma once
// The Paradox tables that other programs wrote, read in place from the folder beside the clone
// (NC16_FIXTURES_DIR, ../shared/fixtures/paradox). A test that reads them starts with
// NC16_NEEDS_FIXTURES(): without the folder it is skipped with a message that names the folder,
// or fails when NC16_REQUIRE_FIXTURES is set, as it is in CI.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace nc16::test {

inline std::optional<std::string> MissingFixtures() {
  std::error_code ec;
  if (std::filesystem::is_directory(NC16_FIXTURES_DIR, ec)) return std::nullopt;
  return "the third-party Paradox tables are not there: " NC16_FIXTURES_DIR
         " (a clone needs ../shared/fixtures/paradox beside it)";
}

}  // namespace nc16::test

#define NC16_NEEDS_FIXTURES()                                                  \
  do {                                                                         \
    if (const auto missing = ::nc16::test::MissingFixtures()) {                \
      if (std::getenv("NC16_REQUIRE_FIXTURES") != nullptr) FAIL() << *missing; \
      GTEST_SKIP() << *missing;                                                \
    }                                                                          \
  } while (false)
