#include <windows.h>

#include <cstdint>

#include "external/paradox/ValueText.h"

namespace nc16::px {

namespace {

constexpr intptr_t kLatin1 = 28591;  // ISO-8859-1

// The code pages a Paradox table names, as Windows numbers them; Latin-1 for the rest.
intptr_t WindowsCodePage(int code_page) {
  switch (code_page) {
    case 0:
      return 437;
    case 437:
    case 850:
    case 852:
    case 865:
    case 866:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1250:
    case 1251:
    case 1252:
      return ::IsValidCodePage(static_cast<UINT>(code_page)) ? code_page : kLatin1;
    default:
      return kLatin1;
  }
}

void AppendUtf8(std::string& out, const wchar_t* w, int n) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(size));
  ::WideCharToMultiByte(CP_UTF8, 0, w, n, out.data() + at, size, nullptr, nullptr);
}

}  // namespace

TextDecoder::TextDecoder(int code_page)
    : cd_(reinterpret_cast<void*>(WindowsCodePage(code_page))) {}

TextDecoder::~TextDecoder() = default;

std::string TextDecoder::ToUtf8(std::string_view bytes) const {
  const auto code_page = reinterpret_cast<intptr_t>(cd_);
  std::string out;
  const auto cp = static_cast<UINT>(code_page);
  // One character (one byte, or two after a lead byte) at a time, so that a byte the code page
  // cannot convert becomes one U+FFFD and its neighbours survive.
  for (size_t i = 0; i < bytes.size();) {
    const size_t len =
        ::IsDBCSLeadByteEx(cp, static_cast<BYTE>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
    wchar_t w[2];
    const int n = ::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                        static_cast<int>(len), w, 2);
    if (n > 0) {
      AppendUtf8(out, w, n);
      i += len;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

}  // namespace nc16::px
