// Each law loops with the rows of its outer variables hoisted and returns at
// the first failure, so a rejected table costs little and a winner one pass.

#include "finder/AxiomJudge.h"

#include <cstring>

#include "model/EQAlgebra.h"
#include "finder/Fingerprint.h"

bool TwelveAxiomsHold(const FiniteLattice& lattice, const uint8_t* prod, const uint8_t* eq) {
  const int n = lattice.n;
  const uint8_t* leq = lattice.leq.data();
  const uint8_t* meet = lattice.meet.data();
  const auto below = [&](int a, int b) { return leq[a * n + b] != 0; };
  for (int x = 0; x < n; ++x) {
    const uint8_t* x_prod = &prod[x * n];
    const uint8_t* x_eq = &eq[x * n];
    for (int y = 0; y < n; ++y) {
      if (!below(x_prod[y], x_eq[y])) return false;  // x * y <= x ~ y
      const uint8_t* xy_prod = &prod[x_prod[y] * n];
      const uint8_t* y_prod = &prod[y * n];
      for (int z = 0; z < n; ++z) {
        if (xy_prod[z] != x_prod[y_prod[z]]) return false;  // (x * y) * z = x * (y * z)
      }
      if (below(x, y)) {  // x <= y gives x * z <= y * z
        for (int z = 0; z < n; ++z) {
          if (!below(prod[x * n + z], prod[y * n + z])) return false;
        }
      }
      const uint8_t xy = meet[x * n + y];
      const uint8_t right = x_eq[xy];
      const uint8_t* xy_meet = &meet[xy * n];
      for (int z = 0; z < n; ++z) {
        if (!below(x_eq[xy_meet[z]], right)) return false;  // ((x ^ y) ^ z) ~ x <= (x ^ y) ~ x
      }
    }
  }
  for (int x = 0; x < n; ++x) {
    const uint8_t* x_eq = &eq[x * n];
    for (int y = 0; y < n; ++y) {
      const uint8_t* xy_prod = &prod[x_eq[y] * n];
      const uint8_t* y_eq = &eq[y * n];
      const uint8_t* xy_meet_eq = &eq[meet[x * n + y] * n];
      for (int z = 0; z < n; ++z) {
        const uint8_t* z_eq = &eq[z * n];
        const uint8_t* xz_eq = &eq[x_eq[z] * n];
        const uint8_t* left_prod = &prod[xy_meet_eq[z] * n];
        const uint8_t* y_meet = &meet[y * n];
        for (int t = 0; t < n; ++t) {
          if (!below(xy_prod[z_eq[t]], xz_eq[y_eq[t]])) return false;  // (x ~ y) * (z ~ t) <= (x ~ z) ~ (y ~ t)
          if (!below(left_prod[x_eq[t]], z_eq[y_meet[t]])) return false;  // ((x ^ y) ~ z) * (t ~ x) <= z ~ (t ^ y)
        }
      }
    }
  }
  return true;
}

uint64_t WinnerSettingsFingerprint(const SearchSettings& s) {
  Fingerprint winner;
  uint64_t weight = 0;
  static_assert(sizeof weight == sizeof s.OptionalWeight);
  std::memcpy(&weight, &s.OptionalWeight, sizeof weight);
  winner.Mix(static_cast<uint64_t>(s.ElementCount));
  winner.Mix(weight);
  winner.Mix(static_cast<uint64_t>(static_cast<uint32_t>(s.ColorfulnessFEq)));
  winner.Mix(static_cast<uint64_t>(static_cast<uint32_t>(s.ColorfulnessProd)));
  const bool flags[] = {s.DeltaEnabled,         s.MaximumEnabled,          s.WantGoodness,
                        s.WantNonGoodness,      s.WantInvolutive,          s.WantNonInvolutive,
                        s.WantSemiSeparated,    s.WantNonSemiSeparated,    s.WantSeparated,
                        s.WantNonSeparated,     s.WantResiduated,          s.WantNonResiduated,
                        s.WantCommutative,      s.WantNonCommutative,      s.WantLinear,
                        s.WantNonLinear,        s.WantLattice,             s.WantNonLattice,
                        s.WantPrelinear,        s.WantNonPrelinear,        s.WantSupProdDistributivity,
                        s.WantEqualityOverEqProd};
  for (const bool flag : flags) winner.Mix(flag ? 1 : 0);
  return winner.Value();
}

// The fitness stores the counts of every factor it multiplies in, so one
// evaluation of any algebra under the settings shows which factors count: no
// list of properties here to fall behind the fitness. A run builds a search
// per lattice, so the answer is kept for the settings asked last.
uint32_t OptionalFactorsThatCount(const SearchSettings& s) {
  if (!(s.OptionalWeight > 0)) return 0;  // every optional factor is then exactly 1
  thread_local uint64_t asked = 0;
  thread_local uint32_t answer = 0;
  const uint64_t key = WinnerSettingsFingerprint(s);
  if (key == asked && asked != 0) return answer;
  const ScopedSettings scoped(s);
  const int n = s.ElementCount;
  TEQAlgebra probe;
  probe.Init(n);
  const auto e = [&](int i) { return probe.ElementList[i]; };
  int k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = x + 1; y < n; ++y) {
      probe.InfimumGene.Entries[k] = {e(x), e(y), e(x)};
      probe.FEqualityGene.Entries[k++] = {e(x), e(y), e(x)};
    }
  }
  k = 0;
  for (int x = 0; x < n; ++x) {
    for (int y = 0; y < n; ++y) {
      probe.ProductGene.Entries[k] = {e(x), e(y), e(0)};
      probe.MaximumGene.Entries[k++] = {e(x), e(y), '\0'};
    }
    probe.DeltaGene.Entries[x] = {e(x), e(x)};
  }
  probe.Evaluate();
  uint32_t counting = 0;
  static_assert(kPropertyCount <= 32);
  for (int slot = kBoundednessSlot + 1; slot < kPropertyCount; ++slot) {
    if (probe.PropertyResults[slot].Total != 0) counting |= 1u << slot;
  }
  asked = key;
  answer = counting;
  return counting;
}
