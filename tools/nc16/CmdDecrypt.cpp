// nc16 decrypt: reads an encrypted intermediate file back the way the importing product does,
// and writes the plaintext. A launcher's Base64 key is decoded with the same quirks as the
// wizard's output step, so a key that worked for writing works here unchanged.

#include <iostream>
#include <memory>
#include <string>

#include "document/xPzConv.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

const std::string& FaultText(int32_t code, bool by_key) {
  switch (code) {
    case QVCRYPT_ERR_ARGUMENT:
      // The key is cut at its first zero byte; a key whose decoding starts with one is empty.
      return by_key ? SJ("キーが空です (Base64 の復号結果が 0 バイトで始まります)")
                    : SJ("パスワードが空です");
    case QVCRYPT_ERR_INIT:
      return SJ("暗号ライブラリを初期化できません");
    case QVCRYPT_ERR_OPEN:
      return SJ("ファイルを開けません");
    case QVCRYPT_ERR_NOT_QVE:
      return SJ("暗号化された中間ファイルではありません");
    case QVCRYPT_ERR_VERSION:
      return SJ("対応していない形式の版です");
    case QVCRYPT_ERR_PARAMS:
      return SJ("ヘッダーに対応していない値があります");
    case QVCRYPT_ERR_WRONG_MODE:
      // Name the option that would have worked.
      return by_key ? SJ("パスワードで暗号化されたファイルです (--password)")
                    : SJ("キーで暗号化されたファイルです (--key)");
    case QVCRYPT_ERR_TRUNCATED:
      return SJ("ファイルが途中で切れています");
    case QVCRYPT_ERR_AUTH:
      return by_key ? SJ("キーが違うか、ファイルが改変されています")
                    : SJ("パスワードが違うか、ファイルが改変されています");
    case QVCRYPT_ERR_TOO_LARGE:
      return SJ("復号したデータが大きすぎます");
    case QVCRYPT_ERR_MEMORY:
      return SJ("メモリが足りません");
    default:
      return SJ("暗号ライブラリの内部エラーです");
  }
}

struct FreeMem {
  void operator()(void* p) const { QvCryptFreeMem(p); }
};

}  // namespace

int RunDecrypt(std::span<char* const> args) {
  Options opt(args, {"password", "key"}, {});
  if (!opt.ok()) return UsageError(opt.error());
  auto password = opt.Value("password");
  auto key_text = opt.Value("key");
  if (password.has_value() == key_text.has_value())
    return UsageError("decrypt needs exactly one of --password and --key");
  if (opt.Positional().size() != 2) return UsageError("decrypt needs IN and OUT");
  const std::string in = Utf8ToCp932(opt.Positional()[0]);
  const std::string& out = opt.Positional()[1];

  std::string secret;
  if (password) {
    secret = Utf8ToCp932(*password);
  } else {
    // The library takes the key as a zero-terminated text, so the writer's key ended at the
    // first zero byte that the decoding produced; cut it there too.
    secret = TxPzConv().DecodeBase64(*key_text);
    secret.resize(secret.find('\0') == std::string::npos ? secret.size() : secret.find('\0'));
  }

  void* raw = nullptr;
  int32_t length = 0;
  int32_t r = password ? QvCryptDecryptFileToMem(in.c_str(), secret.c_str(), &raw, &length)
                       : QvCryptDecryptFileToMemByKey(in.c_str(), secret.c_str(), &raw, &length);
  std::unique_ptr<void, FreeMem> plain(raw);
  if (r != QVCRYPT_OK) {
    PrintMessage(SJ("nc16 decrypt: ") + in + ": " + FaultText(r, !password) + " (" +
                 std::to_string(r) + ")");
    return 1;
  }
  try {
    // Owner-only, as the library writes the encrypted file: the plaintext may hold individual
    // numbers.
    WriteFileAtomic(NativePath(Utf8ToCp932(out)),
                    {static_cast<const char*>(plain.get()), static_cast<size_t>(length)},
                    FileAccess::kOwnerOnly);
  } catch (const EOSError& e) {
    PrintMessage(SJ("nc16 decrypt: ") + e.what());
    return 1;
  }
  return 0;
}

}  // namespace nc16::cli
