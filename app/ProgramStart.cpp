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
  } catch (const EOSError& e) {
    boxes.Show(MessageKind::kError, MutexFailureMessage(e.what()));
    return std::nullopt;
  }
}

}  // namespace nc16
