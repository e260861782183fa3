// The exported C functions: argument checks, the translation of paths and limits, and the wall
// that keeps C++ exceptions from crossing into the caller.

#include "external/qvcrypt/QvCryptLib.h"

#include <sodium.h>

#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "external/qvcrypt/QveReader.h"
#include "external/qvcrypt/QveWriter.h"
#include "platform/Cp932.h"

namespace {

using nc16::qve::Header;
using nc16::qve::Kdf;
using nc16::qve::Mode;

constexpr QvCryptKdfLimits kDefaultLimits{crypto_pwhash_argon2id_OPSLIMIT_MODERATE,
                                          crypto_pwhash_argon2id_MEMLIMIT_MODERATE};
constexpr QvCryptKdfLimits kMaxLimits{crypto_pwhash_argon2id_OPSLIMIT_SENSITIVE,
                                      crypto_pwhash_argon2id_MEMLIMIT_SENSITIVE};

bool LimitsInRange(const QvCryptKdfLimits& l) {
  return l.opslimit >= crypto_pwhash_argon2id_OPSLIMIT_MIN && l.opslimit <= kMaxLimits.opslimit &&
         l.memlimit >= crypto_pwhash_argon2id_MEMLIMIT_MIN && l.memlimit <= kMaxLimits.memlimit;
}

// Runs `body`, turning any exception into a result code: nothing may unwind into C callers.
template <typename F>
int32_t Guarded(F&& body) noexcept {
  try {
    nc16::qve::LastFileError().clear();
    if (sodium_init() < 0) return QVCRYPT_ERR_INIT;
    return body();
  } catch (const std::bad_alloc&) {
    return QVCRYPT_ERR_MEMORY;
  } catch (...) {
    return QVCRYPT_ERR_INTERNAL;
  }
}

// The header of a new file under `mode`; false for limits the library does not accept.
bool NewHeader(Mode mode, const QvCryptKdfLimits* limits, Header& h) {
  h.mode = mode;
  if (mode == Mode::kPassword) {
    const QvCryptKdfLimits l = limits != nullptr ? *limits : kDefaultLimits;
    if (!LimitsInRange(l)) return false;
    h.kdf = Kdf::kArgon2id13;
    h.opslimit = l.opslimit;
    h.memlimit = l.memlimit;
  } else {
    h.kdf = Kdf::kKeyedBlake2b;
  }
  return true;
}

int32_t Encrypt(const void* data, int32_t length, const char* file_name, const char* secret,
                Mode mode, const QvCryptKdfLimits* limits) {
  return Guarded([&]() -> int32_t {
    if ((data == nullptr && length != 0) || length < 0 || file_name == nullptr ||
        *file_name == '\0' || secret == nullptr || *secret == '\0')
      return QVCRYPT_ERR_ARGUMENT;
    Header h;
    if (!NewHeader(mode, limits, h)) return QVCRYPT_ERR_ARGUMENT;
    std::span<const unsigned char> bytes;
    if (length > 0) bytes = {static_cast<const unsigned char*>(data), static_cast<size_t>(length)};
    return nc16::qve::WriteQveFile(bytes, nc16::NativePath(file_name), secret, h);
  });
}

// The secret of a C caller: a zero-terminated text, or bytes with their length (which may hold
// zeros); empty when there is none, which every function refuses.
std::string_view SecretOf(const char* text) {
  return text == nullptr ? std::string_view() : std::string_view(text);
}

std::string_view SecretOf(const void* bytes, int32_t length) {
  if (bytes == nullptr || length <= 0) return {};
  const std::string_view key(static_cast<const char*>(bytes), static_cast<size_t>(length));
  // Zero bytes alone are no key: what a Base64 text of no valid character decodes to.
  if (key.find_first_not_of('\0') == std::string_view::npos) return {};
  return key;
}

int32_t OpenStream(const char* file_name, std::string_view secret, Mode mode,
                   const QvCryptKdfLimits* limits, QvCryptStream** stream) {
  if (stream != nullptr) *stream = nullptr;
  return Guarded([&]() -> int32_t {
    if (file_name == nullptr || *file_name == '\0' || secret.empty() || stream == nullptr)
      return QVCRYPT_ERR_ARGUMENT;
    Header h;
    if (!NewHeader(mode, limits, h)) return QVCRYPT_ERR_ARGUMENT;
    auto writer = std::make_unique<nc16::qve::StreamWriter>();
    int32_t r = writer->Open(nc16::NativePath(file_name), secret, h);
    if (r != QVCRYPT_OK) return r;
    *stream = reinterpret_cast<QvCryptStream*>(writer.release());
    return QVCRYPT_OK;
  });
}

nc16::qve::StreamWriter* WriterOf(QvCryptStream* stream) {
  return reinterpret_cast<nc16::qve::StreamWriter*>(stream);
}

int32_t Decrypt(const char* file_name, std::string_view secret, Mode mode,
                const QvCryptKdfLimits* max_limits, void** data, int32_t* length) {
  if (data != nullptr) *data = nullptr;
  if (length != nullptr) *length = 0;
  return Guarded([&]() -> int32_t {
    if (file_name == nullptr || *file_name == '\0' || secret.empty() || data == nullptr ||
        length == nullptr)
      return QVCRYPT_ERR_ARGUMENT;
    const QvCryptKdfLimits l = max_limits != nullptr ? *max_limits : kMaxLimits;
    nc16::qve::Plaintext plain;
    int32_t r = nc16::qve::ReadQveFile(nc16::NativePath(file_name), mode, secret, l, plain);
    if (r != QVCRYPT_OK) return r;
    *length = static_cast<int32_t>(plain.size);
    *data = plain.bytes.release();
    return QVCRYPT_OK;
  });
}

}  // namespace

std::string& nc16::qve::LastFileError() {
  static thread_local std::string text;
  return text;
}

extern "C" {

QvCryptKdfLimits QvCryptDefaultKdfLimits(void) {
  return kDefaultLimits;
}

QvCryptKdfLimits QvCryptMaxKdfLimits(void) {
  return kMaxLimits;
}

int32_t QvCryptEncryptMemToFile(const void* data, int32_t dataLength, const char* fileName,
                                const char* password) {
  return Encrypt(data, dataLength, fileName, password, Mode::kPassword, nullptr);
}

int32_t QvCryptEncryptMemToFileEx(const void* data, int32_t dataLength, const char* fileName,
                                  const char* password, const QvCryptKdfLimits* limits) {
  return Encrypt(data, dataLength, fileName, password, Mode::kPassword, limits);
}

int32_t QvCryptEncryptMemToFileByKey(const void* data, int32_t dataLength, const char* fileName,
                                     const char* key) {
  return Encrypt(data, dataLength, fileName, key, Mode::kKey, nullptr);
}

int32_t QvCryptStreamOpen(const char* fileName, const char* password,
                          const QvCryptKdfLimits* limits, QvCryptStream** stream) {
  return OpenStream(fileName, SecretOf(password), Mode::kPassword, limits, stream);
}

int32_t QvCryptStreamOpenByKey(const char* fileName, const char* key, QvCryptStream** stream) {
  return OpenStream(fileName, SecretOf(key), Mode::kKey, nullptr, stream);
}

int32_t QvCryptStreamOpenByKeyBytes(const char* fileName, const void* key, int32_t keyLength,
                                    QvCryptStream** stream) {
  return OpenStream(fileName, SecretOf(key, keyLength), Mode::kKey, nullptr, stream);
}

int32_t QvCryptStreamWrite(QvCryptStream* stream, const void* data, int32_t dataLength) {
  return Guarded([&]() -> int32_t {
    if (stream == nullptr || (data == nullptr && dataLength != 0) || dataLength < 0)
      return QVCRYPT_ERR_ARGUMENT;
    std::span<const unsigned char> bytes;
    if (dataLength > 0)
      bytes = {static_cast<const unsigned char*>(data), static_cast<size_t>(dataLength)};
    return WriterOf(stream)->Write(bytes);
  });
}

int32_t QvCryptStreamCommit(QvCryptStream* stream) {
  return Guarded([&]() -> int32_t {
    if (stream == nullptr) return QVCRYPT_ERR_ARGUMENT;
    return WriterOf(stream)->Commit();
  });
}

void QvCryptStreamFree(QvCryptStream* stream) {
  try {
    delete WriterOf(stream);
  } catch (...) {  // nothing may unwind into C callers
  }
}

int32_t QvCryptDecryptFileToMem(const char* fileName, const char* password, void** data,
                                int32_t* dataLength) {
  return Decrypt(fileName, SecretOf(password), Mode::kPassword, nullptr, data, dataLength);
}

int32_t QvCryptDecryptFileToMemEx(const char* fileName, const char* password,
                                  const QvCryptKdfLimits* maxLimits, void** data,
                                  int32_t* dataLength) {
  return Decrypt(fileName, SecretOf(password), Mode::kPassword, maxLimits, data, dataLength);
}

int32_t QvCryptDecryptFileToMemByKey(const char* fileName, const char* key, void** data,
                                     int32_t* dataLength) {
  return Decrypt(fileName, SecretOf(key), Mode::kKey, nullptr, data, dataLength);
}

int32_t QvCryptDecryptFileToMemByKeyBytes(const char* fileName, const void* key, int32_t keyLength,
                                          void** data, int32_t* dataLength) {
  return Decrypt(fileName, SecretOf(key, keyLength), Mode::kKey, nullptr, data, dataLength);
}

void QvCryptFreeMem(void* data) {
  nc16::qve::FreePlain(data);
}

const char* QvCryptLastFileError(void) {
  return nc16::qve::LastFileError().c_str();
}

}  // extern "C"
