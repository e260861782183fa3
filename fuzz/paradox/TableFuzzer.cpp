// libFuzzer target: the table reader on arbitrary .DB bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/paradox/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::px::fuzz::RunTableInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
