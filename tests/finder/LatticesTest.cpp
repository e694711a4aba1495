#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "finder/Lattices.h"

namespace {

// The counts of lattices with n elements up to isomorphism.
const std::vector<size_t> kKnownCounts = {0, 0, 1, 1, 2, 5, 15, 53, 222, 1078, 5994, 37622};

// Enumerates the lattices of n elements for n in [from, to] and checks their
// number and that each is naturally labelled with its meets and joins.
void CheckEnumeration(int from, int to) {
  ASSERT_EQ(kKnownCounts.size(), static_cast<size_t>(kLatticeEnumerationLimit) + 1);
  for (int n = from; n <= to; ++n) {
    SCOPED_TRACE(n);
    const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(n);
    ASSERT_EQ(lattices.size(), kKnownCounts[static_cast<size_t>(n)]);
    EXPECT_TRUE(lattices.front().chain);
    for (const FiniteLattice& lattice : lattices) {
      // Naturally labelled, 0 the bottom and 1 the top, meets and joins bounds of the pair.
      for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(lattice.Leq(0, i) && lattice.Leq(i, n - 1));
        for (int j = 0; j < n; ++j) {
          if (lattice.Leq(i, j)) {
            ASSERT_LE(i, j);
          }
          ASSERT_TRUE(lattice.Leq(lattice.Meet(i, j), i) && lattice.Leq(lattice.Meet(i, j), j));
          ASSERT_TRUE(lattice.Leq(i, lattice.Join(i, j)) && lattice.Leq(j, lattice.Join(i, j)));
        }
      }
    }
  }
}

TEST(Lattices, OneOfEveryIsomorphismClassUpToNineElements) { CheckEnumeration(2, 9); }

// The 5,994 lattices of 10 elements and the 37,622 of 11, by canonical
// augmentation: over a second, so a quick run (ctest -LE slow) leaves them
// out; suites named *Slow carry the slow label.
TEST(LatticesSlow, OneOfEveryIsomorphismClassUpToTheEnumerationLimit) {
  CheckEnumeration(10, kLatticeEnumerationLimit);
  EXPECT_TRUE(LatticesUpToIsomorphism(kLatticeEnumerationLimit + 1).empty());
}

// Against every permutation: an involution that reverses the order exists on
// the self-dual shapes that have one (the chain, 2 x 2, the pentagon) and not
// on 0 < a, b < c < 1 and its dual.
TEST(Lattices, AnAntitoneInvolutionIsFoundExactlyWhenOneExists) {
  int without = 0;
  for (int n = 2; n <= 7; ++n) {
    for (const FiniteLattice& lattice : LatticesUpToIsomorphism(n)) {
      std::vector<int> p(n);
      std::iota(p.begin(), p.end(), 0);
      bool exists = false;
      do {
        bool ok = true;
        for (int x = 0; x < n && ok; ++x) {
          ok = p[p[x]] == x;
          for (int y = 0; y < n && ok; ++y) ok = lattice.Leq(x, y) == lattice.Leq(p[y], p[x]);
        }
        exists = ok;
      } while (!exists && std::next_permutation(p.begin(), p.end()));
      EXPECT_EQ(HasAntitoneInvolution(lattice), exists) << n;
      without += exists ? 0 : 1;
    }
  }
  EXPECT_GT(without, 2);
}

}  // namespace
