#pragma once
// The start-up checks of the program, without windows: the named mutexes of the program and of
// the payroll product family, the launch argument, and the installation and version of the
// payroll product. The wizard shows the stop messages in error boxes; the command-line export
// prints them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/DataExportInfo.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"

namespace nc16 {

// The program's own marker between processes.
inline constexpr std::string_view kOwnMutexName = "MVKTONC16";

// The products of the payroll family that must not run beside this program, in the order they
// are tried.
std::span<const std::string_view> SiblingProductMutexes();

// The name of the first sibling product's mutex that is held by a running program, if any.
std::optional<std::string_view> FindRunningSibling();

// The launch argument: "window,message,wParam,file,key".
struct LaunchArgument {
  uint32_t LauncherWindow = 0;
  uint32_t LauncherMessage = 0;
  int32_t LauncherWParam = 0;
  std::string LaunchFile;
  std::string LaunchKey;
};

// Reads the five fields. A numeric field that is not an integer (empty counts as 0) makes the
// argument invalid: nullopt.
std::optional<LaunchArgument> ParseLaunchArgument(std::string_view argument);

// The program's marker, claimed before anything else runs.
struct ProgramClaim {
  platform::NamedMutex Mutex;   // held for the whole run when the program may run
  bool AlreadyRunning = false;  // another instance runs (the wizard then ends silently)
  // Why the program must not run, when it must not: another instance, a running product of the
  // family (warning), or the marker could not be made (error: the lock folder refused, the lock
  // file not creatable; without the marker a second instance, or a product of the family
  // started later, could not see that this one runs).
  std::optional<Message> Refusal;
};
ProgramClaim ClaimProgram();

// Checks the export settings as start-up does: initialised, its settings files readable, the
// payroll product installed (its folder Initdat found in any letter case), and recent enough.
// The stop message, or nullopt when the program may go on.
std::optional<std::string> CheckInstallation(const TDataExportInfo& info);
// The same check on the settings as a fresh start reads them; `remembering` says whether
// DataSelect.ini is among them (it is never written here).
std::optional<std::string> CheckInstallation(Remembering remembering);

}  // namespace nc16
