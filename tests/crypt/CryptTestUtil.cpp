#include "tests/crypt/CryptTestUtil.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "tests/PortableTemp.h"

namespace nc16::test {

TempFolder::TempFolder() {
  path_ = nc16::testing::MakeTempFolder("nc16-crypt");
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // A test may have taken the write permission away; give it back so removal works.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempFolder::Entries() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i)
    s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

namespace {

Decrypted Collect(int32_t code, void* data, int32_t length) {
  Decrypted d;
  d.code = code;
  if (code != QVCRYPT_OK) {
    if (data != nullptr || length != 0) d.code = -3;  // a failed call must hand out nothing
    return d;
  }
  std::unique_ptr<void, void (*)(void*)> owned(data, QvCryptFreeMem);
  d.bytes.assign(static_cast<const char*>(data), static_cast<size_t>(length));
  // The buffer ends in a zero byte beyond the counted length.
  if (static_cast<const char*>(data)[length] != '\0') d.code = -2;
  return d;
}

}  // namespace

Decrypted DecryptPassword(const std::filesystem::path& file, const std::string& password,
                          const QvCryptKdfLimits& ceiling) {
  void* data = reinterpret_cast<void*>(1);
  int32_t length = -1;
  int32_t r =
      QvCryptDecryptFileToMemEx(file.string().c_str(), password.c_str(), &ceiling, &data, &length);
  return Collect(r, data, length);
}

Decrypted DecryptKey(const std::filesystem::path& file, const std::string& key) {
  void* data = reinterpret_cast<void*>(1);
  int32_t length = -1;
  int32_t r = QvCryptDecryptFileToMemByKeyBytes(file.string().c_str(), key.data(),
                                                static_cast<int32_t>(key.size()), &data, &length);
  return Collect(r, data, length);
}

int32_t EncryptPassword(const std::string& data, const std::filesystem::path& file,
                        const std::string& password) {
  return QvCryptEncryptMemToFileEx(data.data(), static_cast<int32_t>(data.size()),
                                   file.string().c_str(), password.c_str(), &kFastLimits);
}

int32_t EncryptKey(const std::string& data, const std::filesystem::path& file,
                   const std::string& key) {
  // The key whole, zero bytes included, as the output step hands a launcher's key over.
  QvCryptStream* stream = nullptr;
  int32_t r = QvCryptStreamOpenByKeyBytes(file.string().c_str(), key.data(),
                                          static_cast<int32_t>(key.size()), &stream);
  if (r == QVCRYPT_OK)
    r = QvCryptStreamWrite(stream, data.data(), static_cast<int32_t>(data.size()));
  if (r == QVCRYPT_OK) r = QvCryptStreamCommit(stream);
  QvCryptStreamFree(stream);
  return r;
}

}  // namespace nc16::test
