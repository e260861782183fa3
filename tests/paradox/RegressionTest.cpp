// Every input that once made a fuzzer fail, replayed: an error is fine, a crash is not. Files are
// named <target>-<anything>; "table" inputs are .DB bytes, "blob" inputs a .DB and .MB pair in the
// fuzzer's format (see fuzz/paradox/FuzzInput.h).

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/paradox/FuzzInput.h"
#include "tests/paradox/TestDir.h"

namespace nc16::px {
namespace {

TEST(RegressionTest, EveryKeptInputEndsCleanly) {
  int replayed = 0;
  for (const auto& e : std::filesystem::directory_iterator(NC16_PX_REGRESSIONS_DIR)) {
    const std::string name = e.path().filename().string();
    if (name.starts_with("README")) continue;
    SCOPED_TRACE(name);
    // Any other name would be replayed as the wrong kind of input.
    ASSERT_TRUE(name.starts_with("table-") || name.starts_with("blob-"));
    const std::string data = test::ReadFile(e.path());
    if (name.starts_with("blob-"))
      fuzz::RunBlobInput(data);
    else
      fuzz::RunTableInput(data);
    ++replayed;
  }
  // The folder holds kept inputs: none found means the test looked in the wrong place.
  EXPECT_GT(replayed, 0) << NC16_PX_REGRESSIONS_DIR;
}

}  // namespace
}  // namespace nc16::px
