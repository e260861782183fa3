#pragma once
// The demo data's random numbers: splitmix64, chosen because its output is fixed by its few lines
// of arithmetic, so a seed gives the same installation with every compiler and standard library
// (the std distributions may differ between library versions).

#include <cstddef>
#include <cstdint>
#include <span>

namespace nc16::demo {

class DemoRandom {
 public:
  explicit DemoRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number in [0, n); n > 0. The slight bias of the modulo does not matter for demo data.
  uint64_t Below(uint64_t n) { return Next() % n; }

  // A number in [low, high].
  int64_t Between(int64_t low, int64_t high) {
    return low + static_cast<int64_t>(Below(static_cast<uint64_t>(high - low) + 1));
  }

  // True with a chance of `percent` in 100.
  bool Percent(int percent) { return Below(100) < static_cast<uint64_t>(percent); }

  template <class T>
  const T& Pick(std::span<const T> items) {
    return items[Below(items.size())];
  }

  // An independent stream for one part of the data (an employee, a data set), so that adding
  // draws in one part does not shift every value generated after it.
  static DemoRandom Stream(uint64_t seed, uint64_t part) {
    DemoRandom mixer(seed ^ (part * 0xD1B54A32D192ED03ull));
    return DemoRandom(mixer.Next());
  }

 private:
  uint64_t state_;
};

}  // namespace nc16::demo
