#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::ScopedEnv;
using nc16::testing::TempFolder;

class NamedMutexTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  ScopedEnv lock_dir_{"NC16_LOCK_DIR", dir_.Path().string()};
};

// Runs `probe` in a child process and returns its exit status: the view of another process.
int InChild(const std::function<int()>& probe) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(probe());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

int SeenByOtherProcess(const std::string& name) {
  return InChild([&] { return NamedMutex::Open(name) ? 1 : 0; });
}

TEST_F(NamedMutexTest, ExistsExactlyWhileAHandleHoldsIt) {
  EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
  {
    NamedMutex own = NamedMutex::Create("MVKTONC16");
    ASSERT_TRUE(own);
    EXPECT_TRUE(NamedMutex::Open("MVKTONC16"));
    EXPECT_EQ(SeenByOtherProcess("MVKTONC16"), 1);
    // Names are exact: another case is another mutex, as on Windows.
    EXPECT_FALSE(NamedMutex::Open("mvktonc16"));
  }
  EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
  EXPECT_EQ(SeenByOtherProcess("MVKTONC16"), 0);
  // The probe that found nobody has tidied the lock file away.
  EXPECT_TRUE(FolderEntries(dir_.Path()).empty());
}

TEST_F(NamedMutexTest, SeveralHandlesShareOneMutex) {
  NamedMutex first = NamedMutex::Create("shared");
  NamedMutex second = NamedMutex::Create("shared");
  ASSERT_TRUE(first && second);
  first.Close();
  EXPECT_TRUE(NamedMutex::Open("shared"));
  // An opened handle keeps the mutex alive too.
  NamedMutex opened = NamedMutex::Open("shared");
  second.Close();
  EXPECT_EQ(SeenByOtherProcess("shared"), 1);
  NamedMutex moved = std::move(opened);
  EXPECT_FALSE(opened);  // NOLINT(bugprone-use-after-move): the moved-from state is the contract
  moved.Close();
  EXPECT_EQ(SeenByOtherProcess("shared"), 0);
}

TEST_F(NamedMutexTest, KilledHolderLeavesNoMarker) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t holder = ::fork();
  if (holder == 0) {
    ::close(ready[0]);
    NamedMutex held = NamedMutex::Create("MVKTONC16");
    char ok = held ? '1' : '0';
    (void)::write(ready[1], &ok, 1);
    while (true)
      ::pause();
  }
  ::close(ready[1]);
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(ok, '1');

  EXPECT_TRUE(NamedMutex::Open("MVKTONC16"));

  ::kill(holder, SIGKILL);
  int status = 0;
  ::waitpid(holder, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
  // And the name can be taken again at once.
  NamedMutex again = NamedMutex::Create("MVKTONC16");
  EXPECT_TRUE(again);
  EXPECT_EQ(SeenByOtherProcess("MVKTONC16"), 1);
}

TEST_F(NamedMutexTest, NamesThatFileNamesCannotHoldStayDistinct) {
  // "/" cannot be in a file name, "%" is the escape itself; Japanese names go through as they are.
  NamedMutex slash = NamedMutex::Create("Global\\a/b");
  EXPECT_TRUE(NamedMutex::Open("Global\\a/b"));
  EXPECT_FALSE(NamedMutex::Open("Global\\a%2Fb"));
  EXPECT_FALSE(NamedMutex::Open("Global\\a"));
  NamedMutex japanese = NamedMutex::Create(Utf8ToCp932("給与ミューテックス"));
  EXPECT_TRUE(NamedMutex::Open(Utf8ToCp932("給与ミューテックス")));
  EXPECT_FALSE(NamedMutex::Open(Utf8ToCp932("給与")));
  EXPECT_FALSE(NamedMutex::Open(".."));
  NamedMutex dots = NamedMutex::Create("..");
  EXPECT_TRUE(NamedMutex::Open(".."));
}

TEST_F(NamedMutexTest, CreateInAMissingFolderNamesTheMutex) {
  ScopedEnv missing("NC16_LOCK_DIR", (dir_.Path() / "missing").string());
  try {
    NamedMutex::Create("MVKTONC16");
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_NE(std::string(e.what()).find("MVKTONC16"), std::string::npos);
  }
  EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
}

TEST(NamedMutexDefaults, LockFolderFallsBackToTheRuntimeFolder) {
  TempFolder runtime;
  ScopedEnv no_lock_dir("NC16_LOCK_DIR", std::nullopt);
  ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path().string());
  NamedMutex held = NamedMutex::Create("fallback");
  EXPECT_EQ(nc16::testing::FolderEntries(runtime.Path()).size(), 1u);
  EXPECT_TRUE(NamedMutex::Open("fallback"));
}

}  // namespace
}  // namespace nc16::platform
