#include "external/vnprotect/VnCodec.h"

namespace nc16::vnprotect {
namespace {

constexpr std::string_view kMark = "V1";
constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";
static_assert(kAlphabet.size() == 64);

// Body characters for n text bytes: 4 per whole group of 3, then 2 or 3 for a tail of 1 or 2.
constexpr size_t BodyChars(size_t n) {
  return n / 3 * 4 + (n % 3 == 0 ? 0 : n % 3 + 1);
}
static_assert(kMark.size() + 2 + BodyChars(VNPROTECT_PLAIN_MAX) == VNPROTECT_STORED_MAX);

int ValueOf(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 36;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

// FNV-1a for absorbing bytes, finished with the SplitMix64 mixer, whose output bits are all
// usable (plain FNV's low bits are weak).
class Hash {
 public:
  explicit Hash(std::string_view domain) { Add(domain); }
  void Add(std::string_view s) {
    for (unsigned char c : s)
      AddByte(c);
  }
  void AddByte(unsigned char c) { h_ = (h_ ^ c) * 0x100000001b3ULL; }
  uint64_t Finish() const { return Mix(h_); }
  static uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

 private:
  uint64_t h_ = 0xcbf29ce484222325ULL;
};

uint32_t CheckOf(std::string_view plain, std::string_view key) {
  Hash h("VnProtect/check");
  h.AddByte(static_cast<unsigned char>(key.size()));
  h.Add(key);
  h.Add(plain);
  return static_cast<uint32_t>(h.Finish() & 0xFFF);
}

// SplitMix64 seeded from key, check and length: a different check or length gives an
// unrelated stream, so texts sharing a beginning do not share stored characters.
class Keystream {
 public:
  Keystream(std::string_view key, uint32_t check, size_t length) {
    Hash h("VnProtect/stream");
    h.AddByte(static_cast<unsigned char>(key.size()));
    h.Add(key);
    h.AddByte(static_cast<unsigned char>(check & 0xFF));
    h.AddByte(static_cast<unsigned char>(check >> 8));
    h.AddByte(static_cast<unsigned char>(length));
    state_ = h.Finish();
  }
  unsigned char Next() {
    if (used_ == 8) {
      state_ += 0x9e3779b97f4a7c15ULL;
      word_ = Hash::Mix(state_);
      used_ = 0;
    }
    return static_cast<unsigned char>(word_ >> (8 * used_++));
  }

 private:
  uint64_t state_;
  uint64_t word_ = 0;
  int used_ = 8;
};

bool KeyOk(std::string_view key) {
  return !key.empty() && key.size() <= VNPROTECT_KEY_MAX;
}

}  // namespace

int32_t Encode(std::string_view plain, std::string_view key, Encoded& out) {
  out.size = 0;
  if (!KeyOk(key)) return VNPROTECT_ERR_KEY;
  if (plain.size() > VNPROTECT_PLAIN_MAX) return VNPROTECT_ERR_TOO_LONG;
  uint32_t check = CheckOf(plain, key);
  Keystream ks(key, check, plain.size());

  auto put = [&out](unsigned v) { out.chars[out.size++] = kAlphabet[v & 63]; };
  for (char c : kMark)
    out.chars[out.size++] = c;
  put(check);
  put(check >> 6);
  for (size_t i = 0; i < plain.size(); i += 3) {
    size_t n = plain.size() - i < 3 ? plain.size() - i : 3;
    uint32_t group = 0;
    for (size_t j = 0; j < 3; ++j) {
      unsigned b = j < n ? static_cast<unsigned char>(plain[i + j]) ^ ks.Next() : 0;
      group = group << 8 | b;
    }
    for (size_t j = 0; j <= n; ++j)
      put(group >> (18 - 6 * j));
  }
  return VNPROTECT_OK;
}

int32_t Decode(std::string_view stored, std::string_view key, Decoded& out) {
  out.size = 0;
  if (!KeyOk(key)) return VNPROTECT_ERR_KEY;
  if (stored.size() > VNPROTECT_STORED_MAX) return VNPROTECT_ERR_TOO_LONG;
  if (stored.size() < kMark.size() + 2 || !stored.starts_with(kMark)) return VNPROTECT_ERR_FORMAT;
  int c0 = ValueOf(stored[2]);
  int c1 = ValueOf(stored[3]);
  if (c0 < 0 || c1 < 0) return VNPROTECT_ERR_FORMAT;
  const auto check = static_cast<uint32_t>(c0 | c1 << 6);

  std::string_view body = stored.substr(4);
  if (body.size() % 4 == 1) return VNPROTECT_ERR_FORMAT;
  const size_t length = body.size() / 4 * 3 + (body.size() % 4 == 0 ? 0 : body.size() % 4 - 1);
  Keystream ks(key, check, length);  // length <= VNPROTECT_PLAIN_MAX by the size test above

  for (size_t i = 0; i < body.size(); i += 4) {
    size_t chars = body.size() - i < 4 ? body.size() - i : 4;
    uint32_t group = 0;
    for (size_t j = 0; j < 4; ++j) {
      int v = j < chars ? ValueOf(body[i + j]) : 0;
      if (v < 0) return VNPROTECT_ERR_FORMAT;
      group = group << 6 | static_cast<uint32_t>(v);
    }
    const size_t n = chars - 1;
    // Bits below the last whole byte must be zero, so each text has exactly one stored form.
    if ((group & ((1u << (8 * (3 - n))) - 1)) != 0) return VNPROTECT_ERR_FORMAT;
    for (size_t j = 0; j < n; ++j) {
      auto b = static_cast<unsigned char>(group >> (16 - 8 * j)) ^ ks.Next();
      if (b == 0) return VNPROTECT_ERR_FORMAT;
      out.bytes[out.size++] = static_cast<char>(b);
    }
  }
  if (CheckOf({out.bytes.data(), out.size}, key) != check) {
    out.size = 0;
    return VNPROTECT_ERR_CHECK;
  }
  return VNPROTECT_OK;
}

}  // namespace nc16::vnprotect
