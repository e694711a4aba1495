// The drawing's invariants on every small lattice and on random winners, and
// its crossings on lattices whose least number is known, counted again from
// the geometry: pieces of edges between the same two ranks that cross.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "diagram/HasseLayout.h"
#include "LatticeBuilders.h"
#include "finder/Lattices.h"
#include "WinnerSamples.h"

namespace {

// Pairs of edge pieces between the same two ranks whose ends lie in opposite orders.
int GeometricCrossings(const HasseLayout& layout) {
  std::vector<std::array<double, 3>> pieces;  // lower rank, lower x, upper x
  for (const HasseEdge& e : layout.Edges) {
    std::vector<double> xs{layout.X[e.Lower]};
    xs.insert(xs.end(), e.BendX.begin(), e.BendX.end());
    xs.push_back(layout.X[e.Upper]);
    for (size_t i = 0; i + 1 < xs.size(); ++i) pieces.push_back({layout.Rank[e.Lower] + static_cast<double>(i), xs[i], xs[i + 1]});
  }
  int crossings = 0;
  for (size_t i = 0; i < pieces.size(); ++i)
    for (size_t j = i + 1; j < pieces.size(); ++j)
      crossings += pieces[i][0] == pieces[j][0] && (pieces[i][1] - pieces[j][1]) * (pieces[i][2] - pieces[j][2]) < -1e-9;
  return crossings;
}

// What every drawing must satisfy, whatever the lattice.
void ExpectInvariants(const MeetTable& meet, const HasseLayout& layout, const std::string& name) {
  SCOPED_TRACE(name);
  const int n = meet.Size;
  ASSERT_EQ(layout.Size, n);
  // Layers are ranks, and every element lies above all below it.
  EXPECT_EQ(layout.Rank, lattices::BruteRanks(meet));
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      if (x != y && lattices::Below(meet, x, y)) {
        EXPECT_GT(layout.Rank[y], layout.Rank[x]);
      }
  // The edges are exactly the covering pairs, each bent once per rank it passes.
  std::vector<Cover> edges;
  for (const HasseEdge& e : layout.Edges) {
    edges.push_back({e.Lower, e.Upper});
    EXPECT_EQ(static_cast<int>(e.BendX.size()), layout.Rank[e.Upper] - layout.Rank[e.Lower] - 1);
  }
  EXPECT_EQ(edges, lattices::BruteCovers(meet));
  // No two elements at one point, and no edge through an element.
  for (int x = 0; x < n; ++x)
    for (int y = x + 1; y < n; ++y)
      if (layout.Rank[x] == layout.Rank[y]) {
        EXPECT_GE(std::abs(layout.X[x] - layout.X[y]), kElementGap - 1e-9);
      }
  for (const HasseEdge& e : layout.Edges)
    for (size_t i = 0; i < e.BendX.size(); ++i)
      for (int z = 0; z < n; ++z)
        if (layout.Rank[z] == layout.Rank[e.Lower] + 1 + static_cast<int>(i)) {
          EXPECT_GE(std::abs(e.BendX[i] - layout.X[z]), kBendGap - 1e-9);
        }
  // Every place lies within the stated extent; the crossings are counted right.
  for (const double x : layout.X) EXPECT_TRUE(x >= layout.Left && x <= layout.Right);
  EXPECT_EQ(layout.Crossings, GeometricCrossings(layout));
}

TEST(HasseLayout, KeepsItsInvariantsOnEveryLatticeUpToEightElementsAndRandomWinners) {
  for (int n = 2; n <= 8; ++n) {
    for (const FiniteLattice& lattice : LatticesUpToIsomorphism(n)) {
      const MeetTable meet = MeetOfPositions(n, lattice.meet);
      ExpectInvariants(meet, LayoutHasse(meet), "a lattice of " + std::to_string(n));
    }
  }
  std::mt19937 rng(7);
  for (const int n : {12, 20, 28}) {
    for (const TEQAlgebra& winner : winner_samples::RandomWinners(n, 4, rng)) {
      const MeetTable meet = lattices::Relabelled(MeetOfAlgebra(winner), rng);
      ExpectInvariants(meet, LayoutHasse(meet), "a winner of " + std::to_string(n));
    }
  }
}

TEST(HasseLayout, DrawsKnownLatticesWithTheirLeastCrossings) {
  struct Case {
    const char* name;
    MeetTable meet;
    int most_crossings;
  };
  std::mt19937 rng(4);
  const std::vector<Case> cases{
      {"chain 2", lattices::Chain(2), 0},
      {"chain 28", lattices::Chain(28), 0},
      {"2x2", lattices::ChainProduct(2, 2), 0},
      {"M3", lattices::M(3), 0},
      {"M26", lattices::M(26), 0},
      {"N5", lattices::N5(), 0},
      {"3x3", lattices::ChainProduct(3, 3), 0},
      {"3x3 relabelled", lattices::Relabelled(lattices::ChainProduct(3, 3), rng), 0},
      {"4x7", lattices::ChainProduct(4, 7), 0},
      {"4x7 relabelled", lattices::Relabelled(lattices::ChainProduct(4, 7), rng), 0},
      {"2x13", lattices::ChainProduct(2, 13), 0},
      {"Boolean 8", lattices::Boolean(3), 2},
      {"Boolean 8 relabelled", lattices::Relabelled(lattices::Boolean(3), rng), 2},
  };
  for (const Case& c : cases) {
    const HasseLayout layout = LayoutHasse(c.meet);
    ExpectInvariants(c.meet, layout, c.name);
    EXPECT_LE(GeometricCrossings(layout), c.most_crossings) << c.name;
  }
  // A chain is drawn straight.
  for (const double x : LayoutHasse(lattices::Chain(9)).X) EXPECT_EQ(x, 0.0);
}

}  // namespace
