// libFuzzer target: the encrypted-file reader (the decrypt path).
#include <cstddef>
#include <cstdint>

#include "fuzz/qvcrypt/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::qve::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
