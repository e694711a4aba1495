#pragma once
// Helpers for the genetic search tests: steering the generator to a chosen
// draw, restoring the process-wide state, and comparing gene lists.

#include <cstdint>
#include <string>

#include "model/EQAlgebra.h"
#include "genetic/EQGenerations.h"
#include "genetic/EQPopulation.h"
#include "model/MessagePump.h"
#include "model/Random.h"
#include "model/Settings.h"

namespace genetic_test {

inline constexpr uint32_t kMultiplier = 134775813u;

// The inverse of the multiplier modulo 2^32 (Newton's iteration).
inline uint32_t InverseMultiplier() {
  uint32_t inverse = kMultiplier;  // correct to 3 bits for an odd number
  for (int i = 0; i < 5; ++i) inverse *= 2u - kMultiplier * inverse;
  return inverse;
}

// The state s whose next step gives next_state.
inline uint32_t StateBefore(uint32_t next_state) { return (next_state - 1u) * InverseMultiplier(); }

// The state after `draws` steps from s.
inline uint32_t StateAfter(uint32_t s, int64_t draws) {
  for (int64_t i = 0; i < draws; ++i) s = s * kMultiplier + 1u;
  return s;
}

// Seeds so that the next integer draw Random(range) returns r.
inline void SeedForInteger(uint32_t r, uint32_t range) {
  const uint64_t next = ((static_cast<uint64_t>(r) << 32) + range - 1) / range;  // ceil(r * 2^32 / range)
  RandSeed(StateBefore(static_cast<uint32_t>(next)));
}

// Seeds so that the next real draw Random() returns exactly share (share * 2^32 an integer).
inline void SeedForReal(double share) {
  RandSeed(StateBefore(static_cast<uint32_t>(share * 4294967296.0)));
}

// Saves the settings block, the GA state, the pump hook and the generator,
// and puts them back when the test ends.
class ProcessStateGuard {
 public:
  ProcessStateGuard()
      : settings_(Settings), ga_(GA), hook_(InstalledMessagePump), state_(ProcessRandom.State()) {
    Settings = SearchSettings{};
    GA = GAStatus{};
    SetMessagePump(nullptr);
  }
  ~ProcessStateGuard() {
    Settings = settings_;
    GA = ga_;
    SetMessagePump(hook_);
    RandSeed(state_);
  }
  ProcessStateGuard(const ProcessStateGuard&) = delete;
  ProcessStateGuard& operator=(const ProcessStateGuard&) = delete;

 private:
  SearchSettings settings_;
  GAStatus ga_;
  MessagePumpHook hook_;
  uint32_t state_;
};

// Counts the message pumps while installed.
inline int64_t PumpCount = 0;
inline void CountingPump() { ++PumpCount; }

// Sets delta and maximum and the gene count that follows from them.
inline void SetGenes(bool delta, bool maximum) {
  Settings.DeltaEnabled = delta;
  Settings.MaximumEnabled = maximum;
  Settings.UpdateGeneCount();
}

// Counted entries of two pair lists agree (count and every entry).
inline bool SameGene(const PairGene& a, const PairGene& b) {
  if (a.Count != b.Count) return false;
  for (int k = 0; k < a.Count; ++k) {
    const PairEntry& x = a.Entries[static_cast<size_t>(k)];
    const PairEntry& y = b.Entries[static_cast<size_t>(k)];
    if (x.X != y.X || x.Y != y.Y || x.Value != y.Value) return false;
  }
  return true;
}

inline bool SameGene(const SingleGene& a, const SingleGene& b) {
  if (a.Count != b.Count) return false;
  for (int k = 0; k < a.Count; ++k) {
    const SingleEntry& x = a.Entries[static_cast<size_t>(k)];
    const SingleEntry& y = b.Entries[static_cast<size_t>(k)];
    if (x.X != y.X || x.Value != y.Value) return false;
  }
  return true;
}

// The number of counted entries in which two lists of equal count differ.
inline int DifferingEntries(const PairGene& a, const PairGene& b) {
  int differing = 0;
  for (int k = 0; k < a.Count; ++k) {
    const PairEntry& x = a.Entries[static_cast<size_t>(k)];
    const PairEntry& y = b.Entries[static_cast<size_t>(k)];
    if (x.X != y.X || x.Y != y.Y || x.Value != y.Value) ++differing;
  }
  return differing;
}

inline int DifferingEntries(const SingleGene& a, const SingleGene& b) {
  int differing = 0;
  for (int k = 0; k < a.Count; ++k) {
    const SingleEntry& x = a.Entries[static_cast<size_t>(k)];
    const SingleEntry& y = b.Entries[static_cast<size_t>(k)];
    if (x.X != y.X || x.Value != y.Value) ++differing;
  }
  return differing;
}

// The gene list of a gene number, delta included, as a differing-entry count.
inline int DifferingEntriesOfGene(const TEQAlgebra& a, const TEQAlgebra& b, int gene) {
  if (gene == kDeltaGene) return DifferingEntries(a.DeltaGene, b.DeltaGene);
  return DifferingEntries(*a.PairGeneByNumber(gene), *b.PairGeneByNumber(gene));
}

// A two-element algebra whose only free cell, 0 ~ 1, holds equality.
inline std::unique_ptr<TEQAlgebra> TwoElementAlgebra(char equality) {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(2);
  algebra->InfimumGene.Entries[0] = {'0', '1', '0'};
  algebra->ProductGene.Entries[0] = {'0', '0', '0'};
  algebra->ProductGene.Entries[1] = {'0', '1', '0'};
  algebra->ProductGene.Entries[2] = {'1', '0', '0'};
  algebra->ProductGene.Entries[3] = {'1', '1', '1'};
  algebra->FEqualityGene.Entries[0] = {'0', '1', equality};
  algebra->DeltaGene.Entries[0] = {'0', '0'};
  algebra->DeltaGene.Entries[1] = {'1', '1'};
  algebra->MaximumGene.Entries[0] = {'0', '0', '0'};
  algebra->MaximumGene.Entries[1] = {'0', '1', '1'};
  algebra->MaximumGene.Entries[2] = {'1', '0', '1'};
  algebra->MaximumGene.Entries[3] = {'1', '1', '1'};
  return algebra;
}

}  // namespace genetic_test
