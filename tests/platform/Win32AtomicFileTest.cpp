// Atomic writes on Windows, where every temporary file is named: what a killed writer left beside
// the target goes with the next write to it, what a running writer has stays.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

TEST(Win32AtomicFile, TemporariesOfEndedWritersGoWithTheNextWrite) {
  // A process that has ended; its handle is kept until the end, so that its id stays its own.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION ended{};
  wchar_t command[] = L"cmd.exe /c exit 0";
  ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &ended));
  ::WaitForSingleObject(ended.hProcess, INFINITE);
  const std::string gone = std::to_string(ended.dwProcessId);
  const std::string running = std::to_string(::GetCurrentProcessId());

  TempFolder dir;
  std::vector<std::string> kept = {"out.xml",
                                   "out.xml.tmp-" + running + "-1",
                                   "other.xml.tmp-" + gone + "-1",
                                   "out.xml.tmp-" + gone + "-",
                                   "out.xml.tmp-" + gone + "-1a",
                                   "out.xml.tmp--1"};
  for (const std::string& name : kept)
    WriteFile(dir / name, "x");
  WriteFile(dir / ("out.xml.tmp-" + gone + "-42"), "x");
  WriteFileAtomic(dir / "out.xml", "new");
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(FolderEntries(dir.Path()), kept);
  ::CloseHandle(ended.hThread);
  ::CloseHandle(ended.hProcess);
}

}  // namespace
}  // namespace nc16
