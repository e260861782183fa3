// libFuzzer target: the data list's Holder mapped to a data folder, and the data set's key.
#include <cstddef>
#include <cstdint>

#include "fuzz/holder/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::holder::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
