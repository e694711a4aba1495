// Each law loops with the rows of its outer variables hoisted and returns at
// the first failure, so a rejected table costs little and a winner one pass.

#include "finder/AxiomJudge.h"

#include "model/EQAlgebra.h"

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

// The fitness stores the counts of every factor it multiplies in, so one
// evaluation of any algebra under the settings shows which factors count: no
// list of properties here to fall behind the fitness.
bool OnlyAxiomsCount(const SearchSettings& s) {
  if (!(s.OptionalWeight > 0)) return true;  // every optional factor is then exactly 1
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
  for (int slot = kBoundednessSlot + 1; slot < kPropertyCount; ++slot) {
    if (probe.PropertyResults[slot].Total != 0) return false;
  }
  return true;
}
