#pragma once
// The first step of the program, before any window: only one wizard at a time, and none beside
// a running product of the payroll family.

#include <optional>

#include "platform/MessageBox.h"
#include "platform/Platform.h"

namespace nc16 {

// The program's own marker "MVKTONC16", created and held, when the program may run. Nothing
// when it must end at once: silently when another instance holds the marker, after the warning
// box when a sibling product runs (whose mutex is then let go again, and the marker is not
// created), after an error box naming the cause when the marker cannot be created.
std::optional<platform::NamedMutex> ClaimProgramMutex(MessageBoxes& boxes);

}  // namespace nc16
