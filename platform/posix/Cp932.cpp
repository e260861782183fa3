// CP932 conversions on POSIX systems: iconv's CP932 tables (the Windows mapping).

#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace nc16 {
namespace {

// One conversion direction. iconv descriptors are not thread-safe, so each thread keeps its own.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on input that cannot be converted, appends `replacement` and skips the bytes
  // that `skip` says belong to the offending character. Returns false when any replacement was
  // needed.
  bool Convert(std::string_view in, std::string& out, std::string_view replacement,
               size_t (*skip)(const char*, size_t)) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      out.assign(in);
      return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    bool clean = true;
    out.resize(in.size() * 3 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    size_t used = 0;
    while (true) {
      char* dst = out.data() + used;
      size_t dst_left = out.size() - used;
      size_t rc = iconv(cd_, src_left ? &src : nullptr, &src_left, &dst, &dst_left);
      used = out.size() - dst_left;
      if (rc != static_cast<size_t>(-1)) {
        if (src_left == 0) break;
        continue;
      }
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ (not convertible) or EINVAL (truncated at the end): replace one byte, go on.
      clean = false;
      out.resize(used);
      out.append(replacement);
      used = out.size();
      out.resize(used + src_left * 3 + 16);
      size_t n = skip(src, src_left);
      src += n;
      src_left -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      if (src_left == 0) break;
    }
    out.resize(used);
    return clean;
  }

 private:
  iconv_t cd_;
};

Converter& ToUtf8() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

Converter& ToCp932() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

// An invalid CP932 byte is replaced on its own: its neighbours may still be whole characters.
size_t SkipOneByte(const char*, size_t) {
  return 1;
}

// An unmappable UTF-8 character is replaced as a whole; a stray continuation byte on its own.
size_t SkipUtf8Char(const char* p, size_t left) {
  auto b = static_cast<unsigned char>(*p);
  size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  for (size_t i = 1; i < n; ++i)
    if (i >= left || (static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return i;
  return n;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::string out;
  ToUtf8().Convert(cp932, out, "\xEF\xBF\xBD", SkipOneByte);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  ToCp932().Convert(utf8, out, "?", SkipUtf8Char);
  return out;
}

bool IsValidCp932(std::string_view s) {
  if (IsAscii(s)) return true;
  std::string out;
  return ToUtf8().Convert(s, out, "", SkipOneByte);
}

}  // namespace nc16

namespace nc16 {

std::filesystem::path NativePath(std::string_view cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FromNativePath(const std::filesystem::path& path) {
  std::u8string u8 = path.u8string();
  return Utf8ToCp932(std::string(u8.begin(), u8.end()));
}

}  // namespace nc16
