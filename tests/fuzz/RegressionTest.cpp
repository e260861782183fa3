// The seeds of the fuzzers beyond the table reader and every input that once made one of them
// fail, replayed: each must end cleanly, with every property the fuzzer checks holding (a broken
// one aborts). Kept inputs are named <area>-<anything>, the area being the fuzzer's folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "fuzz/holder/FuzzInput.h"
#include "fuzz/launch/FuzzInput.h"
#include "fuzz/passwords/FuzzInput.h"
#include "fuzz/profile/FuzzInput.h"
#include "fuzz/qvcrypt/FuzzInput.h"
#include "fuzz/sql/FuzzInput.h"
#include "fuzz/vnprotect/FuzzInput.h"

namespace nc16 {
namespace {

const std::map<std::string, std::function<void(std::string_view)>> kAreas = {
    {"qvcrypt", qve::fuzz::RunInput},   {"profile", platform::fuzz::RunInput},
    {"launch", launch::fuzz::RunInput}, {"vnprotect", vn::fuzz::RunInput},
    {"sql", db::fuzz::RunInput},        {"passwords", passwords::fuzz::RunInput},
    {"holder", holder::fuzz::RunInput},
};

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzRegression, SeedsAndKeptInputsEndCleanly) {
  for (const auto& [area, run] : kAreas) {
    int seeds = 0;
    for (const auto& e : std::filesystem::directory_iterator(
             std::filesystem::path(NC16_SOURCE_DIR) / "fuzz" / area / "seeds")) {
      SCOPED_TRACE(e.path().string());
      run(ReadAll(e.path()));
      ++seeds;
    }
    EXPECT_GT(seeds, 0) << area;
  }
  for (const auto& e : std::filesystem::directory_iterator(NC16_FUZZ_REGRESSIONS_DIR)) {
    const std::string name = e.path().filename().string();
    if (name.starts_with("README")) continue;
    SCOPED_TRACE(name);
    const auto area = kAreas.find(name.substr(0, name.find('-')));
    ASSERT_NE(area, kAreas.end()) << "no fuzzer area named by " << name;
    area->second(ReadAll(e.path()));
  }
}

}  // namespace
}  // namespace nc16
