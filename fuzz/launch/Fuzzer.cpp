// libFuzzer target: the launch argument and its Base64 key.
#include <cstddef>
#include <cstdint>

#include "fuzz/launch/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::launch::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
