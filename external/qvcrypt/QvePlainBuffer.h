#pragma once
// The buffers that hold decrypted plaintext. They are handed across the C interface as a bare
// pointer, so each carries its own length just before the bytes; that lets QvCryptFreeMem wipe
// the plaintext before releasing it without the caller passing the length back.

#include <cstddef>
#include <memory>

namespace nc16::qve {

// `size` zeroed bytes plus one more zero byte after them; nullptr when memory is exhausted.
void* AllocPlain(size_t size);

// Wipes and releases a buffer of AllocPlain; nullptr is allowed.
void FreePlain(void* p);

struct PlainDeleter {
  void operator()(void* p) const { FreePlain(p); }
};
using PlainPtr = std::unique_ptr<void, PlainDeleter>;

}  // namespace nc16::qve
