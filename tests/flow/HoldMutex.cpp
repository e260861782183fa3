// Another program of the machine, for the start-up tests on Windows:
//   nc16_hold_mutex hold NAME    creates the named mutex (as a running product does), writes
//                                "held" and a line break, and keeps it until its standard input
//                                ends
//   nc16_hold_mutex guard NAME   the same, with an access list that lets nobody open it with
//                                full access (only wait on it)
//   nc16_hold_mutex probe NAME   exits with 1 when a mutex of that name exists, else 0
// Names are ASCII and used as given, without a namespace.
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  if (std::strcmp(argv[1], "probe") == 0) {
    HANDLE h = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, argv[2]);
    if (h == nullptr) return 0;
    ::CloseHandle(h);
    return 1;
  }
  const bool guard = std::strcmp(argv[1], "guard") == 0;
  if (!guard && std::strcmp(argv[1], "hold") != 0) return 2;
  SECURITY_ATTRIBUTES only_wait{sizeof only_wait, nullptr, FALSE};
  if (guard &&
      !::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          "D:P(A;;0x00100000;;;WD)", SDDL_REVISION_1, &only_wait.lpSecurityDescriptor, nullptr))
    return 3;
  HANDLE h = ::CreateMutexA(guard ? &only_wait : nullptr, FALSE, argv[2]);
  if (h == nullptr) return 3;
  // The system's handles, past the C runtime's text mode.
  DWORD n = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &n, nullptr);
  char c = 0;
  while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n == 1) {
  }
  ::CloseHandle(h);
  return 0;
}
