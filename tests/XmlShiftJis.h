#pragma once
// libxml2 reads Shift_JIS through iconv; Debian's libxml2 for Windows is built without iconv
// (Debian has none for mingw), so there the tests give it a decoder of their own, the system's
// code page 932 through the project's conversion. Elsewhere nothing is done.

#include <libxml/encoding.h>

#ifdef _WIN32
#include <string_view>

#include "platform/Cp932.h"
#endif

namespace nc16::testing {

#ifdef _WIN32
// libxml2's input converter: whole characters from `in` to UTF-8 in `out`, as many as fit; a
// lead byte at the very end waits for the next call.
inline int Cp932ToUtf8Chunk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
  int used = 0;
  int made = 0;
  while (used < *inlen) {
    const int len = nc16::IsLeadByte(in[used]) ? 2 : 1;
    if (used + len > *inlen) break;
    const std::string utf8 = nc16::Cp932ToUtf8(
        std::string_view(reinterpret_cast<const char*>(in + used), static_cast<size_t>(len)));
    if (made + static_cast<int>(utf8.size()) > *outlen) break;
    for (char c : utf8)
      out[made++] = static_cast<unsigned char>(c);
    used += len;
  }
  *inlen = used;
  *outlen = made;
  return made;
}
#endif

inline void EnsureShiftJisDecoder() {
#ifdef _WIN32
  static const bool registered = [] {
    xmlRegisterCharEncodingHandler(
        xmlNewCharEncodingHandler("Shift_JIS", Cp932ToUtf8Chunk, nullptr));
    return true;
  }();
  (void)registered;
#endif
}

}  // namespace nc16::testing
