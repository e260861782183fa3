// The start-up check against the real named mutexes of Windows, held or looked for by another
// process (nc16_hold_mutex, beside this program) under the names as given, without the test
// namespace of NC16_LOCK_DIR.

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/flow/Startup.h"
#include "document/Texts.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::ScopedEnv;

// nc16_hold_mutex with its arguments as a child process, its standard input and output piped.
class OtherProcess {
 public:
  explicit OtherProcess(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE child_in = nullptr, child_out = nullptr;
    if (!::CreatePipe(&child_in, &to_child_, &inherit, 0) ||
        !::CreatePipe(&from_child_, &child_out, &inherit, 0))
      throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(to_child_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(from_child_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_in;
    startup.hStdOutput = child_out;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "\"" + std::string.
    std::string command = platform::ProgramFolder();
    command.insert(command.begin(), '"');
    command.append("\\nc16_hold_mutex.exe\" ").append(arguments);
    const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process_);
    ::CloseHandle(child_in);
    ::CloseHandle(child_out);
    if (!started) throw std::runtime_error("cannot start " + command);
  }
  ~OtherProcess() { (void)Wait(); }
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;

  // The first line the process writes (its "held"), without the break.
  std::string ReadLine() {
    std::string line;
    char c = 0;
    DWORD n = 0;
    while (::ReadFile(from_child_, &c, 1, &n, nullptr) && n == 1 && c != '\n')
      line += c;
    return line;
  }

  // Ends its standard input and waits for it to end: its exit code.
  DWORD Wait() {
    if (to_child_ != nullptr) {
      ::CloseHandle(to_child_);
      to_child_ = nullptr;
    }
    DWORD code = 255;
    if (process_.hProcess != nullptr) {
      ::WaitForSingleObject(process_.hProcess, INFINITE);
      ::GetExitCodeProcess(process_.hProcess, &code);
      ::CloseHandle(process_.hProcess);
      ::CloseHandle(process_.hThread);
      ::CloseHandle(from_child_);
      process_ = {};
    }
    return code;
  }

 private:
  HANDLE to_child_ = nullptr;
  HANDLE from_child_ = nullptr;
  PROCESS_INFORMATION process_{};
};

class Win32StartupMutex : public ::testing::Test {
 protected:
  ScopedEnv no_namespace_{"NC16_LOCK_DIR", std::nullopt};
};

TEST_F(Win32StartupMutex, AMutexHeldByAnotherProgramStopsTheStart) {
  const auto siblings = SiblingProductMutexes();
  struct Case {
    std::string_view held;
    bool already_running;
    MessageKind kind;
    std::string text;
  } cases[] = {
      {kOwnMutexName, true, MessageKind::kError, texts::AlreadyRunning()},
      {siblings.front(), false, MessageKind::kWarning, texts::SiblingRunning()},
      {siblings.back(), false, MessageKind::kWarning, texts::SiblingRunning()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.held));
    OtherProcess holder("hold " + std::string(c.held));
    ASSERT_EQ(holder.ReadLine(), "held");
    const ProgramClaim claim = ClaimProgram();
    EXPECT_EQ(claim.AlreadyRunning, c.already_running);
    EXPECT_FALSE(claim.Mutex);
    ASSERT_TRUE(claim.Refusal);
    EXPECT_EQ(claim.Refusal->kind, c.kind);
    EXPECT_EQ(claim.Refusal->text, c.text);
    // A sibling stops the start before the program's own mutex is made.
    if (!c.already_running) {
      EXPECT_FALSE(platform::NamedMutex::Open(kOwnMutexName));
    }
    EXPECT_EQ(holder.Wait(), 0u);
  }
}

// A sibling's mutex that exists but cannot be opened with full access counts as absent.
TEST_F(Win32StartupMutex, AMutexThatRefusesFullAccessDoesNotStopTheStart) {
  OtherProcess holder("guard " + std::string(SiblingProductMutexes().front()));
  ASSERT_EQ(holder.ReadLine(), "held");
  const ProgramClaim claim = ClaimProgram();
  EXPECT_FALSE(claim.Refusal) << claim.Refusal->text;
  EXPECT_TRUE(claim.Mutex);
}

TEST_F(Win32StartupMutex, TheClaimIsSeenByAnotherProgramUntilItEnds) {
  EXPECT_EQ(OtherProcess("probe " + std::string(kOwnMutexName)).Wait(), 0u);
  {
    const ProgramClaim claim = ClaimProgram();
    ASSERT_FALSE(claim.Refusal) << claim.Refusal->text;
    ASSERT_TRUE(claim.Mutex);
    EXPECT_EQ(OtherProcess("probe " + std::string(kOwnMutexName)).Wait(), 1u);
  }
  EXPECT_EQ(OtherProcess("probe " + std::string(kOwnMutexName)).Wait(), 0u);
}

}  // namespace
}  // namespace nc16
