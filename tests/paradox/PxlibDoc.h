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

// pxlib 0.6.8 never frees the key copies PX_read_primary_index makes.
inline void FreePxlibIndexKeys(pxdoc_t* index) {
  auto* entries = static_cast<pxpindex_t*>(index->px_data);
  for (int i = 0; entries && i < index->px_datalen; ++i)
    index->free(index, entries[i].data);
}

// A primary index read by pxlib and handed to a table document for the life of the object:
// pxlib checks that its entries cover the table's records and then reads through it. On
// destruction the table gets its own index back, so each document frees only its own (pxlib
// 0.6.8 would free one twice), and the index's key copies are freed.
class AttachedIndex {
 public:
  AttachedIndex(PxDoc& table, PxDoc& index)
      : table_(table.get()),
        index_(index.get()),
        own_index_(table_->px_indexdata),
        own_len_(table_->px_indexdatalen),
        result_(PX_add_primary_index(table_, index_)) {}
  ~AttachedIndex() {
    table_->px_pindex = nullptr;
    table_->px_indexdata = own_index_;
    table_->px_indexdatalen = own_len_;
    FreePxlibIndexKeys(index_);
  }
  AttachedIndex(const AttachedIndex&) = delete;
  AttachedIndex& operator=(const AttachedIndex&) = delete;
  int result() const { return result_; }

 private:
  pxdoc_t* table_;
  pxdoc_t* index_;
  decltype(pxdoc_t::px_indexdata) own_index_;
  int own_len_;
  int result_;
};

}  // namespace nc16::testing
