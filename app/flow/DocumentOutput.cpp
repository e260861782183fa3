#include "app/flow/DocumentOutput.h"

#include <algorithm>
#include <cstdint>

#include "external/qvcrypt/QvCryptLib.h"
#include "platform/Cp932.h"

namespace nc16 {

DocumentOutput::DocumentOutput(const std::string& target) {
  try {
    plain_ = std::make_unique<AtomicFile>(NativePath(target), FileAccess::kOwnerOnly);
  } catch (const EOSError&) {
    plain_failure_ = std::current_exception();
  }
}

DocumentOutput::DocumentOutput(const std::string& target, const std::string& secret, bool by_key,
                               const QvCryptKdfLimits* limits)
    : encrypted_(true) {
  // A key is bytes, zeros included, and goes whole with its length; a password is a text.
  const auto key_length = static_cast<int32_t>(std::min<size_t>(secret.size(), INT32_MAX));
  crypt_failure_ =
      by_key ? QvCryptStreamOpenByKeyBytes(target.c_str(), secret.data(), key_length, &crypt_)
             : QvCryptStreamOpen(target.c_str(), secret.c_str(), limits, &crypt_);
}

DocumentOutput::~DocumentOutput() {
  QvCryptStreamFree(crypt_);
}

TXmlSaveDoc::Sink DocumentOutput::Sink() {
  return [this](std::string_view bytes) { Take(bytes); };
}

void DocumentOutput::Take(std::string_view bytes) {
  if (plain_) {
    try {
      plain_->Write(bytes);
    } catch (const EOSError&) {
      plain_failure_ = std::current_exception();
      plain_.reset();  // the temporary file goes at once
    }
    return;
  }
  if (!crypt_ || crypt_failure_ != 0) return;
  crlf_.clear();
  lines_.Append(crlf_, bytes);
  if (crlf_.size() > static_cast<size_t>(INT32_MAX)) {
    crypt_failure_ = QVCRYPT_ERR_TOO_LARGE;
    return;
  }
  crypt_failure_ = QvCryptStreamWrite(crypt_, crlf_.data(), static_cast<int32_t>(crlf_.size()));
}

std::unique_ptr<AtomicFile> DocumentOutput::TakePlainFile() {
  if (plain_failure_) std::rethrow_exception(plain_failure_);
  return std::move(plain_);
}

int32_t DocumentOutput::Commit() {
  if (std::unique_ptr<AtomicFile> plain = TakePlainFile()) {
    plain->Commit();
    return 0;
  }
  if (!encrypted_) return 0;
  if (crypt_failure_ != 0) return crypt_failure_;
  crlf_.clear();
  lines_.Finish(crlf_);
  if (!crlf_.empty())
    crypt_failure_ = QvCryptStreamWrite(crypt_, crlf_.data(), static_cast<int32_t>(crlf_.size()));
  if (crypt_failure_ == 0) crypt_failure_ = QvCryptStreamCommit(crypt_);
  return crypt_failure_;
}

}  // namespace nc16
