// nc16 decrypt: reads an encrypted intermediate file back the way the importing product does,
// and writes the plaintext. A launcher's Base64 key is decoded with the same quirks as the
// wizard's output step, so a key that worked for writing works here unchanged.

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

#include "app/flow/CryptResult.h"
#include "document/xPzConv.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

struct FreeMem {
  void operator()(void* p) const { QvCryptFreeMem(p); }
};

}  // namespace

int RunDecrypt(const Options& opt) {
  const SecretOption password_option{"password", "password-file"};
  const SecretOption key_option{"key", "key-file"};
  const bool by_key = SecretGiven(opt, key_option);
  if (by_key && SecretGiven(opt, password_option))
    return UsageError("decrypt takes a password or a key, not both");
  if (opt.Positional().size() != 2) return UsageError("decrypt needs IN and OUT");
  const std::string in = ExactCp932("IN", opt.Positional()[0]);
  const bool to_stdout = opt.Positional()[1] == "-";
  const std::string out = to_stdout ? std::string() : ExactCp932("OUT", opt.Positional()[1]);
  // Refused before the (slow) password hash: a FIFO, a device or a link in OUT's place would be
  // replaced by a plain file.
  if (!to_stdout) {
    if (auto refused = NotReplaceable(NativePath(out))) {
      PrintMessage(SJ("nc16 decrypt: ") + *refused);
      return 1;
    }
    // The encrypted file would be replaced by its own plaintext: under any name (a hard link,
    // "./", "dir/../"), OUT must be another file.
    if (platform::SameFile(in, out)) {
      PrintMessage(SJ("nc16 decrypt: ") + out + SJ(" は IN (") + in +
                   SJ(") と同じファイルです。暗号化されたファイルを平文で置き換えません"));
      return 1;
    }
  }

  std::string secret;
  if (by_key) {
    // The decoded key whole, zero bytes included, as the writer used it.
    secret = TxPzConv().DecodeBase64(*ReadSecret(opt, key_option, ""));
  } else {
    auto password = ReadSecret(opt, password_option, "パスワード: ");
    if (!password)
      return UsageError("decrypt needs --password, --password-file, --key or --key-file");
    secret = *password;
  }

  void* raw = nullptr;
  int32_t length = 0;
  const auto key_length = static_cast<int32_t>(std::min<size_t>(secret.size(), INT32_MAX));
  int32_t r = by_key ? QvCryptDecryptFileToMemByKeyBytes(in.c_str(), secret.data(), key_length,
                                                         &raw, &length)
                     : QvCryptDecryptFileToMem(in.c_str(), secret.c_str(), &raw, &length);
  std::unique_ptr<void, FreeMem> plain(raw);
  if (r != QVCRYPT_OK) {
    PrintMessage(SJ("nc16 decrypt: ") + CryptResultText(r, by_key, in));
    return 1;
  }
  const std::string_view bytes{static_cast<const char*>(plain.get()), static_cast<size_t>(length)};
  if (to_stdout) {
    // Checked by main when the output is flushed and closed.
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return 0;
  }
  try {
    // Owner-only, as the library writes the encrypted file: the plaintext may hold individual
    // numbers.
    WriteFileAtomic(NativePath(out), bytes, FileAccess::kOwnerOnly);
  } catch (const EOSError& e) {
    PrintMessage(SJ("nc16 decrypt: ") + e.what());
    return 1;
  }
  return 0;
}

}  // namespace nc16::cli
