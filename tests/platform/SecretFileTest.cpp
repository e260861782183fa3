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

// The check is on the file's mode, so it holds for root too, whom no permission stops reading.
TEST(SecretFile, RefusesFilesOthersCanReadOrWriteAndSpecialFiles) {
  testing::TempFolder dir;
  // Readable, and (whoever may write the file chooses the secret) writable or executable alone.
  for (mode_t mode : {0640, 0604, 0660, 0620, 0602, 0610, 0601, 0622}) {
    SCOPED_TRACE(mode);
    for (auto read : {+[](std::string_view p) { (void)platform::ReadSecretFile(p); },
                      +[](std::string_view p) { (void)platform::ReadSecretFileLines(p); }}) {
      try {
        read(WriteSecret(dir, "pw\n", mode));
        ADD_FAILURE() << "accepted";
      } catch (const EOSError& e) {
        EXPECT_NE(std::string(e.what()).find("0600 or stricter"), std::string::npos) << e.what();
      }
    }
  }
  for (mode_t mode : {0600, 0400, 0700}) {
    EXPECT_EQ(platform::ReadSecretFile(WriteSecret(dir, "pw\n", mode)), "pw") << mode;
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
