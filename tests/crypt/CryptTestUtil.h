#pragma once
// Shared pieces of the crypt library tests: a scratch folder, whole-file helpers and decrypting
// into a std::string.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "external/qvcrypt/QvCryptLib.h"

namespace nc16::test {

// The cheapest password hash Argon2id allows (1 pass, 8 KiB): tests go through the Ex functions
// with these, the product's default stays as it is.
inline constexpr QvCryptKdfLimits kFastLimits{1, 8192};
// What the tests' reader is willing to spend: a header altered to ask for more is refused
// before hashing, which keeps the every-byte loops fast.
inline constexpr QvCryptKdfLimits kTestCeiling{4, 1024 * 1024};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// Bytes 0, 1, ... 255, 0, ... : no two neighbouring chunks look alike.
std::string Pattern(size_t size);

struct Decrypted {
  int32_t code = -1;
  std::string bytes;
};

// Decrypts `file` with a password through QvCryptDecryptFileToMemEx and the test ceiling.
Decrypted DecryptPassword(const std::filesystem::path& file, const std::string& password,
                          const QvCryptKdfLimits& ceiling = kTestCeiling);
Decrypted DecryptKey(const std::filesystem::path& file, const std::string& key);

int32_t EncryptPassword(const std::string& data, const std::filesystem::path& file,
                        const std::string& password);
int32_t EncryptKey(const std::string& data, const std::filesystem::path& file,
                   const std::string& key);

}  // namespace nc16::test
