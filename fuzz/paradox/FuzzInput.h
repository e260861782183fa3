#pragma once
// What the Paradox fuzzers do with one input, shared with the regression test that replays kept
// inputs in the normal build. Every ParadoxError is an expected outcome; anything else (a crash,
// a sanitizer report, another exception) is a finding.
//
// Table input: the bytes of a .DB file.
// Blob input:  u32 little-endian length n, then n bytes of a .DB file, then the .MB file.

#include <cstdint>
#include <string>
#include <string_view>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ValueText.h"

namespace nc16::px::fuzz {

inline constexpr size_t kMaxInput = 4 << 20;  // larger inputs say nothing new, only take time

inline void ReadEverything(const Table& t) {
  const TextDecoder decoder(t.header().code_page);
  const auto& fields = t.fields();
  t.ForEach([&](const Record& r) {
    for (size_t i = 0; i < fields.size(); ++i) {
      const int f = static_cast<int>(i);
      try {
        (void)FormatValueForDump(r.Get(f), fields[i].type, decoder);
      } catch (const ParadoxError&) {
        // A bad blob or BCD value fails that value only; the others are still read.
      }
      (void)r.IsNull(f);
    }
  });
}

inline void RunTableInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  try {
    Table t("fuzz.DB", std::string(data));
    ReadEverything(t);
  } catch (const ParadoxError&) {
  }
}

inline void RunBlobInput(std::string_view data) {
  if (data.size() > kMaxInput || data.size() < 4) return;
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  const size_t n = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<size_t>(p[3]) << 24);
  if (n > data.size() - 4) return;
  try {
    Table t("fuzz.DB", std::string(data.substr(4, n)), std::string(data.substr(4 + n)));
    ReadEverything(t);
  } catch (const ParadoxError&) {
  }
}

}  // namespace nc16::px::fuzz
