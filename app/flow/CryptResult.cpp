#include "app/flow/CryptResult.h"

#include "external/qvcrypt/QvCryptLib.h"
#include "platform/Cp932.h"

namespace nc16 {

std::string CryptResultText(int32_t code, bool by_key, std::string_view file) {
  std::string words;
  switch (code) {
    case QVCRYPT_ERR_ARGUMENT:
      // The key is cut at its first zero byte; a key whose decoding starts with one is empty.
      words = by_key ? SJ("キーが空です (Base64 の復号結果が空か、0 のバイトだけです)")
                     : SJ("パスワードが空です");
      break;
    case QVCRYPT_ERR_INIT:
      words = SJ("暗号ライブラリを初期化できません");
      break;
    case QVCRYPT_ERR_CREATE:
      words = SJ("ファイルを作成できません");
      break;
    case QVCRYPT_ERR_WRITE:
      words = SJ("ファイルを書き込めません");
      break;
    case QVCRYPT_ERR_OPEN:
      words = SJ("ファイルを開けません");
      break;
    case QVCRYPT_ERR_NOT_QVE:
      words = SJ("暗号化された中間ファイルではありません");
      break;
    case QVCRYPT_ERR_VERSION:
      words = SJ("対応していない形式の版です");
      break;
    case QVCRYPT_ERR_PARAMS:
      words = SJ("ヘッダーに対応していない値があります");
      break;
    case QVCRYPT_ERR_WRONG_MODE:
      // Name the option that would have worked.
      words = by_key ? SJ("パスワードで暗号化されたファイルです (--password)")
                     : SJ("キーで暗号化されたファイルです (--key)");
      break;
    case QVCRYPT_ERR_TRUNCATED:
      words = SJ("ファイルが途中で切れています");
      break;
    case QVCRYPT_ERR_AUTH:
      words = by_key ? SJ("キーが違うか、ファイルが改変されています")
                     : SJ("パスワードが違うか、ファイルが改変されています");
      break;
    case QVCRYPT_ERR_TOO_LARGE:
      words = SJ("データが大きすぎます");
      break;
    case QVCRYPT_ERR_MEMORY:
      words = SJ("メモリが足りません");
      break;
    default:
      words = SJ("暗号ライブラリの内部エラーです");
      break;
  }
  words += " (" + std::to_string(code) + ")";
  // The library's own account names the file already.
  if (const char* system = QvCryptLastFileError(); system != nullptr && *system != '\0')
    return words + ": " + system;
  return std::string(file) + ": " + words;
}

}  // namespace nc16
