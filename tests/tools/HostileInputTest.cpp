// nc16 as an unlucky or hostile user runs it: arguments that code page 932 cannot hold, outputs
// that would destroy payroll data or special files, a standard output that cannot be written,
// secrets kept off the command line (files, a real terminal), a lost log record, and the causes
// printed after a failure.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/tools/DemoTestSupport.h"

namespace nc16::demo::test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteSecretFile(const fs::path& file, const std::string& line, fs::perms mode) {
  std::ofstream(file, std::ios::binary) << line << "\n";
  fs::permissions(file, mode);
}

struct TerminalRun {
  int status = -1;
  std::string screen;  // all that the program wrote to the terminal
};

// Runs nc16 with a pseudo-terminal as its standard input, output and error, as a user at a
// terminal runs it: each prompt of `dialogue`, once it has appeared, is answered with its line.
TerminalRun RunAtTerminal(std::vector<std::string> args,
                          const std::vector<std::pair<std::string, std::string>>& dialogue) {
  args.insert(args.begin(), NC16_CLI);
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  TerminalRun r;
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid < 0) return r;
  if (pid == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  size_t next = 0, seen = 0;
  char buf[4096];
  while (true) {
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // EIO once the program has ended and closed the terminal
    r.screen.append(buf, static_cast<size_t>(n));
    size_t at;
    while (next < dialogue.size() &&
           (at = r.screen.find(dialogue[next].first, seen)) != std::string::npos) {
      seen = at + dialogue[next].first.size();
      const std::string line = dialogue[next++].second + "\n";
      if (::write(master, line.data(), line.size()) != static_cast<ssize_t>(line.size())) break;
    }
  }
  int ws = 0;
  ::waitpid(pid, &ws, 0);
  ::close(master);
  r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
  return r;
}

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    const DemoInstallation& inst = GeneratedFor(700005).installation;
    setenv("NC16_REGISTRY", Cp932ToUtf8(inst.registry_file).c_str(), 1);
    setenv("NC16_COMMON_APPDATA", Cp932ToUtf8(inst.common_appdata).c_str(), 1);
    setenv("NC16_LOCK_DIR", tmp_.Path().c_str(), 1);
    data_ = Cp932ToUtf8(inst.data_sets[0].folder);
    mn_password_ = Cp932ToUtf8(inst.my_number_password);
  }

  // Runs "nc16 ARGS" in a shell, stdin from /dev/null and stdout to `out` (a redirection's
  // target); stderr is kept in err_.
  int Run(const std::string& args, const std::string& out = "/dev/null") {
    const std::string command = std::string(NC16_CLI) + " " + args + " </dev/null >" + out +
                                " 2>'" + (tmp_.Path() / "stderr").string() + "'";
    const int status = std::system(command.c_str());
    err_ = ReadFile(tmp_.Path() / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Tmp(const std::string& name) const { return (tmp_.Path() / name).string(); }

  // A copy of the My Number data set, to be damaged.
  std::string CopyOfDataSet() {
    fs::copy(data_, tmp_.Path() / "copy", fs::copy_options::recursive);
    return Tmp("copy");
  }

  testing::TempFolder tmp_;
  std::string data_;  // DAT001, a company that uses My Number
  std::string mn_password_;
  std::string err_;
};

TEST_F(HostileInput, ArgumentsThatCodePage932CannotHoldAreRefused) {
  const std::string face = "\U0001F600";
  const std::string export_mn = "export --data-folder '" + data_ + "' --my-number --output " +
                                Tmp("a.xml") + " --mn-password ";
  struct Case {
    std::string args, named;
  } cases[] = {
      {"export --data-folder '" + data_ + "' --output " + Tmp(face + "x.xml"), "--output"},
      {"export --data-folder " + Tmp(face) + " --output " + Tmp("a.xml"), "--data-folder"},
      {export_mn + face, "--mn-password"},
      {export_mn + mn_password_ + " --password " + face + face, "--password"},
      {"export --data-folder '" + data_ + "' --output a.xml --launcher-key " + face,
       "--launcher-key"},
      {"pxdump --folder '" + data_ + "' --sql \"SELECT '" + face + "' FROM mKaisya\"", "--sql"},
      {"pxdump --folder " + Tmp(face) + " --sql 'SELECT 1'", "--folder"},
      {"vnprotect encode " + face, "TEXT"},
      {"demo-data --root " + Tmp(face), "--root"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), 2) << c.args << "\n" << err_;
    EXPECT_NE(err_.find(c.named), std::string::npos) << err_;
  }
  // Nothing was written under a "?" name either.
  for (const auto& entry : fs::directory_iterator(tmp_.Path()))
    EXPECT_EQ(entry.path().filename().string().find('?'), std::string::npos) << entry.path();
}

TEST_F(HostileInput, OutputNamingATableFileIsRefused) {
  const std::string copy = CopyOfDataSet();
  for (const char* table : {"tMNLog.DB", "mSyain.DB", "mSyain.PX", "msyain.db", "mSyain.X02"}) {
    const fs::path file = fs::path(copy) / table;
    const std::string before = fs::exists(file) ? ReadFile(file) : "";
    EXPECT_EQ(Run("export --data-folder '" + copy + "' --output '" + file.string() + "'"), 4)
        << table;
    EXPECT_TRUE(err_.starts_with("給与ﾃﾞｰﾀのﾃｰﾌﾞﾙと同じ種類のﾌｧｲﾙ名")) << err_;
    EXPECT_EQ(fs::exists(file) ? ReadFile(file) : "", before) << table;
  }
  // Also when a launcher names the file.
  EXPECT_EQ(Run("export --data-folder '" + copy + "' --output '" + copy +
                "/tMNLog.DB' --launcher-key c2VjcmV0LWtleQ=="),
            4);
}

TEST_F(HostileInput, StandardOutputErrorsAreFailures) {
  const std::string data = "'" + data_ + "'";
  for (const std::string& args : {
           std::string("version"),
           std::string("--help"),
           std::string("vnprotect encode abc"),
           "pxdump " + data + "/mSyain.DB",
           "pxdump --folder " + data + " --sql 'SELECT Version FROM mKaisya'",
           "demo-data --root " + Tmp("demo") + " --employees 1",
           "export --data-folder " + data + " --output " + Tmp("s.xml"),
       }) {
    EXPECT_NE(Run(args, "/dev/full"), 0) << args;
    EXPECT_NE(err_.find("標準出力に書き込めません: No space left on device"), std::string::npos)
        << args << "\n"
        << err_;
  }
}

TEST_F(HostileInput, SpecialFilesAreRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(Tmp("fifo").c_str(), 0600), 0);
  // Opening a FIFO as a table waited for a writer for ever.
  EXPECT_EQ(Run("pxdump " + Tmp("fifo")), 1);
  EXPECT_NE(err_.find("通常のファイルではありません"), std::string::npos) << err_;

  std::ofstream(Tmp("target")) << "kept";
  fs::create_symlink(Tmp("target"), Tmp("link.xml"));
  for (const char* out : {"fifo", "link.xml"}) {
    EXPECT_EQ(Run("export --data-folder '" + data_ + "' --output " + Tmp(out)), 4) << out;
    EXPECT_NE(err_.find("は通常のファイルではない"), std::string::npos) << err_;
  }
  EXPECT_TRUE(fs::is_fifo(Tmp("fifo")));
  EXPECT_TRUE(fs::is_symlink(Tmp("link.xml")));
  EXPECT_EQ(ReadFile(Tmp("target")), "kept");
}

// Secrets from files, read back by decrypt; the log record that could not be written is a
// status of its own.
TEST_F(HostileInput, SecretFilesAndAMissingLogRecord) {
  const std::string copy = CopyOfDataSet();
  fs::remove(fs::path(copy) / "tMNLog.DB");
  WriteSecretFile(Tmp("mn"), mn_password_, fs::perms::owner_read);
  WriteSecretFile(Tmp("pw"), "file pw", fs::perms::owner_read | fs::perms::owner_write);
  WriteSecretFile(Tmp("open"), "file pw", fs::perms::owner_read | fs::perms::others_read);
  const std::string export_args = "export --data-folder '" + copy + "' --output " + Tmp("f.xml") +
                                  " --my-number --mn-password-file " + Tmp("mn");

  EXPECT_EQ(Run(export_args + " --password-file " + Tmp("open")), 2);
  EXPECT_NE(err_.find("--password-file"), std::string::npos) << err_;
  EXPECT_EQ(Run(export_args + " --password-file " + Tmp("pw") + " --password x"), 2);
  EXPECT_FALSE(fs::exists(Tmp("f.xml.qve")));

  EXPECT_EQ(Run(export_args + " --password-file " + Tmp("pw")), 6) << err_;
  EXPECT_NE(err_.find("ﾃﾞｰﾀﾍﾞｰｽｴﾝｼﾞﾝｴﾗｰ"), std::string::npos) << err_;
  EXPECT_NE(err_.find("中間ﾌｧｲﾙが作成されました。"), std::string::npos) << err_;
  EXPECT_NE(err_.find("マイナンバー出力ログ (tMNLog.DB) に記録できませんでした"), std::string::npos)
      << err_;
  ASSERT_EQ(Run("decrypt --password-file " + Tmp("pw") + " " + Tmp("f.xml.qve") + " -", Tmp("out")),
            0)
      << err_;
  EXPECT_TRUE(ReadFile(Tmp("out")).starts_with("<?xml")) << err_;
}

TEST_F(HostileInput, SecretsAreAskedOnTheTerminalWithoutEcho) {
  const std::vector<std::string> args = {"export",   "--data-folder", data_,
                                         "--output", Tmp("t.xml"),    "--my-number"};
  TerminalRun r = RunAtTerminal(args, {{"マイナンバー管理パスワード: ", mn_password_},
                                       {"暗号化パスワード: ", "typed pw"},
                                       {"もう一度入力してください: ", "typed pw"}});
  ASSERT_EQ(r.status, 0) << r.screen;
  EXPECT_EQ(r.screen.find(mn_password_), std::string::npos) << r.screen;
  EXPECT_EQ(r.screen.find("typed pw"), std::string::npos) << r.screen;
  EXPECT_NE(r.screen.find("中間ﾌｧｲﾙが作成されました。"), std::string::npos) << r.screen;

  // decrypt asks once; the password typed at the export opens the file.
  r = RunAtTerminal({"decrypt", Tmp("t.xml.qve"), Tmp("t.dec")}, {{"パスワード: ", "typed pw"}});
  EXPECT_EQ(r.status, 0) << r.screen;
  EXPECT_TRUE(ReadFile(Tmp("t.dec")).starts_with("<?xml"));

  // A new password typed differently the second time is refused before anything is written.
  r = RunAtTerminal(args, {{"マイナンバー管理パスワード: ", mn_password_},
                           {"暗号化パスワード: ", "one"},
                           {"もう一度入力してください: ", "other"}});
  EXPECT_EQ(r.status, 2) << r.screen;
  EXPECT_NE(r.screen.find("differ"), std::string::npos) << r.screen;
}

TEST_F(HostileInput, CausesFollowTheFailureMessage) {
  // A launcher's key that decodes to nothing fails the crypt library.
  EXPECT_EQ(Run("export --data-folder '" + data_ + "' --launcher-key '!!!!' --output " +
                Tmp("k.xml.qve")),
            4);
  EXPECT_NE(err_.find("中間ﾌｧｲﾙの作成に失敗しました。\n" + Tmp("k.xml.qve") +
                      ": キーが空です (Base64 の復号結果が空か、0 のバイトだけです) (1)"),
            std::string::npos)
      << err_;
  // A missing output folder is said before the work, in the file page's words.
  const std::string missing = Tmp("missing");
  EXPECT_EQ(Run("export --data-folder '" + data_ + "' --output " + missing + "/e.xml"), 4);
  EXPECT_NE(err_.find("指定されたﾌｫﾙﾀﾞが見つかりません。\n" + missing + "\n"), std::string::npos)
      << err_;
  // A folder that cannot be read reads as one without payroll data; the cause says why, in
  // Japanese whatever the locale.
  EXPECT_EQ(Run("export --data-folder " + missing + " --output " + Tmp("e.xml")), 4);
  EXPECT_NE(err_.find("選び直してください。\n" + missing + ": 指定されたパスが見つかりません"),
            std::string::npos)
      << err_;
  if (::geteuid() == 0) return;  // root reads every folder
  const std::string locked = CopyOfDataSet();
  fs::permissions(locked, fs::perms::none);
  EXPECT_EQ(Run("export --data-folder " + locked + " --output " + Tmp("e.xml")), 4);
  fs::permissions(locked, fs::perms::owner_all);
  EXPECT_NE(err_.find("\n" + locked + ": アクセスが拒否されました"), std::string::npos) << err_;
}

}  // namespace
}  // namespace nc16::demo::test
