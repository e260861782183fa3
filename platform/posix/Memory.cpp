#include "platform/Memory.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace nc16::platform {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // glibc maps blocks above a threshold (128 KiB at first) one by one and trims the heap's free
  // top above another; both send a data set's buffers back to the system when it ends.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace nc16::platform
