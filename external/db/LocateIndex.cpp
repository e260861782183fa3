#include "external/db/LocateIndex.h"

#include <algorithm>
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

// A kind's place in CompareCells' order.
int Rank(CellKind kind) {
  switch (kind) {
    case CellKind::kNull:
      return 0;
    case CellKind::kInt:
    case CellKind::kFloat:
      return 1;
    case CellKind::kText:
    case CellKind::kBlob:
      return 2;
  }
  return 0;
}

template <class T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// An integer against a float, exactly (no rounding of the integer to a double).
int CompareIntFloat(int64_t i, double f) {
  if (f < -9.2e18) return 1;
  if (f > 9.2e18) return -1;
  const double fl = std::floor(f);
  const auto n = static_cast<int64_t>(fl);
  if (i != n) return Sign(i, n);
  return fl == f ? 0 : -1;  // i == floor(f) < f
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

CellView CellRows::View(size_t row, int column, std::string&) const {
  return ViewOf(rows_, rows_.At(row, column));
}

std::optional<int> CompareCells(const CellView& a, const CellView& b) {
  if ((a.kind == CellKind::kFloat && std::isnan(a.f)) ||
      (b.kind == CellKind::kFloat && std::isnan(b.f))) {
    return std::nullopt;
  }
  const int ra = Rank(a.kind), rb = Rank(b.kind);
  if (ra != rb) return Sign(ra, rb);
  if (ra == 0) return 0;
  if (ra == 2) return Sign(a.bytes.compare(b.bytes), 0);
  if (a.kind == CellKind::kInt && b.kind == CellKind::kInt) return Sign(a.i, b.i);
  if (a.kind == CellKind::kFloat && b.kind == CellKind::kFloat) return Sign(a.f, b.f);
  if (a.kind == CellKind::kInt) return CompareIntFloat(a.i, b.f);
  return -CompareIntFloat(b.i, a.f);
}

LocateIndex::LocateIndex(const RowSource& rows, std::vector<int> columns)
    : rows_(rows), columns_(std::move(columns)) {
  sorted_ = KeysAscend();
  if (!sorted_) BuildHash();
}

bool LocateIndex::KeysAscend() const {
  for (size_t r = 1; r < rows_.Rows(); ++r) {
    for (int c : columns_) {
      const auto order =
          CompareCells(rows_.View(r - 1, c, scratch_a_), rows_.View(r, c, scratch_b_));
      if (!order || *order > 0) return false;
      if (*order < 0) break;  // ascending by this column; the later ones are free
    }
  }
  return true;
}

std::optional<size_t> LocateIndex::Bisect(const std::vector<CellView>& probe) const {
  // Compares row `row`'s key with the probe; nothing when a NaN makes them unequal.
  const auto compare = [&](size_t row) -> std::optional<int> {
    for (size_t k = 0; k < columns_.size(); ++k) {
      const auto order = CompareCells(rows_.View(row, columns_[k], scratch_a_), probe[k]);
      if (!order || *order != 0) return order;
    }
    return 0;
  };
  for (const CellView& v : probe) {
    if (v.kind == CellKind::kFloat && std::isnan(v.f)) return std::nullopt;
  }
  // The first row whose key is not below the probe lies in [lo, hi). Callers mostly look up keys
  // near the previous one (the next employee, the next payment), so the search gallops out from
  // where the last one ended before it bisects: a few comparisons instead of a score.
  const size_t n = rows_.Rows();
  size_t lo = 0, hi = n;
  if (const size_t from = std::min(hint_, n); from < n && compare(from).value_or(0) < 0) {
    lo = from + 1;
    for (size_t step = 1; lo < hi; step *= 2) {
      const size_t at = std::min(from + step, n - 1);
      if (compare(at).value_or(0) >= 0) {
        hi = at;
        break;
      }
      lo = at + 1;
    }
  } else {
    hi = from;
    for (size_t step = 1; lo < hi; step *= 2) {
      const size_t at = step > from ? 0 : from - step;
      if (compare(at).value_or(0) < 0) {
        lo = at + 1;
        break;
      }
      hi = at;
    }
  }
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (compare(mid).value_or(0) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  hint_ = lo;
  if (lo < n && compare(lo) == 0) return lo;
  return std::nullopt;
}

void LocateIndex::BuildHash() {
  // At most 5/8 full: probes stay short and the slots stay few, since the cache miss on the slot
  // is most of what a lookup costs.
  size_t cap = 16;
  while (cap * 5 < rows_.Rows() * 8)
    cap <<= 1;
  slots_.assign(cap, Slot{});
  mask_ = cap - 1;
  for (size_t r = 0; r < rows_.Rows(); ++r) {
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
    h = Mix(h * 31 + HashCell(rows_.View(row, c, scratch_a_)));
  return h;
}

bool LocateIndex::RowEquals(size_t a, size_t b) const {
  for (int c : columns_) {
    if (!CellsEqual(rows_.View(a, c, scratch_a_), rows_.View(b, c, scratch_b_))) return false;
  }
  return true;
}

bool LocateIndex::RowEquals(size_t row, const std::vector<CellView>& probe) const {
  for (size_t k = 0; k < columns_.size(); ++k) {
    if (!CellsEqual(rows_.View(row, columns_[k], scratch_a_), probe[k])) return false;
  }
  return true;
}

std::optional<size_t> LocateIndex::Find(const std::vector<CellView>& probe) const {
  if (sorted_) return Bisect(probe);
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
