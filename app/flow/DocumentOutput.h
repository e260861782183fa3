#pragma once
// Where the intermediate document's bytes go while it is built: a plain XML file, an encrypted
// file, or nowhere (a check that writes nothing). The target is replaced only by Commit, after
// the whole document went through; without it the temporary file is discarded and the target
// stays as it was. Every file is readable and writable by its owner only: the document holds
// names, addresses, birth dates and incomes.
//
// A failure to create or write the file is kept, not thrown into the extraction, and the bytes
// after it are dropped: the extraction runs to its end, so that no employee, problems and
// database errors are reported as they would be for a file written afterwards; Commit then
// reports the failure.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "document/CrLfLines.h"
#include "document/XMLSaveDoc.h"
#include "platform/AtomicFile.h"

struct QvCryptKdfLimits;
struct QvCryptStream;

namespace nc16 {

class DocumentOutput {
 public:
  // Takes the bytes and writes nothing.
  DocumentOutput() = default;
  // The plain XML file `target` (CP932).
  explicit DocumentOutput(const std::string& target);
  // The file `target` (CP932) encrypted with a password (limits null: the library's defaults)
  // or with key bytes, each zero-terminated. The key is derived here.
  DocumentOutput(const std::string& target, const std::string& secret, bool by_key,
                 const QvCryptKdfLimits* limits);
  ~DocumentOutput();
  DocumentOutput(const DocumentOutput&) = delete;
  DocumentOutput& operator=(const DocumentOutput&) = delete;

  // Hands the document's next bytes to the file.
  TXmlSaveDoc::Sink Sink();

  // Puts the file in place of the target. A plain file's failure raises its EOSError; an
  // encrypted file's returns the crypt library's code (0: written).
  int32_t Commit();

  // Instead of Commit, for a plain file: hands it over whole, for the caller to Commit; raises
  // its EOSError when it failed. Null when the output is no plain file.
  std::unique_ptr<AtomicFile> TakePlainFile();

 private:
  void Take(std::string_view bytes);

  std::unique_ptr<AtomicFile> plain_;
  QvCryptStream* crypt_ = nullptr;  // owned
  bool encrypted_ = false;
  CrLfLines lines_;  // the encrypted text ends every line with CR LF
  std::string crlf_;
  std::exception_ptr plain_failure_;
  int32_t crypt_failure_ = 0;
};

}  // namespace nc16
