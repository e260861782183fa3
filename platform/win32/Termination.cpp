// A windowed program on Windows is asked to end through window messages (WM_CLOSE,
// WM_ENDSESSION), which the toolkit delivers as close events: nothing to catch here.

#include "platform/Termination.h"

namespace nc16::platform {

TerminationRequests::TerminationRequests() = default;
TerminationRequests::~TerminationRequests() = default;

bool TerminationRequests::Take() {
  return false;
}

}  // namespace nc16::platform
