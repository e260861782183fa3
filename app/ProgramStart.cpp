#include "app/ProgramStart.h"

#include "app/flow/Startup.h"

namespace nc16 {

std::optional<platform::NamedMutex> ClaimProgramMutex(MessageBoxes& boxes) {
  if (platform::NamedMutex::Open(kOwnMutexName)) return std::nullopt;
  if (FindRunningSibling()) {
    boxes.Show(MessageKind::kWarning, SiblingRunningMessage());
    return std::nullopt;
  }
  try {
    return platform::NamedMutex::Create(kOwnMutexName);
  } catch (const std::exception&) {
    // Without the marker a second instance could start beside this one; nothing else depends
    // on it, so the wizard runs.
    return platform::NamedMutex();
  }
}

}  // namespace nc16
