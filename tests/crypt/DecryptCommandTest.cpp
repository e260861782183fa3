// nc16 decrypt as a user runs it: a real process, its exit status, its stderr and its output
// file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/crypt/CryptTestUtil.h"

extern char** environ;

namespace nc16::test {
namespace {

struct CommandRun {
  int status = -1;
  std::string err;
};

CommandRun RunNc16(const TempFolder& dir, std::vector<std::string> args) {
  args.insert(args.begin(), NC16_BIN);
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string err_file = (dir / "stderr.txt").string();
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  CommandRun r;
  if (posix_spawn(&pid, NC16_BIN, &fa, nullptr, argv.data(), environ) == 0) {
    int ws = 0;
    ::waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  }
  posix_spawn_file_actions_destroy(&fa);
  r.err = ReadBytes(err_file);
  std::filesystem::remove(err_file);
  return r;
}

TEST(DecryptCommand, PasswordAndBase64KeyGiveExactlyThePlaintext) {
  TempFolder dir;
  const std::string data = Pattern(70000) + std::string("\0tail", 5);
  ASSERT_EQ(EncryptPassword(data, dir / "p.qve", "pw"), QVCRYPT_OK);
  CommandRun r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "p.qve"), (dir / "p.xml")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "p.xml"), data);

  // "QUJD" is "ABC"; the trailing "AAAA" decodes to zero bytes that end the key.
  ASSERT_EQ(EncryptKey(data, dir / "k.qve", "ABC"), QVCRYPT_OK);
  r = RunNc16(dir, {"decrypt", "--key", "QUJDAAAA", (dir / "k.qve"), (dir / "k.xml")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "k.xml"), data);
}

TEST(DecryptCommand, FailuresExplainAndWriteNothing) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword("secret", dir / "p.qve", "pw"), QVCRYPT_OK);
  WriteBytes(dir / "keep.xml", "old output");

  CommandRun r =
      RunNc16(dir, {"decrypt", "--password", "wrong", (dir / "p.qve"), (dir / "keep.xml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("パスワードが違うか"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(dir / "keep.xml"), "old output");

  r = RunNc16(dir, {"decrypt", "--key", "QUJD", (dir / "p.qve"), (dir / "out.xml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--password"), std::string::npos) << r.err;

  std::string cut = ReadBytes(dir / "p.qve");
  WriteBytes(dir / "cut.qve", cut.substr(0, cut.size() - 1));
  r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "cut.qve"), (dir / "out.xml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cut.qve"), std::string::npos) << r.err;

  r = RunNc16(dir, {"decrypt", "--password", "pw", "--key", "QUJD", (dir / "p.qve"), "o"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"cut.qve", "keep.xml", "p.qve"}));
}

}  // namespace
}  // namespace nc16::test
