// The meet check names the law that fails; the covering relation and the
// ranks agree with brute force on random winners of 2 to 10 elements.

#include <gtest/gtest.h>

#include "LatticeBuilders.h"
#include "TestAlgebras.h"
#include "WinnerSamples.h"

namespace {

void SetMeet(MeetTable& t, char x, char y, uint8_t value) {
  t.Meet[t.Names.find(x) * t.Size + t.Names.find(y)] = value;
}

TEST(MeetFault, NamesTheFirstLawThatFails) {
  const struct {
    int size;
    std::function<void(MeetTable&)> spoil;
    const char* fault;
  } cases[] = {
      {5, [](MeetTable&) {}, ""},
      {4, [](MeetTable& t) { SetMeet(t, 'a', 'b', kNoElement); }, "not closed: a ^ b is no element"},
      {4, [](MeetTable& t) { SetMeet(t, 'a', 'a', 2); }, "not idempotent: a ^ a = b"},
      {4, [](MeetTable& t) { SetMeet(t, 'a', 'b', 0); }, "not commutative: a ^ b = 0 but b ^ a = a"},
      // a < b < c but a ^ c = 0: the order is not transitive.
      {5, [](MeetTable& t) { SetMeet(t, 'a', 'c', 0), SetMeet(t, 'c', 'a', 0); },
       "not associative: (a ^ b) ^ c = 0 but a ^ (b ^ c) = a"},
  };
  for (const auto& c : cases) {
    MeetTable t = lattices::Chain(c.size);
    c.spoil(t);
    EXPECT_EQ(MeetFault(t), c.fault);
  }
  // Read through the lookups: entries without a value give no element.
  EXPECT_EQ(MeetOfAlgebra(test_algebras::GoedelChain(5)).Meet, lattices::Chain(5).Meet);
  EXPECT_EQ(MeetFault(MeetOfAlgebra(test_algebras::StandardLayout(3))), "not closed: 0 ^ a is no element");
}

TEST(CoveringRelation, MatchesBruteForceOnRandomWinners) {
  std::mt19937 rng(23);
  for (int n = 2; n <= 10; ++n) {
    const std::vector<TEQAlgebra> winners = winner_samples::RandomWinners(n, 6, rng);
    ASSERT_EQ(winners.size(), 6u) << n;
    for (const TEQAlgebra& winner : winners) {
      ASSERT_EQ(winner.Fitness, 1.0);
      // The inner elements in any list order, as a search may give them.
      const MeetTable meet = lattices::Relabelled(MeetOfAlgebra(winner), rng);
      ASSERT_EQ(MeetFault(meet), "");
      const std::vector<Cover> covers = CoveringPairs(meet);
      EXPECT_EQ(covers, lattices::BruteCovers(meet)) << winner.DumpTables();
      EXPECT_EQ(Ranks(n, covers), lattices::BruteRanks(meet)) << winner.DumpTables();
    }
  }
}

}  // namespace
