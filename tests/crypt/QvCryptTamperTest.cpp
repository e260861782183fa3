// Altered and cut files: every change must fail to decrypt, and no plaintext may come out.

#include <gtest/gtest.h>

#include <set>

#include "external/qvcrypt/QvCryptLib.h"
#include "external/qvcrypt/QveFormat.h"
#include "fuzz/qvcrypt/FuzzInput.h"
#include "tests/crypt/CryptTestUtil.h"

namespace nc16::test {
namespace {

enum class Mode { kPassword, kKey };

class QvCryptTamper : public ::testing::TestWithParam<Mode> {
 protected:
  int32_t Encrypt(const std::string& data, const std::filesystem::path& file) {
    return GetParam() == Mode::kPassword ? EncryptPassword(data, file, "pw")
                                         : EncryptKey(data, file, "key");
  }
  Decrypted Decrypt(const std::filesystem::path& file) {
    return GetParam() == Mode::kPassword ? DecryptPassword(file, "pw") : DecryptKey(file, "key");
  }
  // Writes `bytes` to a file of its own and decrypts it.
  Decrypted DecryptBytes(const std::string& bytes) {
    WriteBytes(dir_ / "t.qve", bytes);
    return Decrypt(dir_ / "t.qve");
  }

  TempFolder dir_;
};

// The faults a changed file may report; anything else (or success) is a bug.
const std::set<int32_t> kTamperCodes = {QVCRYPT_ERR_NOT_QVE,   QVCRYPT_ERR_VERSION,
                                        QVCRYPT_ERR_PARAMS,    QVCRYPT_ERR_WRONG_MODE,
                                        QVCRYPT_ERR_TRUNCATED, QVCRYPT_ERR_AUTH};

TEST_P(QvCryptTamper, EveryFlippedByteFails) {
  const std::string data = "<REPORT><SYAIN>123456789012</SYAIN></REPORT>\r\n";
  ASSERT_EQ(Encrypt(data, dir_ / "f.qve"), QVCRYPT_OK);
  const std::string good = ReadBytes(dir_ / "f.qve");
  ASSERT_EQ(DecryptBytes(good).bytes, data);
  for (size_t pos = 0; pos < good.size(); ++pos) {
    for (unsigned mask : {0x01u, 0x80u, 0xFFu}) {
      std::string bad = good;
      bad[pos] = static_cast<char>(bad[pos] ^ mask);
      Decrypted d = DecryptBytes(bad);
      EXPECT_TRUE(kTamperCodes.count(d.code))
          << "byte " << pos << " mask " << mask << " gave " << d.code;
      EXPECT_TRUE(d.bytes.empty());
    }
  }
}

TEST_P(QvCryptTamper, EveryTruncationFails) {
  const std::string data = Pattern(300);
  ASSERT_EQ(Encrypt(data, dir_ / "f.qve"), QVCRYPT_OK);
  const std::string good = ReadBytes(dir_ / "f.qve");
  for (size_t len = 0; len < good.size(); ++len) {
    Decrypted d = DecryptBytes(good.substr(0, len));
    EXPECT_TRUE(kTamperCodes.count(d.code)) << "length " << len << " gave " << d.code;
  }
  // A cut inside the header is named as such, not as another kind of file.
  EXPECT_EQ(DecryptBytes(good.substr(0, 5)).code, QVCRYPT_ERR_TRUNCATED);
  EXPECT_EQ(DecryptBytes(good.substr(0, qve::kHeaderSize)).code, QVCRYPT_ERR_TRUNCATED);
  EXPECT_EQ(DecryptBytes("").code, QVCRYPT_ERR_TRUNCATED);
}

TEST_P(QvCryptTamper, ChunksCutMovedOrAppendedFail) {
  const size_t c = qve::kDefaultChunkSize;
  const size_t full = c + qve::kChunkOverhead;
  const std::string data = Pattern(3 * c + 1000);  // chunks 0, 1, 2 full, 3 short and final
  ASSERT_EQ(Encrypt(data, dir_ / "f.qve"), QVCRYPT_OK);
  const std::string good = ReadBytes(dir_ / "f.qve");
  ASSERT_EQ(good.size(), qve::kHeaderSize + 3 * full + 1000 + qve::kChunkOverhead);
  auto chunk = [&](size_t i) { return good.substr(qve::kHeaderSize + i * full, full); };
  const std::string header = good.substr(0, qve::kHeaderSize);

  // Cut exactly at each chunk boundary: the final tag is missing.
  for (size_t n = 1; n <= 3; ++n)
    EXPECT_EQ(DecryptBytes(good.substr(0, qve::kHeaderSize + n * full)).code, QVCRYPT_ERR_TRUNCATED)
        << n;
  // The first and last byte of every chunk.
  for (size_t i = 0; i < 4; ++i) {
    for (size_t at : {qve::kHeaderSize + i * full,
                      std::min(qve::kHeaderSize + (i + 1) * full, good.size()) - 1}) {
      std::string bad = good;
      bad[at] = static_cast<char>(bad[at] ^ 0x20);
      EXPECT_EQ(DecryptBytes(bad).code, QVCRYPT_ERR_AUTH) << at;
    }
  }
  const std::string last = good.substr(qve::kHeaderSize + 3 * full);
  EXPECT_EQ(DecryptBytes(header + chunk(1) + chunk(0) + chunk(2) + last).code, QVCRYPT_ERR_AUTH);
  EXPECT_EQ(DecryptBytes(header + chunk(0) + chunk(2) + last).code, QVCRYPT_ERR_AUTH);
  EXPECT_EQ(DecryptBytes(header + chunk(0) + chunk(1) + chunk(1) + chunk(2) + last).code,
            QVCRYPT_ERR_AUTH);
  // Bytes behind the final chunk are not silently ignored.
  EXPECT_NE(DecryptBytes(good + std::string(1, '\0')).code, QVCRYPT_OK);
  EXPECT_NE(DecryptBytes(good + last).code, QVCRYPT_OK);
  EXPECT_EQ(DecryptBytes(good).bytes, data);
}

TEST_P(QvCryptTamper, HeaderFieldsAreCheckedBeforeAnyWork) {
  ASSERT_EQ(Encrypt("data", dir_ / "f.qve"), QVCRYPT_OK);
  const std::string good = ReadBytes(dir_ / "f.qve");
  auto with = [&](size_t at, char v) {
    std::string s = good;
    s[at] = v;
    return DecryptBytes(s).code;
  };
  EXPECT_EQ(with(0, 'q'), QVCRYPT_ERR_NOT_QVE);
  EXPECT_EQ(DecryptBytes("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>").code,
            QVCRYPT_ERR_NOT_QVE);
  EXPECT_EQ(with(qve::kOffVersion, 2), QVCRYPT_ERR_VERSION);
  EXPECT_EQ(with(qve::kOffMode, 3), QVCRYPT_ERR_PARAMS);
  EXPECT_EQ(with(qve::kOffKdf, 3), QVCRYPT_ERR_PARAMS);
  EXPECT_EQ(with(qve::kOffChunkSize + 3, 0x7F), QVCRYPT_ERR_PARAMS);  // far above 16 MiB
  // A future version with a longer header is told apart from a cut file.
  std::string v2 = good.substr(0, 12);
  v2[qve::kOffVersion] = 2;
  EXPECT_EQ(DecryptBytes(v2).code, QVCRYPT_ERR_VERSION);
}

TEST(QvCryptForged, OnlyTheLastChunkMayBeFinal) {
  // Streams made with the key itself, so every chunk authenticates: a FINAL tag on the middle
  // chunk ends the stream there, and the chunk after it must not be accepted.
  const std::string full(4096, 'f');
  constexpr unsigned char kMessage = crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
  constexpr unsigned char kFinal = crypto_secretstream_xchacha20poly1305_TAG_FINAL;
  TempFolder dir;
  auto decrypt = [&](unsigned char first, unsigned char middle) {
    WriteBytes(dir / "f.qve", qve::fuzz::ForgeKeyFile(
                                  "key", 4096, {{first, full}, {middle, full}, {kFinal, "end"}}));
    return DecryptKey(dir / "f.qve", "key");
  };
  EXPECT_EQ(decrypt(kMessage, kMessage).bytes, full + full + "end");  // the forgery is sound
  EXPECT_EQ(decrypt(kMessage, kFinal).code, QVCRYPT_ERR_AUTH);
  EXPECT_EQ(decrypt(kFinal, kMessage).code, QVCRYPT_ERR_AUTH);
}

INSTANTIATE_TEST_SUITE_P(BothModes, QvCryptTamper, ::testing::Values(Mode::kPassword, Mode::kKey),
                         [](const auto& info) {
                           return info.param == Mode::kPassword ? "Password" : "Key";
                         });

}  // namespace
}  // namespace nc16::test
