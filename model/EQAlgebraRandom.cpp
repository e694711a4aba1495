// Random construction: the value rules and BuildRandom. The order of draws is
// part of the program's behaviour (a seed reproduces a whole search), so every
// rule draws exactly where it is documented to, even when its result is fixed.

#include "model/EQAlgebra.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "model/ValueRules.h"

char RandomElement(int32_t n) {
  const int32_t r = Random(n);
  if (r == 0) return '0';
  if (r == n - 1) return '1';
  return static_cast<char>(96 + r);
}

char InfimumRule(int32_t n, char x, char y) {
  const char r = RandomElement(n);
  return (y == '1' || y == x) ? x : r;
}

char ProductRule(int32_t n, char x, char y) {
  if (x == '1') return y;
  if (y == '1') return x;
  return RandomElement(n);
}

char EqualityRule(int32_t n, char x, char y) {
  char candidate = RandomElement(n);
  if (Settings.WantGoodness && y == '1') candidate = x;
  return y == x ? '1' : candidate;
}

char DeltaRule(int32_t n, char x) {
  const char r = RandomElement(n);
  if (x == '1') return '1';
  if (x == '0') return '0';
  return r;
}

// Fills every list in the standard layout. Draws: one per infimum entry, one
// per product entry without '1', one per equality entry, one per delta entry
// with delta on; the maximum is read off the order and draws nothing.
void TEQAlgebra::DrawRandom(int32_t n) {
  if (n < 2 || n > kMaxElements) return;  // no algebra of that size exists
  Init(n);
  const auto element = [this](int i) { return ElementList[i]; };

  int k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      InfimumGene.Entries[k++] = {element(i), element(j), InfimumRule(n, element(i), element(j))};
    }
  }
  InfimumGene.Count = k;

  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      ProductGene.Entries[k++] = {element(i), element(j), ProductRule(n, element(i), element(j))};
    }
  }
  ProductGene.Count = k;

  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      FEqualityGene.Entries[k++] = {element(i), element(j), EqualityRule(n, element(i), element(j))};
    }
  }
  FEqualityGene.Count = k;

  if (Settings.DeltaEnabled) {
    for (int i = 0; i < n; ++i) DeltaGene.Entries[i] = {element(i), DeltaRule(n, element(i))};
    DeltaGene.Count = n;
  } else if (Settings.MaximumEnabled) {
    // The default delta, so a file written in this mode carries no empty cells.
    for (int i = 0; i < n; ++i) DeltaGene.Entries[i] = {element(i), element(i) == '1' ? '1' : '0'};
    DeltaGene.Count = n;
  } else {
    DeltaGene.Count = 0;
  }

  if (Settings.MaximumEnabled) {
    k = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) MaximumGene.Entries[k++] = {element(i), element(j), '\0'};
    }
    MaximumGene.Count = k;
    RecomputeMaximum();  // the join of every pair, read off the infimum just drawn
  }
}

void TEQAlgebra::BuildRandom(int32_t n) {
  if (n < 2 || n > kMaxElements) return;
  DrawRandom(n);
  Fitness = Evaluate();
}
