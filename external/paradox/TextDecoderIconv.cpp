#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "external/paradox/ValueText.h"

namespace nc16::px {

namespace {

const char* IconvName(int code_page) {
  switch (code_page) {
    case 0:
    case 437:
      return "CP437";
    case 932:
      return "CP932";
    case 936:
      return "GBK";
    case 949:
      return "CP949";
    case 950:
      return "BIG5";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1252:
      return "CP1252";
    case 850:
      return "CP850";
    case 852:
      return "CP852";
    case 865:
      return "CP865";
    case 866:
      return "CP866";
    default:
      return nullptr;
  }
}

}  // namespace

TextDecoder::TextDecoder(int code_page) : cd_(reinterpret_cast<void*>(-1)) {
  if (const char* name = IconvName(code_page)) cd_ = iconv_open("UTF-8", name);
  if (cd_ == reinterpret_cast<void*>(-1)) cd_ = iconv_open("UTF-8", "ISO-8859-1");
}

TextDecoder::~TextDecoder() {
  if (cd_ != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(cd_));
}

std::string TextDecoder::ToUtf8(std::string_view bytes) const {
  std::string out;
  if (cd_ == reinterpret_cast<void*>(-1)) return std::string(bytes);
  auto cd = static_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.resize(bytes.size() * 4 + 8);
  char* src = const_cast<char*>(bytes.data());
  size_t left = bytes.size();
  char* dst = out.data();
  size_t room = out.size();
  while (left > 0) {
    if (iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = out.size() - room;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      room = out.size() - used;
      continue;
    }
    // Not convertible: one U+FFFD for the offending byte, then go on.
    if (room < 3) {
      const size_t used = out.size() - room;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      room = out.size() - used;
    }
    std::memcpy(dst, "\xEF\xBF\xBD", 3);
    dst += 3;
    room -= 3;
    ++src;
    --left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - room);
  return out;
}

}  // namespace nc16::px
