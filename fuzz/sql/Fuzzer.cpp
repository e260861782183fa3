// libFuzzer target: the Local SQL table-name rewriting.
#include <cstddef>
#include <cstdint>

#include "fuzz/sql/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nc16::db::fuzz::RunInput({reinterpret_cast<const char*>(data), size});
  return 0;
}
