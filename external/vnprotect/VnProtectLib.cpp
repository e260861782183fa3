// The exported functions: bounded reads of the caller's strings and careful writes into the
// caller's buffers. Stored values come from table files that anyone may have edited, so no
// input may make these functions read or write beyond the documented sizes.

#include "external/vnprotect/VnProtectLib.h"

#include <cstring>
#include <string_view>

#include "external/vnprotect/VnCodec.h"

namespace {

// A zero-terminated string read no further than `limit` + 1 bytes: a longer one reports
// `limit` + 1 bytes, which every caller below rejects as too long.
std::string_view Bounded(const char* s, size_t limit) {
  return {s, strnlen(s, limit + 1)};
}

int32_t Report(int32_t* status, int32_t code) {
  if (status != nullptr) *status = code;
  return code;
}

}  // namespace

extern "C" {

int32_t P_Check1(const char* stored, const char* key, char* out, int32_t* status) {
  if (stored == nullptr || key == nullptr || out == nullptr)
    return Report(status, VNPROTECT_ERR_ARGUMENT);
  nc16::vnprotect::Decoded text;
  int32_t r = nc16::vnprotect::Decode(Bounded(stored, VNPROTECT_STORED_MAX),
                                      Bounded(key, VNPROTECT_KEY_MAX), text);
  if (r != VNPROTECT_OK) return Report(status, r);
  // Decode never yields more than VNPROTECT_PLAIN_MAX bytes; out[200] stays the caller's zero.
  std::memcpy(out, text.bytes.data(), text.size);
  if (text.size < VNPROTECT_PLAIN_MAX) out[text.size] = '\0';
  return Report(status, VNPROTECT_OK);
}

int32_t P_Encode1(const char* plain, const char* key, char* out, int32_t outSize) {
  if (plain == nullptr || key == nullptr || out == nullptr || outSize < 1)
    return VNPROTECT_ERR_ARGUMENT;
  out[0] = '\0';
  nc16::vnprotect::Encoded stored;
  int32_t r = nc16::vnprotect::Encode(Bounded(plain, VNPROTECT_PLAIN_MAX),
                                      Bounded(key, VNPROTECT_KEY_MAX), stored);
  if (r != VNPROTECT_OK) return r;
  if (stored.size + 1 > static_cast<size_t>(outSize)) return VNPROTECT_ERR_BUFFER;
  std::memcpy(out, stored.chars.data(), stored.size);
  out[stored.size] = '\0';
  return VNPROTECT_OK;
}

}  // extern "C"
