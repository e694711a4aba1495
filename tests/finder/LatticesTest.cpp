#include <gtest/gtest.h>

#include <vector>

#include "Lattices.h"

namespace {

// The counts of lattices with n elements up to isomorphism.
TEST(Lattices, OneOfEveryIsomorphismClassUpToTheEnumerationLimit) {
  const std::vector<size_t> known = {0, 0, 1, 1, 2, 5, 15, 53, 222, 1078, 5994, 37622};
  ASSERT_EQ(known.size(), static_cast<size_t>(kLatticeEnumerationLimit) + 1);
  for (int n = 2; n <= kLatticeEnumerationLimit; ++n) {
    SCOPED_TRACE(n);
    const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(n);
    ASSERT_EQ(lattices.size(), known[static_cast<size_t>(n)]);
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
  EXPECT_TRUE(LatticesUpToIsomorphism(kLatticeEnumerationLimit + 1).empty());
}

}  // namespace
