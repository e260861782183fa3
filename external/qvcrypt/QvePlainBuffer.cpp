#include "external/qvcrypt/QvePlainBuffer.h"

#include <sodium.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace nc16::qve {
namespace {

// The prefix keeps max_align_t alignment for the bytes that follow it.
constexpr size_t kPrefix = alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t)
                                                                      : sizeof(size_t);

}  // namespace

void* AllocPlain(size_t size) {
  if (size > SIZE_MAX - kPrefix - 1) return nullptr;
  auto* base = static_cast<unsigned char*>(std::calloc(1, kPrefix + size + 1));
  if (base == nullptr) return nullptr;
  std::memcpy(base, &size, sizeof size);
  return base + kPrefix;
}

void FreePlain(void* p) {
  if (p == nullptr) return;
  unsigned char* base = static_cast<unsigned char*>(p) - kPrefix;
  size_t size;
  std::memcpy(&size, base, sizeof size);
  sodium_memzero(p, size);
  std::free(base);
}

}  // namespace nc16::qve
