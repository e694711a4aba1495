#pragma once
// FNV-1a over 64-bit words: the seeds and fingerprints of the finder's
// plans, settings and records. Records on disk carry these values, so the
// mixing must never change.

#include <cstdint>

class Fingerprint {
 public:
  // Starts from the offset basis mixed with `start` (by exclusive or).
  explicit Fingerprint(uint64_t start = 0) : hash_(kOffset ^ start) {}
  // Goes on from a fingerprint already taken.
  static Fingerprint Continuing(uint64_t value) {
    Fingerprint f;
    f.hash_ = value;
    return f;
  }
  void Mix(uint64_t word) { hash_ = (hash_ ^ word) * kPrime; }
  uint64_t Value() const { return hash_; }

 private:
  static constexpr uint64_t kOffset = 1469598103934665603ull;
  static constexpr uint64_t kPrime = 1099511628211ull;
  uint64_t hash_;
};
