#pragma once
// The one process-wide linear congruential generator. Every draw first steps
// the state s := s * 134775813 + 1 (mod 2^32). The sequence of draws is part
// of the program's behaviour: a seed reproduces a whole search.

#include <cstdint>

class RandomGenerator {
 public:
  void Seed(uint32_t seed) { state_ = seed; }
  uint32_t State() const { return state_; }

  // Uniform integer in 0 .. range-1: the high 32 bits of s * range.
  uint32_t Next(uint32_t range) {
    Step();
    return static_cast<uint32_t>((static_cast<uint64_t>(state_) * range) >> 32);
  }

  // Uniform real in [0, 1): s / 2^32.
  double NextReal() {
    Step();
    return state_ / 4294967296.0;
  }

 private:
  void Step() { state_ = state_ * 134775813u + 1u; }
  uint32_t state_ = 0;
};

inline RandomGenerator ProcessRandom;

// Random(k): uniform integer in 0 .. k-1 (0 for k <= 0, after stepping).
inline int32_t Random(int32_t range) {
  return static_cast<int32_t>(ProcessRandom.Next(range > 0 ? static_cast<uint32_t>(range) : 0u));
}
// Random: uniform real in [0, 1).
inline double Random() { return ProcessRandom.NextReal(); }
inline void RandSeed(uint32_t seed) { ProcessRandom.Seed(seed); }
