// libFuzzer target: the profile (ini) text parser and editor.
#include <cstddef>
#include <cstdint>

#include "fuzz/profile/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::platform::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
