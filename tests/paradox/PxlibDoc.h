#pragma once
// Debian's pxlib as an independent reader in the tests: a document over a file, closed on every
// path, with pxlib's own error reports silenced (the tests check results, not its messages).

#include <paradox.h>

#include <cstdio>
#include <filesystem>

namespace nc16::testing {

inline void QuietPxlib(pxdoc_t*, int, const char*, void*) {}

class PxDoc {
 public:
  explicit PxDoc(const std::filesystem::path& path) {
    doc_ = PX_new2(QuietPxlib, nullptr, nullptr, nullptr);
    fp_ = std::fopen(path.c_str(), "rb");
    ok_ = doc_ && fp_ && PX_open_fp(doc_, fp_) == 0;
  }
  ~PxDoc() {
    if (doc_) {
      PX_close(doc_);
      PX_delete(doc_);
    }
    if (fp_) std::fclose(fp_);
  }
  PxDoc(const PxDoc&) = delete;
  PxDoc& operator=(const PxDoc&) = delete;
  bool ok() const { return ok_; }
  pxdoc_t* get() const { return doc_; }

 private:
  pxdoc_t* doc_ = nullptr;
  FILE* fp_ = nullptr;
  bool ok_ = false;
};

}  // namespace nc16::testing
