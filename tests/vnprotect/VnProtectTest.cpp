// The stored-value encoding: round trips of the texts the tables hold, the stored form itself,
// and the program's side of the call.

#include <gtest/gtest.h>

#include <cstring>

#include "external/vnprotect/VnProtect.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

std::string Encode(const std::string& plain, const char* key = kVnProtectKey) {
  char out[VNPROTECT_STORED_MAX + 1];
  EXPECT_EQ(P_Encode1(plain.c_str(), key, out, sizeof out), VNPROTECT_OK);
  return out;
}

struct Result {
  int32_t status = -1;
  std::string text;
};

Result Decode(const std::string& stored, const char* key = kVnProtectKey) {
  char out[VNPROTECT_PLAIN_MAX + 1] = {};
  Result r;
  int32_t ret = P_Check1(stored.c_str(), key, out, &r.status);
  EXPECT_EQ(ret, r.status);
  r.text.assign(out, strnlen(out, sizeof out));
  return r;
}

bool IsPrintableAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x21 || c > 0x7E) return false;
  return true;
}

TEST(VnProtect, RoundTripOfAsciiTextsOfEveryLength) {
  std::string printable;
  for (char c = 0x20; c < 0x7F; ++c)
    printable += c;
  for (const std::string& text : {std::string("123456789012"), std::string("0847"),
                                  std::string("pass word!"), printable, std::string("\x01\x7F")}) {
    SCOPED_TRACE(text);
    Result r = Decode(Encode(text));
    EXPECT_EQ(r.status, VNPROTECT_OK);
    EXPECT_EQ(r.text, text);
  }
  for (size_t len = 0; len <= VNPROTECT_PLAIN_MAX; ++len) {
    std::string text(len, '7');
    std::string stored = Encode(text);
    EXPECT_TRUE(IsPrintableAscii(stored)) << stored;
    EXPECT_LE(stored.size(), size_t{VNPROTECT_STORED_MAX});
    EXPECT_EQ(Decode(stored).text, text) << len;
  }
}

TEST(VnProtect, RoundTripOfCp932Texts) {
  // Names and passwords in CP932, with trail bytes 0x5C ("表", "ソ") and half-width kana.
  for (const char* utf8 : {"山田太郎", "表示ソフト", "ﾏｲﾅﾝﾊﾞｰ管理", "①髙﨑", "全角　空白"}) {
    const std::string text = Utf8ToCp932(utf8);
    const std::string stored = Encode(text);
    EXPECT_TRUE(IsPrintableAscii(stored)) << utf8;
    EXPECT_EQ(Decode(stored).text, text) << utf8;
  }
  // Every non-zero byte value, whatever it means as CP932.
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(Decode(Encode(all.substr(0, 200))).text, all.substr(0, 200));
  EXPECT_EQ(Decode(Encode(all.substr(55))).text, all.substr(55));
}

TEST(VnProtect, StoredFormIsStable) {
  // Values already stored in tables must stay readable: the encoding may not drift.
  EXPECT_EQ(Encode("123456789012"), "V1KE8lfNzsdJrfbHH6Yi");
  EXPECT_EQ(Decode("V1KE8lfNzsdJrfbHH6Yi").text, "123456789012");
  EXPECT_EQ(Encode("123456789012"), Encode("123456789012"));
  // Neighbouring numbers share no visible structure beyond the mark.
  const std::string a = Encode("123456789012");
  const std::string b = Encode("123456789013");
  EXPECT_NE(a.substr(2, 10), b.substr(2, 10));
}

TEST(VnProtect, AnotherKeyOrAnAlteredValueDecodesToNothing) {
  const std::string stored = Encode("123456789012");
  Result other = Decode(stored, "0848");
  EXPECT_NE(other.status, VNPROTECT_OK);
  EXPECT_EQ(other.text, "");
  for (size_t i = 0; i < stored.size(); ++i) {
    std::string bad = stored;
    bad[i] = bad[i] == 'A' ? 'B' : 'A';
    Result r = Decode(bad);
    EXPECT_NE(r.status, VNPROTECT_OK) << bad;
    EXPECT_EQ(r.text, "") << bad;
  }
  EXPECT_EQ(Decode("123456789012").status, VNPROTECT_ERR_FORMAT);  // a value never encoded
  EXPECT_EQ(Decode("").status, VNPROTECT_ERR_FORMAT);
  EXPECT_EQ(Decode(stored, "").status, VNPROTECT_ERR_KEY);
  EXPECT_EQ(Decode(stored, std::string(65, '0').c_str()).status, VNPROTECT_ERR_KEY);
}

TEST(VnProtect, OnlyTheEncodersExactFormDecodes) {
  // The last character of a short group carries bits below the text's last byte: set, they make
  // another spelling of the same text, which is refused.
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";
  for (const std::string text : {"7", "77", "1234"}) {
    std::string stored = Encode(text);
    stored.back() = alphabet[alphabet.find(stored.back()) + 1];
    EXPECT_EQ(Decode(stored).status, VNPROTECT_ERR_FORMAT) << text;
  }
  // Every one-byte stored form: under each check exactly one body decodes to a zero byte, a
  // format error (no text can hold it); exactly the 255 other byte values decode.
  int format_errors = 0, decoded = 0;
  for (char c0 : alphabet)
    for (char c1 : alphabet)
      for (char b0 : alphabet)
        for (int b1 = 0; b1 < 64; b1 += 16) {
          const Result r = Decode({'V', '1', c0, c1, b0, alphabet[b1]});
          format_errors += r.status == VNPROTECT_ERR_FORMAT;
          decoded += r.status == VNPROTECT_OK && r.text.size() == 1;
        }
  EXPECT_EQ(format_errors, 64 * 64);
  EXPECT_EQ(decoded, 255);
}

TEST(VnProtect, EncoderRefusesWhatItCannotStore) {
  char out[VNPROTECT_STORED_MAX + 1];
  EXPECT_EQ(P_Encode1(std::string(201, 'x').c_str(), "0847", out, sizeof out),
            VNPROTECT_ERR_TOO_LONG);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(P_Encode1("123", "0847", out, 8), VNPROTECT_ERR_BUFFER);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(P_Encode1("123", "0847", out, 0), VNPROTECT_ERR_ARGUMENT);
  EXPECT_EQ(P_Encode1(nullptr, "0847", out, sizeof out), VNPROTECT_ERR_ARGUMENT);
  EXPECT_EQ(P_Encode1("123", "", out, sizeof out), VNPROTECT_ERR_KEY);
  // The largest text needs exactly the documented size.
  EXPECT_EQ(P_Encode1(std::string(200, 'x').c_str(), "0847", out, sizeof out), VNPROTECT_OK);
  EXPECT_EQ(std::strlen(out), size_t{VNPROTECT_STORED_MAX});
}

TEST(VnProtectWrapper, CallerSideDecodesAndEncodes) {
  const std::string name = Utf8ToCp932("管理者ﾊﾟｽﾜｰﾄﾞ");
  EXPECT_EQ(DecodeStoredValue(EncodeStoredValue(name)), name);
  EXPECT_EQ(DecodeStoredValue(EncodeStoredValue("123456789012")), "123456789012");
  // Whatever the library cannot decode comes out empty, as the program expects.
  EXPECT_EQ(DecodeStoredValue(""), "");
  EXPECT_EQ(DecodeStoredValue("not a stored value"), "");
  // A zero byte ends the stored value, as it does for the library.
  EXPECT_EQ(DecodeStoredValue(EncodeStoredValue("12") + std::string(1, '\0') + "junk"), "12");
  EXPECT_THROW(EncodeStoredValue(std::string(201, '1')), std::invalid_argument);
  EXPECT_THROW(EncodeStoredValue(std::string("a\0b", 3)), std::invalid_argument);
  EXPECT_EQ(DecodeStoredValue(EncodeStoredValue(std::string(200, '9'))), std::string(200, '9'));
}

}  // namespace
}  // namespace nc16
