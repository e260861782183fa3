// nc16 decrypt as a user runs it: a real process, its exit status, its stderr and its output
// file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/crypt/CryptTestUtil.h"

extern char** environ;

namespace nc16::test {
namespace {

struct CommandRun {
  int status = -1;
  std::string err;
  std::string out;
};

// Where the command's standard output goes: a file (read back into CommandRun::out), or a pipe
// whose reader has already ended, as with `| head -c1` once head has its byte.
enum class Stdout { kFile, kPipeWithoutReader };

// Runs nc16 with `args`, stdin from /dev/null, SIGPIPE at its default whatever the test's own
// disposition; `limit_kib`, when given, caps the process's address space (ulimit -v) through a
// shell in between.
CommandRun RunNc16(const TempFolder& dir, std::vector<std::string> args, long limit_kib = 0,
                   Stdout to = Stdout::kFile) {
  args.insert(args.begin(), NC16_BIN);
  if (limit_kib != 0)
    args.insert(
        args.begin(),
        {"/bin/sh", "-c", "ulimit -v " + std::to_string(limit_kib) + " && exec \"$0\" \"$@\""});
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string err_file = (dir / "stderr.txt").string();
  const std::string out_file = (dir / "stdout.txt").string();
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  int pipe_ends[2] = {-1, -1};
  if (to == Stdout::kPipeWithoutReader) {
    if (::pipe2(pipe_ends, O_CLOEXEC) != 0) return {};
    ::close(pipe_ends[0]);
    posix_spawn_file_actions_adddup2(&fa, pipe_ends[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&fa, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  posix_spawn_file_actions_addopen(&fa, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t sigpipe;
  sigemptyset(&sigpipe);
  sigaddset(&sigpipe, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &sigpipe);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  CommandRun r;
  if (posix_spawn(&pid, argv[0], &fa, &attr, argv.data(), environ) == 0) {
    int ws = 0;
    ::waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  }
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&fa);
  if (pipe_ends[1] >= 0) ::close(pipe_ends[1]);
  r.err = ReadBytes(err_file);
  if (to == Stdout::kFile) r.out = ReadBytes(out_file);
  std::filesystem::remove(err_file);
  std::filesystem::remove(out_file);
  return r;
}

TEST(DecryptCommand, PasswordAndBase64KeyGiveExactlyThePlaintext) {
  TempFolder dir;
  const std::string data = Pattern(70000) + std::string("\0tail", 5);
  ASSERT_EQ(EncryptPassword(data, dir / "p.qve", "pw"), QVCRYPT_OK);
  CommandRun r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "p.qve"), (dir / "p.xml")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "p.xml"), data);

  // "QUJDAAAA" is "ABC" and a zero byte (the quirks drop zeros in a group's second and third
  // place), which is the key's as much as the others.
  ASSERT_EQ(EncryptKey(data, dir / "k.qve", std::string("ABC\0", 4)), QVCRYPT_OK);
  r = RunNc16(dir, {"decrypt", "--key", "QUJDAAAA", (dir / "k.qve"), (dir / "k.xml")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(dir / "k.xml"), data);
  r = RunNc16(dir, {"decrypt", "--key", "QUJD", (dir / "k.qve"), (dir / "k2.xml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "k2.xml"));
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
  // No secret, and no terminal to ask on.
  r = RunNc16(dir, {"decrypt", (dir / "p.qve"), (dir / "o")});
  EXPECT_EQ(r.status, 2);
  // A password or a path that code page 932 cannot hold would otherwise become "?".
  r = RunNc16(dir, {"decrypt", "--password", "\U0001F600", (dir / "p.qve"), (dir / "o")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--password"), std::string::npos) << r.err;
  r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "p.qve"), (dir / "\U0001F600o")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("OUT"), std::string::npos) << r.err;
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"cut.qve", "keep.xml", "p.qve"}));
}

TEST(DecryptCommand, SecretsFromFilesAndPlaintextToStandardOutput) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword("plain text", dir / "p.qve", "pw"), QVCRYPT_OK);
  ASSERT_EQ(EncryptKey("key text", dir / "k.qve", "ABC"), QVCRYPT_OK);
  auto secret_file = [&](const char* name, const std::string& line, std::filesystem::perms mode) {
    WriteBytes(dir / name, line);
    std::filesystem::permissions(dir / name, mode);
    return (dir / name).string();
  };
  using std::filesystem::perms;
  const std::string pw = secret_file("pw.txt", "pw\n", perms::owner_read);
  const std::string key =
      secret_file("key.txt", "QUJD\r\n", perms::owner_read | perms::owner_write);
  const std::string shared =
      secret_file("shared.txt", "pw\n", perms::owner_read | perms::group_read);

  CommandRun r = RunNc16(dir, {"decrypt", "--password-file", pw, (dir / "p.qve"), "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "plain text");
  r = RunNc16(dir, {"decrypt", "--key-file", key, (dir / "k.qve"), "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "key text");
  // A file that others can read is refused, as is giving the secret twice.
  r = RunNc16(dir, {"decrypt", "--password-file", shared, (dir / "p.qve"), "-"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("shared.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  r = RunNc16(dir, {"decrypt", "--password", "pw", "--password-file", pw, (dir / "p.qve"), "-"});
  EXPECT_EQ(r.status, 2);
  // A zero byte would end the password in the library: "pw\0x" is refused, never taken as "pw".
  const std::string zero = secret_file("zero.txt", std::string("pw\0x\n", 5), perms::owner_read);
  r = RunNc16(dir, {"decrypt", "--password-file", zero, (dir / "p.qve"), "-"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("zero byte"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

// `nc16 decrypt IN - | head -c1`: the reader ends before the plaintext is written. The command
// says so and fails with its documented status instead of dying of SIGPIPE (status 141).
TEST(DecryptCommand, AStandardOutputWhoseReaderHasEndedIsReported) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword(Pattern(200000), dir / "p.qve", "pw"), QVCRYPT_OK);
  CommandRun r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "p.qve"), "-"}, 0,
                         Stdout::kPipeWithoutReader);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("nc16: 標準出力が閉じられたため書き込めません"), std::string::npos) << r.err;
}

TEST(DecryptCommand, SpecialFilesAreRefusedAtOnce) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword("secret", dir / "p.qve", "pw"), QVCRYPT_OK);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  WriteBytes(dir / "target", "kept");
  std::filesystem::create_symlink(dir / "target", dir / "link");
  std::filesystem::create_directory(dir / "folder");
  // A device of the test's own (never one under /dev): only root may make one.
  const bool device = ::mknod((dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  struct Case {
    std::string in, out;
  } cases[] = {
      {"fifo", "out"},  // would wait for a writer for ever
      {"p.qve", "fifo"},
      {"p.qve", "link"},  // the rename would replace the link, or a device, by a plain file
      {"p.qve", "device"},
      {"p.qve", "folder"},
  };
  for (const Case& c : cases) {
    if (c.out == "device" && !device) continue;
    CommandRun r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / c.in), (dir / c.out)});
    EXPECT_EQ(r.status, 1) << c.in << " " << c.out;
    EXPECT_NE(r.err.find(c.in == "fifo" ? c.in : c.out), std::string::npos) << r.err;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
  EXPECT_TRUE(!device || std::filesystem::is_character_file(dir / "device"));
  EXPECT_EQ(ReadBytes(dir / "target"), "kept");
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

// OUT that is IN under any name would replace the encrypted file by its plaintext.
TEST(DecryptCommand, AnOutThatIsTheInFileIsRefused) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword("secret", dir / "p.qve", "pw"), QVCRYPT_OK);
  const std::string encrypted = ReadBytes(dir / "p.qve");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_hard_link(dir / "p.qve", dir / "hard.qve");
  for (const std::string out : {dir / "p.qve", dir / "sub/../p.qve", dir / "./hard.qve"}) {
    CommandRun r = RunNc16(dir, {"decrypt", "--password", "pw", (dir / "p.qve"), out});
    EXPECT_EQ(r.status, 1) << out;
    EXPECT_NE(r.err.find(out + " は IN ("), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(dir / "p.qve"), encrypted) << out;
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"hard.qve", "p.qve", "sub"}));
}

// The plaintext buffer grows as chunks authenticate: a file claiming 1.9 GB whose first chunk
// fails costs one chunk, so a wrong password is told as such within a small address space
// (the password hash takes 256 MiB of it).
TEST(DecryptCommand, WrongPasswordForAHugeFileIsFoundWithLittleMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
#endif
  TempFolder dir;
  ASSERT_EQ(EncryptPassword(Pattern(100000), dir / "big.qve", "pw"), QVCRYPT_OK);
  std::filesystem::resize_file(dir / "big.qve", 1900ull << 20);  // sparse
  CommandRun r =
      RunNc16(dir, {"decrypt", "--password", "wrong", (dir / "big.qve"), (dir / "o")}, 700 << 10);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("(11)"), std::string::npos) << r.err;  // not out of memory (13)
}

}  // namespace
}  // namespace nc16::test
