#include "platform/SecretFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/OSError.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

std::string WriteSecret(const testing::TempFolder& dir, const std::string& content, mode_t mode) {
  std::string path = dir / "secret";
  std::ofstream(path, std::ios::binary) << content;
  ::chmod(path.c_str(), mode);
  return path;
}

TEST(SecretFile, FirstLineWithoutItsBreak) {
  testing::TempFolder dir;
  for (auto [content, expected] : {std::pair{"pw\nsecond\n", "pw"},
                                   {"pw\r\n", "pw"},
                                   {"pw", "pw"},
                                   {"", ""},
                                   {" a b \n", " a b "}}) {
    EXPECT_EQ(platform::ReadSecretFile(WriteSecret(dir, content, 0600)), expected) << content;
  }
}

TEST(SecretFile, EveryLineWithoutItsBreak) {
  testing::TempFolder dir;
  using Lines = std::vector<std::string>;
  for (auto [content, expected] :
       {std::pair{"a\nb\r\n\nc", Lines{"a", "b", "", "c"}}, {"a\n", Lines{"a"}}, {"", Lines{}}}) {
    EXPECT_EQ(platform::ReadSecretFileLines(WriteSecret(dir, content, 0600)), expected) << content;
  }
}

TEST(SecretFile, RefusesFilesOthersCanReadAndSpecialFiles) {
  testing::TempFolder dir;
  for (mode_t mode : {0640, 0604, 0660}) {
    EXPECT_THROW(platform::ReadSecretFile(WriteSecret(dir, "pw\n", mode)), EOSError) << mode;
    EXPECT_THROW(platform::ReadSecretFileLines(WriteSecret(dir, "pw\n", mode)), EOSError) << mode;
  }
  std::string fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, dir.Path().string(), (dir / "missing")}) {
    EXPECT_THROW(platform::ReadSecretFile(path), EOSError) << path;
    EXPECT_THROW(platform::ReadSecretFileLines(path), EOSError) << path;
  }
}

}  // namespace
}  // namespace nc16
