// A small seeded generator (splitmix64). The standard distributions differ
// between standard libraries; this gives the same device and the same faults
// from the same seed everywhere.
#pragma once

#include <cstdint>

namespace veyra::sim {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n > 0).
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  // lo .. hi inclusive.
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  // True with the given chance in percent.
  bool Chance(int percent) { return percent > 0 && Below(100) < percent; }

 private:
  uint64_t state_;
};

// A stateless hash of a few numbers, for values that must depend only on
// their inputs (the meters at a given time).
inline uint64_t Mix(uint64_t a, uint64_t b) {
  Random r(a * 0x9E3779B97F4A7C15ull ^ b);
  return r.Next();
}

}  // namespace veyra::sim
