// The program's first step: one wizard at a time, none beside the payroll family.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

}  // namespace
}  // namespace nc16::test
