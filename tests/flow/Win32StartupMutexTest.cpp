// The start-up check against the real named mutexes of Windows, held or looked for by another
// process (nc16_hold_mutex, beside this program) under the names as given, without the test
// namespace of NC16_LOCK_DIR.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
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

// One test, so that its cases never run beside each other: they use the machine's own names.
TEST(Win32StartupMutex, AnotherProgramsMutexStopsTheStartAndTheClaimIsSeenByOthers) {
  ScopedEnv no_namespace("NC16_LOCK_DIR", std::nullopt);
  const auto siblings = SiblingProductMutexes();
  const std::string own(kOwnMutexName);
  struct Case {
    std::string how;  // hold, or guard: the mutex lets nobody open it with full access
    std::string_view name;
    std::optional<Message> refusal;
    bool already_running;
  } cases[] = {
      {"hold", kOwnMutexName, Message{MessageKind::kError, texts::AlreadyRunning()}, true},
      {"hold", siblings.front(), Message{MessageKind::kWarning, texts::SiblingRunning()}, false},
      {"hold", siblings.back(), Message{MessageKind::kWarning, texts::SiblingRunning()}, false},
      // A mutex that exists but cannot be opened with full access counts as absent.
      {"guard", siblings.front(), std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how + " " + std::string(c.name));
    OtherProcess holder(c.how + " " + std::string(c.name));
    ASSERT_EQ(holder.ReadLine(), "held");
    const ProgramClaim claim = ClaimProgram();
    EXPECT_EQ(claim.AlreadyRunning, c.already_running);
    EXPECT_EQ(claim.Refusal, c.refusal);
    EXPECT_EQ(static_cast<bool>(claim.Mutex), !c.refusal);
    // Our mutex exists for others while the claim holds it; a sibling stops the start before
    // it is made.
    EXPECT_EQ(OtherProcess("probe " + own).Wait(), claim.Mutex || c.already_running ? 1u : 0u);
    EXPECT_EQ(holder.Wait(), 0u);
  }
  EXPECT_EQ(OtherProcess("probe " + own).Wait(), 0u);
}

}  // namespace
}  // namespace nc16
