// libFuzzer target: the blob (.MB) reader, with the table that points into it.
#include <cstddef>
#include <cstdint>

#include "fuzz/paradox/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::px::fuzz::RunBlobInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
