#include "platform/Memory.h"

namespace nc16::platform {

// The Windows heap keeps freed blocks of ordinary sizes for reuse by itself.
void KeepFreedMemoryForReuse() {}

}  // namespace nc16::platform
