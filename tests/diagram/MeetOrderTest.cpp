// The meet check names the law that fails; the covering relation and the
// ranks agree with brute force on winners of every size from 2 to 10.

#include <gtest/gtest.h>

#include <random>

#include "LatticeBuilders.h"
#include "MeetOrder.h"
#include "TestAlgebras.h"
#include "WinnerSamples.h"

namespace {

void SetMeet(MeetTable& t, char x, char y, uint8_t value) {
  const int px = static_cast<int>(t.Names.find(x)), py = static_cast<int>(t.Names.find(y));
  t.Meet[px * t.Size + py] = value;
}

TEST(MeetFault, NamesTheFirstLawThatFails) {
  struct Case {
    const char* name;
    int size;
    std::function<void(MeetTable&)> spoil;
    const char* fault;
  };
  const std::vector<Case> cases{
      {"a meet", 5, [](MeetTable&) {}, ""},
      {"a value that is no element", 4, [](MeetTable& t) { SetMeet(t, 'a', 'b', kNoElement); },
       "not closed: a ^ b is no element"},
      {"not idempotent", 4, [](MeetTable& t) { SetMeet(t, 'a', 'a', 2); }, "not idempotent: a ^ a = b"},
      {"not commutative", 4, [](MeetTable& t) { SetMeet(t, 'a', 'b', 0); },
       "not commutative: a ^ b = 0 but b ^ a = a"},
      // a < b < c but a ^ c = 0: the order is not transitive.
      {"not associative", 5,
       [](MeetTable& t) {
         SetMeet(t, 'a', 'c', 0);
         SetMeet(t, 'c', 'a', 0);
       },
       "not associative: (a ^ b) ^ c = 0 but a ^ (b ^ c) = a"},
  };
  for (const Case& c : cases) {
    MeetTable t = lattices::Chain(c.size);
    c.spoil(t);
    EXPECT_EQ(MeetFault(t), c.fault) << c.name;
  }
}

TEST(MeetFault, ReadsTheAlgebraThroughItsLookups) {
  const TEQAlgebra chain = test_algebras::GoedelChain(5);
  const MeetTable meet = MeetOfAlgebra(chain);
  EXPECT_EQ(meet.Names, "0abc1");
  EXPECT_EQ(meet.Meet, lattices::Chain(5).Meet);
  EXPECT_EQ(MeetFault(meet), "");
  // Entries without a value (character 0): the lookup gives no element.
  EXPECT_EQ(MeetFault(MeetOfAlgebra(test_algebras::StandardLayout(3))), "not closed: 0 ^ a is no element");
  EXPECT_EQ(NoDiagramText("not idempotent: a ^ a = b"),
            "No Hasse diagram: the infimum is not a meet (not idempotent: a ^ a = b)");
}

TEST(CoveringRelation, MatchesBruteForceOnRandomWinners) {
  std::mt19937 rng(23);
  int checked = 0;
  for (int n = 2; n <= 10; ++n) {
    for (const TEQAlgebra& winner : winner_samples::RandomWinners(n, 6, rng)) {
      ASSERT_EQ(winner.Fitness, 1.0);
      const MeetTable meet = MeetOfAlgebra(winner);
      ASSERT_EQ(MeetFault(meet), "") << n;
      const std::vector<Cover> covers = CoveringPairs(meet);
      EXPECT_EQ(covers, lattices::BruteCovers(meet)) << winner.DumpTables();
      EXPECT_EQ(Ranks(n, covers), lattices::BruteRanks(meet)) << winner.DumpTables();
      ++checked;
    }
  }
  EXPECT_GE(checked, 9 * 4);
}

}  // namespace
