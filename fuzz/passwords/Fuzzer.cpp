// libFuzzer target: the passwords file of `nc16 export --all`.
#include <cstddef>
#include <cstdint>

#include "fuzz/passwords/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::passwords::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
