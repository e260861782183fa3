#include "app/ProgramStart.h"

#include "app/flow/Startup.h"

namespace nc16 {

std::optional<platform::NamedMutex> ClaimProgramMutex(MessageBoxes& boxes) {
  ProgramClaim claim = ClaimProgram();
  // A second instance ends silently: the first one is on the screen already.
  if (claim.AlreadyRunning) return std::nullopt;
  if (claim.Refusal) {
    boxes.Show(claim.Refusal->kind, claim.Refusal->text);
    return std::nullopt;
  }
  return std::move(claim.Mutex);
}

}  // namespace nc16
