#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// The message of a failed Create, or "" when it succeeded.
std::string CreateError(const std::string& name) {
  try {
    NamedMutex::Create(name);
    return "";
  } catch (const EOSError& e) {
    return Cp932ToUtf8(e.what());
  }
}

TEST_F(NamedMutexTest, ALockFileThatCannotBeMadeIsAnErrorNamingItsPathAndCause) {
  const std::string lock = (dir_.Path() / "MVKTONC16.mutex").string();
  struct Case {
    const char* fault;
    std::function<void()> make;
    std::string path;  // the path the message names
    const char* cause;
  };
  const std::vector<Case> cases = {
      {"folder missing", [&] { ::setenv("NC16_LOCK_DIR", (dir_.Path() / "missing").c_str(), 1); },
       (dir_.Path() / "missing" / "MVKTONC16.mutex").string(), "No such file or directory"},
      {"a folder in its place", [&] { std::filesystem::create_directory(lock); }, lock,
       "Is a directory"},
      {"a symbolic link in its place",
       [&] { std::filesystem::create_symlink(dir_.Path() / "elsewhere", lock); }, lock,
       "Too many levels of symbolic links"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    ScopedEnv restore("NC16_LOCK_DIR", dir_.Path().string());
    c.make();
    const std::string error = CreateError("MVKTONC16");
    EXPECT_NE(error.find("MVKTONC16"), std::string::npos) << error;
    EXPECT_NE(error.find(c.path + ": " + c.cause), std::string::npos) << error;
    EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
    std::filesystem::remove_all(lock);
  }

  // A lock file another user made private in a shared folder (as root: the other user is
  // played by a child that has given up root).
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play another user";
  NamedMutex mine = NamedMutex::Create("MVKTONC16");
  ::chmod(lock.c_str(), 0600);
  mine.Close();
  ::chmod(dir_.Path().c_str(), 0777);
  EXPECT_EQ(
      InChild([&] {
        if (::setuid(65534) != 0) return 2;
        if (NamedMutex::Open("MVKTONC16")) return 3;  // unreadable counts as absent
        return CreateError("MVKTONC16").find(lock + ": Permission denied") != std::string::npos ? 0
                                                                                                : 1;
      }),
      0);
}

TEST(NamedMutexDefaults, WithoutLockOrRuntimeFolderAPrivateFolderInTheTemporaryFolder) {
  TempFolder tmp;
  ScopedEnv no_lock_dir("NC16_LOCK_DIR", std::nullopt);
  ScopedEnv no_runtime("XDG_RUNTIME_DIR", std::nullopt);
  ScopedEnv tmpdir("TMPDIR", tmp.Path().string());
  const auto folder = tmp.Path() / ("nc16-locks-" + std::to_string(::geteuid()));
  EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
  EXPECT_FALSE(std::filesystem::exists(folder));  // a probe creates nothing
  {
    NamedMutex held = NamedMutex::Create("MVKTONC16");
    EXPECT_TRUE(NamedMutex::Open("MVKTONC16"));
    struct stat st {};
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(nc16::testing::FolderEntries(folder), std::vector<std::string>{"MVKTONC16.mutex"});
  }

  // A folder of that name that others may write, that is a link, or that another user owns is
  // refused: whoever controls it could keep us from starting.
  struct Case {
    const char* fault;
    std::function<bool()> make;  // false: cannot be set up here
    const char* says;
  };
  const std::vector<Case> cases = {
      {"writable by others", [&] { return ::chmod(folder.c_str(), 0777) == 0; },
       "は他のユーザーも書き込めます"},
      {"writable by its group", [&] { return ::chmod(folder.c_str(), 0770) == 0; },
       "は他のユーザーも書き込めます"},
      {"writable by its group alone", [&] { return ::chmod(folder.c_str(), 0730) == 0; },
       "は他のユーザーも書き込めます"},
      {"writable by others alone", [&] { return ::chmod(folder.c_str(), 0703) == 0; },
       "は他のユーザーも書き込めます"},
      {"a symbolic link",
       [&] {
         std::filesystem::remove_all(folder);
         std::filesystem::create_directory(tmp.Path() / "real");
         ::chmod((tmp.Path() / "real").c_str(), 0700);
         std::filesystem::create_directory_symlink(tmp.Path() / "real", folder);
         return true;
       },
       "はフォルダではありません"},
      {"another user's",
       [&] {
         std::filesystem::remove_all(folder);
         std::filesystem::create_directory(folder);
         return ::chmod(folder.c_str(), 0700) == 0 && ::geteuid() == 0 &&
                ::chown(folder.c_str(), 65534, 65534) == 0;
       },
       "は別のユーザー (uid 65534) のものです"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    if (!c.make()) continue;
    const std::string error = CreateError("MVKTONC16");
    EXPECT_NE(error.find("ロックフォルダ " + folder.string() + " " + c.says), std::string::npos)
        << error;
    EXPECT_FALSE(NamedMutex::Open("MVKTONC16"));
  }
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
