// The program's first step: one wizard at a time, none beside the payroll family.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "app/ProgramStart.h"
#include "app/flow/Startup.h"
#include "tests/app/WizardFixture.h"
#include "tests/platform/TempFolder.h"

namespace nc16::test {
namespace {

using ProgramStart = WizardFixture;

TEST_F(ProgramStart, OnlyOneInstance) {
  std::optional<platform::NamedMutex> first = ClaimProgramMutex(boxes_);
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(*first);
  EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
  ExpectNoBox();  // silently
  first.reset();
  EXPECT_TRUE(ClaimProgramMutex(boxes_).has_value());
}

TEST_F(ProgramStart, RunningSiblingIsWarnedAbout) {
  for (std::string_view name : {SiblingProductMutexes().front(), SiblingProductMutexes().back()}) {
    platform::NamedMutex sibling = platform::NamedMutex::Create(name);
    EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
    ExpectOneBox(MessageKind::kWarning,
                 "「ミルベク給与」又はそれに関連する製品が起動中です。\r"
                 "終了してから再度やり直して下さい。");
    // The program's own marker was not created.
    EXPECT_FALSE(platform::NamedMutex::Open(kOwnMutexName));
  }
  EXPECT_EQ(SiblingProductMutexes().size(), 22u);
}

TEST_F(ProgramStart, AMarkerThatCannotBeCreatedIsAStartUpStop) {
  const std::string folder = std::string(std::getenv("NC16_LOCK_DIR")) + "/missing";
  nc16::testing::ScopedEnv missing("NC16_LOCK_DIR", folder);
  EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
  ExpectOneBox(MessageKind::kError,
               QString::fromStdString("ミューテックス MVKTONC16 を作成できません: " + folder +
                                      "/MVKTONC16.mutex: No such file or directory\r\r"
                                      "ﾌﾟﾛｸﾞﾗﾑを強制終了します。"));
}

// The built program, as a second instance, ends at once without a window.
TEST_F(ProgramStart, SecondProgramEndsSilently) {
  platform::NamedMutex held = platform::NamedMutex::Create(kOwnMutexName);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(NC16_WIZARD_BINARY, NC16_WIZARD_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  bool ended = false;
  // A wizard that did not end would sit in its event loop; give it ten seconds at most.
  for (int i = 0; i < 1000 && !ended; ++i) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << "the second instance did not end";
  }
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The built program started by a launcher, then killed (kill, Ctrl+C, its terminal closed): it
// ends as a close does, so the launcher's window is enabled again and told "not finished" (2).
TEST_F(ProgramStart, SignalsEndTheWizardAsAClose) {
  FakeLauncher launcher(env_->Root());
  const std::string argument = "77,1025,5," + (env_->OutFolder() / "s.xml.qve").string() + ",a2V5";
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    const size_t before = launcher.Received().size();
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::signal(signal_number, SIG_DFL);  // as from a terminal, whoever runs the tests
      ::execl(NC16_WIZARD_BINARY, NC16_WIZARD_BINARY, argument.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Up once it has disabled the launcher's window.
    for (int i = 0; i < 1000 && launcher.Received().size() == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, signal_number);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 1000 && !ended; ++i) {
      ended = ::waitpid(pid, &status, WNOHANG) == pid;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      FAIL() << "the wizard did not end";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::vector<std::string> all = launcher.Received();
    EXPECT_EQ(
        std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()),
        std::vector<std::string>({"EnableWindow 77 0", "SetForegroundWindow 77",
                                  "EnableWindow 77 1", "PostMessage 77 1025 5 2"}));
  }
}

}  // namespace
}  // namespace nc16::test
