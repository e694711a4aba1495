// The lattices made by canonical augmentation: the known counts up to 11
// elements, every one a naturally labelled lattice, pairwise non-isomorphic,
// and the same classes as the enumeration where both reach.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "finder/LatticeAugmentation.h"

TEST(LatticeAugmentation, KnownCountsPairwiseNonIsomorphicLattices) {
  const std::vector<size_t> known = {0, 0, 1, 1, 2, 5, 15, 53, 222, 1078, 5994, 37622};
  for (int n = 2; n <= 11; ++n) {
    SCOPED_TRACE(n);
    const std::vector<FiniteLattice> lattices = LatticesByAugmentation(n);
    ASSERT_EQ(lattices.size(), known[static_cast<size_t>(n)]);
    std::set<std::string> forms;
    int chains = 0;
    for (const FiniteLattice& lattice : lattices) {
      EXPECT_TRUE(forms.insert(CanonicalOrderForm(lattice)).second) << "two lattices are isomorphic";
      chains += lattice.chain ? 1 : 0;
      for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(lattice.Leq(0, i) && lattice.Leq(i, n - 1));
        for (int j = 0; j < n; ++j) {
          if (lattice.Leq(i, j)) {
            ASSERT_LE(i, j);
          }
          const int m = lattice.Meet(i, j), k = lattice.Join(i, j);
          ASSERT_TRUE(lattice.Leq(m, i) && lattice.Leq(m, j) && lattice.Leq(i, k) && lattice.Leq(j, k));
          for (int z = 0; z < n; ++z) {  // greatest lower and least upper bound
            if (lattice.Leq(z, i) && lattice.Leq(z, j)) {
              ASSERT_TRUE(lattice.Leq(z, m));
            }
            if (lattice.Leq(i, z) && lattice.Leq(j, z)) {
              ASSERT_TRUE(lattice.Leq(k, z));
            }
          }
        }
      }
    }
    EXPECT_EQ(chains, 1);
    if (n <= 8) {  // the same classes as the enumeration
      std::set<std::string> enumerated;
      for (const FiniteLattice& lattice : LatticesUpToIsomorphism(n)) enumerated.insert(CanonicalOrderForm(lattice));
      EXPECT_TRUE(enumerated == forms);
    }
  }
}
