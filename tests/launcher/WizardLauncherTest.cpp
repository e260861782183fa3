// A launcher on Windows: a real window whose handle goes to nc16-wizard.exe in the launch
// argument. The wizard disables the window at start; at its end it brings the window to the
// foreground, enables it again and posts the completion notification to it. The window's
// procedure records each of these messages as it arrives. The wizard runs on Qt's offscreen
// platform and is driven to each of its endings by NC16_TEST_PRESSES.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "external/qvcrypt/QvCryptLib.h"
#include "platform/Cp932.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoInstallation.h"

namespace nc16::test {
namespace {

constexpr UINT kNotification = WM_APP + 0x123;
constexpr WPARAM kFunctionId = 5;

// What the launcher's window received, in order: "enable 0", "activate", "enable 1",
// "notify 5 <lParam>".
std::vector<std::string> received;
HWND launcher_window = nullptr;

LRESULT CALLBACK LauncherProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window == launcher_window) {
    if (message == WM_ENABLE) received.push_back("enable " + std::to_string(wparam));
    if (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE) received.push_back("activate");
    if (message == kNotification)
      received.push_back("notify " + std::to_string(wparam) + " " + std::to_string(lparam));
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Two top-level windows of the launcher: its own, and another one that is in the foreground
// while the wizard runs, so that the wizard's SetForegroundWindow shows as an activation.
class Windows {
 public:
  Windows() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = LauncherProc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"nc16LauncherTest";
    ::RegisterClassW(&window_class);
    launcher_window = Create(L"launcher");
    other_ = Create(L"other");
  }
  ~Windows() {
    ::DestroyWindow(launcher_window);
    ::DestroyWindow(other_);
    launcher_window = nullptr;
  }
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;
  HWND Other() const { return other_; }

 private:
  static HWND Create(const wchar_t* title) {
    HWND window = ::CreateWindowW(L"nc16LauncherTest", title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(window, SW_SHOW);
    return window;
  }
  HWND other_ = nullptr;
};

void DispatchWaiting() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    ::DispatchMessageW(&msg);
}

// Runs the wizard beside this program with `argument`, dispatching this thread's messages until
// it ends (the wizard's EnableWindow waits for the window procedure), and gives its exit code.
DWORD RunWizard(const std::string& argument) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring program = (std::filesystem::path(self).parent_path() / "nc16-wizard.exe");
  std::wstring command = L"\"" + program + L"\" \"" + NativePath(argument).wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start the wizard: " << ::GetLastError();
    return 1000;
  }
  ::CloseHandle(process.hThread);
  while (::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) ==
         WAIT_OBJECT_0 + 1)
    DispatchWaiting();
  DispatchWaiting();  // what was posted before the end
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  return code;
}

struct Ending {
  const char* name;
  const char* presses;  // NC16_TEST_PRESSES
  const char* key;      // the launch argument's key, Base64
  int result;           // the notification's lParam
};

void PrintTo(const Ending& ending, std::ostream* out) {
  *out << ending.name;
}

class WizardLauncher : public ::testing::TestWithParam<Ending> {};

TEST_P(WizardLauncher, WindowCallsAndNotification) {
  const Ending& ending = GetParam();
  const nc16::testing::TempFolder temp;
  const std::filesystem::path& root = temp.Path();
  demo::DemoOptions options;
  options.root = FromNativePath(root / "demo");
  options.employees = 3;
  const demo::DemoInstallation installation = demo::CreateDemoInstallation(options);
  // The data set the wizard offers first: a company without individual numbers.
  nc16::testing::WriteFile(NativePath(installation.common_data_dir) / "DataSelect.ini",
                           "[NENCHO]\r\nDATA=" + installation.data_sets.at(1).holder + "\r\n");
  std::filesystem::create_directories(root / "locks");
  using nc16::testing::ScopedEnv;
  ScopedEnv registry("NC16_REGISTRY", installation.registry_file);
  ScopedEnv common("NC16_COMMON_APPDATA", installation.common_appdata);
  ScopedEnv locks("NC16_LOCK_DIR", FromNativePath(root / "locks"));
  ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
  ScopedEnv presses("NC16_TEST_PRESSES", ending.presses);

  received.clear();
  Windows windows;
  ::SetForegroundWindow(windows.Other());
  DispatchWaiting();
  received.clear();
  const std::filesystem::path file = root / "launch.xml.qve";
  const std::string argument =
      std::to_string(reinterpret_cast<std::uintptr_t>(launcher_window) & 0xFFFFFFFFu) + "," +
      std::to_string(kNotification) + "," + std::to_string(kFunctionId) + "," +
      FromNativePath(file) + "," + ending.key;

  EXPECT_EQ(RunWizard(argument), 0u);
  EXPECT_EQ(received, std::vector<std::string>({"enable 0", "activate", "enable 1",
                                                "notify 5 " + std::to_string(ending.result)}));
  EXPECT_TRUE(::IsWindowEnabled(launcher_window));
  EXPECT_EQ(::GetForegroundWindow(), launcher_window);
  if (ending.result == 0) {
    void* data = nullptr;
    int32_t length = 0;
    ASSERT_EQ(
        QvCryptDecryptFileToMemByKey(FromNativePath(file).c_str(), "secret-key", &data, &length),
        0);
    EXPECT_EQ(std::string(static_cast<const char*>(data), 5), "<?xml");
    QvCryptFreeMem(data);
  } else {
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

// "c2VjcmV0LWtleQ==" is "secret-key"; an empty key fails at Finish.
INSTANTIATE_TEST_SUITE_P(
    Endings, WizardLauncher,
    ::testing::Values(Ending{"Written", "next,next,next,next", "c2VjcmV0LWtleQ==", 0},
                      Ending{"Cancelled", "next,cancel", "c2VjcmV0LWtleQ==", 1},
                      Ending{"Failed", "next,next,next,next", "", 2}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nc16::test
