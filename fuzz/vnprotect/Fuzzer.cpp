// libFuzzer target: the stored-value decoder P_Check1.
#include <cstddef>
#include <cstdint>

#include "fuzz/vnprotect/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::vn::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
