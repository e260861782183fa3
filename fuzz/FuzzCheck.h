#pragma once
// A broken property found by a fuzz target: it names the property and aborts, so that libFuzzer
// keeps the input and the regression test that replays it fails.

#include <cstdio>
#include <cstdlib>

namespace nc16::fuzz {

[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

inline void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

}  // namespace nc16::fuzz
