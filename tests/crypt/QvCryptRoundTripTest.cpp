// Round trips through the crypt library in both modes, the launcher's Base64 key path, and the
// answers to wrong secrets and bad arguments.

#include <gtest/gtest.h>

#include <cstring>

#include "document/xPzConv.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "external/qvcrypt/QveFormat.h"
#include "platform/Cp932.h"
#include "tests/crypt/CryptTestUtil.h"

namespace nc16::test {
namespace {

uint64_t HeaderU64(const std::string& file, size_t offset) {
  uint64_t v = 0;
  for (size_t i = 0; i < 8; ++i)
    v |= uint64_t{static_cast<unsigned char>(file[offset + i])} << (8 * i);
  return v;
}

// The key as the wizard's output step hands it over: TxPzConv's decoding, whole.
std::string KeyFromBase64(std::string_view b64) {
  return TxPzConv().DecodeBase64(b64);
}

TEST(QvCryptRoundTrip, PasswordAndKeyModesGiveBackEveryByte) {
  TempFolder dir;
  const size_t chunk = qve::kDefaultChunkSize;
  // Empty, small, exactly one chunk, one byte either side of a chunk boundary, several chunks.
  for (size_t size : {size_t{0}, size_t{1}, size_t{100}, chunk - 1, chunk, chunk + 1, 3 * chunk,
                      3 * chunk + 17}) {
    SCOPED_TRACE(size);
    const std::string data = Pattern(size);
    ASSERT_EQ(EncryptPassword(data, dir / "p.qve", "pass"), QVCRYPT_OK);
    Decrypted p = DecryptPassword(dir / "p.qve", "pass");
    ASSERT_EQ(p.code, QVCRYPT_OK);
    EXPECT_EQ(p.bytes, data);

    ASSERT_EQ(EncryptKey(data, dir / "k.qve", "key bytes"), QVCRYPT_OK);
    Decrypted k = DecryptKey(dir / "k.qve", "key bytes");
    ASSERT_EQ(k.code, QVCRYPT_OK);
    EXPECT_EQ(k.bytes, data);

    // Header, then one 17-byte overhead per chunk; an empty document still has its final chunk.
    size_t chunks = size == 0 ? 1 : (size + chunk - 1) / chunk;
    EXPECT_EQ(ReadBytes(dir / "p.qve").size(), qve::kHeaderSize + size + 17 * chunks);
  }
}

TEST(QvCryptRoundTrip, SameInputTwiceGivesDifferentFiles) {
  TempFolder dir;
  const std::string data = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
  ASSERT_EQ(EncryptKey(data, dir / "a.qve", "k"), QVCRYPT_OK);
  ASSERT_EQ(EncryptKey(data, dir / "b.qve", "k"), QVCRYPT_OK);
  const std::string a = ReadBytes(dir / "a.qve");
  const std::string b = ReadBytes(dir / "b.qve");
  ASSERT_EQ(a.size(), b.size());
  // Salt, nonce and therefore every ciphertext byte differ.
  EXPECT_NE(a.substr(qve::kOffSalt, 16), b.substr(qve::kOffSalt, 16));
  EXPECT_NE(a.substr(qve::kOffStreamHeader, 24), b.substr(qve::kOffStreamHeader, 24));
  EXPECT_NE(a.substr(qve::kHeaderSize), b.substr(qve::kHeaderSize));
  EXPECT_EQ(a.find("Shift_JIS"), std::string::npos);
}

TEST(QvCryptRoundTrip, DefaultPasswordHashIsAtLeastInteractiveAndRecorded) {
  // libsodium's crypto_pwhash_argon2id_*_INTERACTIVE.
  constexpr uint64_t kInteractiveOps = 2;
  constexpr uint64_t kInteractiveMem = 64ull * 1024 * 1024;
  TempFolder dir;
  const std::string data = "individual numbers";
  ASSERT_EQ(QvCryptEncryptMemToFile(data.data(), static_cast<int32_t>(data.size()),
                                    (dir / "d.qve").string().c_str(), "pw"),
            QVCRYPT_OK);
  const std::string file = ReadBytes(dir / "d.qve");
  const QvCryptKdfLimits def = QvCryptDefaultKdfLimits();
  EXPECT_GE(def.opslimit, kInteractiveOps);
  EXPECT_GE(def.memlimit, kInteractiveMem);
  EXPECT_EQ(HeaderU64(file, qve::kOffOpslimit), def.opslimit);
  EXPECT_EQ(HeaderU64(file, qve::kOffMemlimit), def.memlimit);
  EXPECT_EQ(file[qve::kOffMode], 1);

  // The importing product's call reads the limits from the header.
  void* out = nullptr;
  int32_t len = 0;
  ASSERT_EQ(QvCryptDecryptFileToMem((dir / "d.qve").string().c_str(), "pw", &out, &len),
            QVCRYPT_OK);
  EXPECT_EQ(std::string(static_cast<char*>(out), static_cast<size_t>(len)), data);
  QvCryptFreeMem(out);
}

TEST(QvCryptRoundTrip, ReaderRefusesAHashCostAboveItsCeilingBeforeHashing) {
  TempFolder dir;
  const QvCryptKdfLimits costly{3, 512 * 1024};
  ASSERT_EQ(QvCryptEncryptMemToFileEx("x", 1, (dir / "c.qve").string().c_str(), "pw", &costly),
            QVCRYPT_OK);
  EXPECT_EQ(DecryptPassword(dir / "c.qve", "pw", QvCryptKdfLimits{2, 1 << 20}).code,
            QVCRYPT_ERR_PARAMS);
  EXPECT_EQ(DecryptPassword(dir / "c.qve", "pw", QvCryptKdfLimits{4, 256 * 1024}).code,
            QVCRYPT_ERR_PARAMS);
  EXPECT_EQ(DecryptPassword(dir / "c.qve", "pw", QvCryptKdfLimits{3, 512 * 1024}).bytes, "x");
}

TEST(QvCryptRoundTrip, WrongSecretsAndWrongModeFail) {
  TempFolder dir;
  ASSERT_EQ(EncryptPassword("secret data", dir / "p.qve", "correct"), QVCRYPT_OK);
  ASSERT_EQ(EncryptKey("secret data", dir / "k.qve", "correct"), QVCRYPT_OK);
  EXPECT_EQ(DecryptPassword(dir / "p.qve", "Correct").code, QVCRYPT_ERR_AUTH);
  EXPECT_EQ(DecryptPassword(dir / "p.qve", "correct ").code, QVCRYPT_ERR_AUTH);
  EXPECT_EQ(DecryptKey(dir / "k.qve", "correcT").code, QVCRYPT_ERR_AUTH);
  // The same text as password and as key must not open each other's files.
  EXPECT_EQ(DecryptKey(dir / "p.qve", "correct").code, QVCRYPT_ERR_WRONG_MODE);
  EXPECT_EQ(DecryptPassword(dir / "k.qve", "correct").code, QVCRYPT_ERR_WRONG_MODE);
}

TEST(QvCryptRoundTrip, Cp932PasswordAndFileName) {
  TempFolder dir;
  // Paths and passwords arrive as CP932 texts; the file appears under its native name (UTF-8 on
  // POSIX, UTF-16 on Windows).
  const std::filesystem::path native = dir.path() / u8"中間ﾌｧｲﾙ.xml.qve";
  const std::string name = FromNativePath(native);
  const std::string password = Utf8ToCp932("ﾊﾟｽﾜｰﾄﾞ給与");
  const std::string data = Utf8ToCp932("社員情報");
  ASSERT_EQ(QvCryptEncryptMemToFileEx(data.data(), static_cast<int32_t>(data.size()), name.c_str(),
                                      password.c_str(), &kFastLimits),
            QVCRYPT_OK);
  EXPECT_TRUE(std::filesystem::exists(native));
  void* out = nullptr;
  int32_t len = 0;
  ASSERT_EQ(QvCryptDecryptFileToMem(name.c_str(), password.c_str(), &out, &len), QVCRYPT_OK);
  EXPECT_EQ(std::string(static_cast<char*>(out), static_cast<size_t>(len)), data);
  QvCryptFreeMem(out);
  // The UTF-8 spelling of the same password is other bytes, hence another password.
  const QvCryptKdfLimits ceiling = kTestCeiling;
  out = nullptr;
  EXPECT_EQ(QvCryptDecryptFileToMemEx(name.c_str(), "ﾊﾟｽﾜｰﾄﾞ給与", &ceiling, &out, &len),
            QVCRYPT_ERR_AUTH);
  EXPECT_EQ(out, nullptr);
}

TEST(QvCryptKeyPath, Base64QuirksDecideTheKey) {
  TempFolder dir;
  // "QUJD" is "ABC". The launcher's text goes through TxPzConv as in the output step.
  ASSERT_EQ(KeyFromBase64("QUJD"), "ABC");
  ASSERT_EQ(EncryptKey("data", dir / "k.qve", KeyFromBase64("QUJD")), QVCRYPT_OK);
  // Texts that the quirks decode to the same key open the file:
  for (const char* same : {"QUJD",
                           "QUJDR",     // one to three characters after the last group: ignored
                           "QUJDRE",    //
                           "QUJDREV"})  //
  {
    SCOPED_TRACE(same);
    EXPECT_EQ(DecryptKey(dir / "k.qve", KeyFromBase64(same)).bytes, "data");
  }
  // A character outside the alphabet is not skipped: it counts as zero bits in its place.
  EXPECT_EQ(KeyFromBase64("Q-JD"), std::string("\x40\x02\x43", 3));
  EXPECT_EQ(DecryptKey(dir / "k.qve", KeyFromBase64("Q-JD")).code, QVCRYPT_ERR_AUTH);
  ASSERT_EQ(EncryptKey("minus", dir / "m.qve", KeyFromBase64("Q-JD")), QVCRYPT_OK);
  EXPECT_EQ(DecryptKey(dir / "m.qve", KeyFromBase64("Q JD")).bytes, "minus");  // blank alike
  // A zero second byte is dropped, not kept: "QQBD" is 'A', 0, 'C' and gives "AC".
  EXPECT_EQ(KeyFromBase64("QQBD"), "AC");
  // Zero bytes are key bytes like any other, wherever they are: a key that begins with them, or
  // ends with them, is its own key, never cut to the bytes before its first zero (nor to none).
  for (const char* zeros : {"AAAAQUJD", "QUJDAAAA", "QUJDAEVG"}) {
    SCOPED_TRACE(zeros);
    const std::string key = KeyFromBase64(zeros);
    ASSERT_NE(key.find('\0'), std::string::npos);
    ASSERT_EQ(EncryptKey("zeros", dir / "z.qve", key), QVCRYPT_OK);
    EXPECT_EQ(DecryptKey(dir / "z.qve", key).bytes, "zeros");
    EXPECT_EQ(DecryptKey(dir / "z.qve", key.substr(0, key.find('\0')) + "x").code,
              QVCRYPT_ERR_AUTH);
    EXPECT_EQ(DecryptKey(dir / "k.qve", key).code, QVCRYPT_ERR_AUTH);
  }
  // An empty key is refused, not used.
  EXPECT_EQ(EncryptKey("x", dir / "e.qve", ""), QVCRYPT_ERR_ARGUMENT);
  EXPECT_FALSE(std::filesystem::exists(dir / "e.qve"));
}

TEST(QvCryptArguments, BadArgumentsAreRefusedWithoutAFile) {
  TempFolder dir;
  const auto f = dir / "f.qve";
  const std::string fn_text = f.string();
  const char* fn = fn_text.c_str();
  EXPECT_EQ(QvCryptEncryptMemToFile(nullptr, 1, fn, "pw"), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFile("x", -1, fn, "pw"), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFile("x", 1, nullptr, "pw"), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFile("x", 1, "", "pw"), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFile("x", 1, fn, nullptr), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFile("x", 1, fn, ""), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptEncryptMemToFileByKey("x", 1, fn, ""), QVCRYPT_ERR_ARGUMENT);
  // Limits below Argon2id's minimum or above what readers accept.
  for (QvCryptKdfLimits bad : {QvCryptKdfLimits{0, 8192}, QvCryptKdfLimits{1, 8191},
                               QvCryptKdfLimits{QvCryptMaxKdfLimits().opslimit + 1, 8192},
                               QvCryptKdfLimits{1, QvCryptMaxKdfLimits().memlimit + 1}})
    EXPECT_EQ(QvCryptEncryptMemToFileEx("x", 1, fn, "pw", &bad), QVCRYPT_ERR_ARGUMENT);
  EXPECT_FALSE(std::filesystem::exists(f));
  EXPECT_TRUE(dir.Entries().empty());

  // A null pointer with length 0 is an empty document.
  EXPECT_EQ(QvCryptEncryptMemToFileByKey(nullptr, 0, fn, "k"), QVCRYPT_OK);
  EXPECT_EQ(DecryptKey(f, "k").code, QVCRYPT_OK);

  void* out = nullptr;
  int32_t len = 0;
  EXPECT_EQ(QvCryptDecryptFileToMem(fn, "pw", nullptr, &len), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptDecryptFileToMem(fn, "pw", &out, nullptr), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptDecryptFileToMemByKey(fn, "", &out, &len), QVCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(QvCryptDecryptFileToMem((dir / "missing.qve").string().c_str(), "pw", &out, &len),
            QVCRYPT_ERR_OPEN);
  EXPECT_EQ(out, nullptr);
  QvCryptFreeMem(nullptr);
}

}  // namespace
}  // namespace nc16::test
