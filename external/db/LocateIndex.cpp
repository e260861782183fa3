#include "external/db/LocateIndex.h"

#include <cmath>
#include <cstring>

namespace nc16::db::detail {
namespace {

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

bool IntegralDouble(double f, int64_t& out) {
  if (std::isfinite(f) && std::floor(f) == f && std::fabs(f) < 9.2e18) {
    out = static_cast<int64_t>(f);
    return true;
  }
  return false;
}

}  // namespace

CellView ViewOf(const RowSet& rows, const Cell& c) {
  CellView v;
  v.kind = c.kind;
  switch (c.kind) {
    case CellKind::kInt:
      v.i = c.i;
      break;
    case CellKind::kFloat:
      v.f = c.f;
      break;
    case CellKind::kText:
    case CellKind::kBlob:
      v.bytes = rows.Bytes(c);
      break;
    case CellKind::kNull:
      break;
  }
  return v;
}

uint64_t HashCell(const CellView& v) {
  switch (v.kind) {
    case CellKind::kNull:
      return 0x9e3779b97f4a7c15ULL;
    case CellKind::kInt:
      return Mix(static_cast<uint64_t>(v.i));
    case CellKind::kFloat: {
      // An integral float hashes like the integer it equals.
      if (int64_t n = 0; IntegralDouble(v.f, n)) return Mix(static_cast<uint64_t>(n));
      uint64_t bits = 0;
      std::memcpy(&bits, &v.f, sizeof bits);
      return Mix(bits ^ 0x5555555555555555ULL);
    }
    case CellKind::kText:
    case CellKind::kBlob: {
      uint64_t h = 0xcbf29ce484222325ULL;  // FNV-1a
      for (unsigned char c : v.bytes)
        h = (h ^ c) * 0x100000001b3ULL;
      return Mix(h);
    }
  }
  return 0;
}

bool CellsEqual(const CellView& a, const CellView& b) {
  const bool a_num = a.kind == CellKind::kInt || a.kind == CellKind::kFloat;
  const bool b_num = b.kind == CellKind::kInt || b.kind == CellKind::kFloat;
  if (a_num && b_num) {
    if (a.kind == CellKind::kInt && b.kind == CellKind::kInt) return a.i == b.i;
    if (a.kind == CellKind::kFloat && b.kind == CellKind::kFloat) return a.f == b.f;
    const CellView& i = a.kind == CellKind::kInt ? a : b;
    const CellView& f = a.kind == CellKind::kInt ? b : a;
    int64_t n = 0;
    return IntegralDouble(f.f, n) && n == i.i;
  }
  if (a.kind == CellKind::kNull || b.kind == CellKind::kNull) return a.kind == b.kind;
  if (a_num || b_num) return false;
  return a.bytes == b.bytes;  // text and blob: byte for byte
}

LocateIndex::LocateIndex(const RowSet& rows, std::vector<int> columns)
    : rows_(rows), columns_(std::move(columns)) {
  // At most 5/8 full: probes stay short and the slots stay few, since the cache miss on the slot
  // is most of what a lookup costs.
  size_t cap = 16;
  while (cap * 5 < rows.Rows() * 8)
    cap <<= 1;
  slots_.assign(cap, Slot{});
  mask_ = cap - 1;
  for (size_t r = 0; r < rows.Rows(); ++r) {
    const uint64_t h = HashRow(r);
    const auto tag = static_cast<uint32_t>(h >> 32);
    for (size_t s = h & mask_;; s = (s + 1) & mask_) {
      if (slots_[s].row == 0) {
        slots_[s] = Slot{static_cast<uint32_t>(r + 1), tag};
        break;
      }
      if (slots_[s].tag == tag && RowEquals(slots_[s].row - 1, r)) break;  // an earlier row wins
    }
  }
}

uint64_t LocateIndex::HashRow(size_t row) const {
  uint64_t h = 0;
  for (int c : columns_)
    h = Mix(h * 31 + HashCell(ViewOf(rows_, rows_.At(row, c))));
  return h;
}

bool LocateIndex::RowEquals(size_t a, size_t b) const {
  for (int c : columns_) {
    if (!CellsEqual(ViewOf(rows_, rows_.At(a, c)), ViewOf(rows_, rows_.At(b, c)))) return false;
  }
  return true;
}

bool LocateIndex::RowEquals(size_t row, const std::vector<CellView>& probe) const {
  for (size_t k = 0; k < columns_.size(); ++k) {
    const Cell& c = rows_.At(row, columns_[k]);
    const CellView& p = probe[k];
    // The common key, integer against integer, without building a view.
    if (c.kind == CellKind::kInt && p.kind == CellKind::kInt) {
      if (c.i != p.i) return false;
    } else if (!CellsEqual(ViewOf(rows_, c), p)) {
      return false;
    }
  }
  return true;
}

std::optional<size_t> LocateIndex::Find(const std::vector<CellView>& probe) const {
  uint64_t h = 0;
  for (const CellView& v : probe)
    h = Mix(h * 31 + HashCell(v));
  const auto tag = static_cast<uint32_t>(h >> 32);
  for (size_t s = h & mask_; slots_[s].row != 0; s = (s + 1) & mask_) {
    if (slots_[s].tag == tag && RowEquals(slots_[s].row - 1, probe)) return slots_[s].row - 1;
  }
  return std::nullopt;
}

}  // namespace nc16::db::detail
