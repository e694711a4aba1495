// Representation: element list and counts, the five lookups with their
// first-match rules and identities, order, implication, joins and copies.

#include "model/EQAlgebra.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ExampleAlgebras.h"
#include "model/Settings.h"

namespace {

class EQAlgebraTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }
};

std::string ElementsOf(const TEQAlgebra& algebra) {
  return std::string(algebra.ElementList.data(), static_cast<size_t>(algebra.Size));
}

// Six elements ordered 0 < a, d < b, c < 1 with a, d and b, c incomparable,
// so a and d have the two incomparable minimal upper bounds b and c.
std::unique_ptr<TEQAlgebra> MakeTwoBoundsOrder() {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(6);  // 0 a b c d 1
  SetPairGene(algebra->InfimumGene, {"0a0", "0b0", "0c0", "0d0", "010", "aba", "aca", "ad0", "a1a",
                                     "bc0", "bdd", "b1b", "cdd", "c1c", "d1d"});
  return algebra;
}

TEST_F(EQAlgebraTest, ConstructorUsesTheElementCountSetting) {
  Settings.ElementCount = 4;
  TEQAlgebra algebra;
  EXPECT_EQ(algebra.Size, 4);
  EXPECT_EQ(ElementsOf(algebra), "0ab1");
  EXPECT_EQ(algebra.Fitness, 0.0);
  EXPECT_TRUE(algebra.Description.empty());
  EXPECT_TRUE(algebra.FileName.empty());
  EXPECT_TRUE(algebra.CanonicalText.empty());
  EXPECT_EQ(algebra.InfimumGene.Entries[0].Value, '\0');
  EXPECT_EQ(algebra.PropertyNames[0], "Associative Infimum");
  EXPECT_EQ(algebra.PropertyNames[7], "Reflexive FEQuality");
  EXPECT_EQ(algebra.PropertyNames[25], "Colourfulness(*)");
  EXPECT_EQ(algebra.PropertyResults[8].Passed, 0);
  EXPECT_EQ(algebra.PropertyResults[8].Total, 0);
}

TEST_F(EQAlgebraTest, InitSetsCountsAndElementsForEverySize) {
  TEQAlgebra algebra;
  algebra.Init(2);
  EXPECT_EQ(ElementsOf(algebra), "01");
  EXPECT_EQ(algebra.InfimumGene.Count, 1);
  EXPECT_EQ(algebra.ProductGene.Count, 4);
  EXPECT_EQ(algebra.FEqualityGene.Count, 1);
  EXPECT_EQ(algebra.DeltaGene.Count, 2);
  EXPECT_EQ(algebra.MaximumGene.Count, 4);

  algebra.Init(5);
  EXPECT_EQ(ElementsOf(algebra), "0abc1");
  EXPECT_EQ(algebra.InfimumGene.Count, 10);
  EXPECT_EQ(algebra.ProductGene.Count, 25);
  EXPECT_EQ(algebra.FEqualityGene.Count, 10);
  EXPECT_EQ(algebra.DeltaGene.Count, 5);
  EXPECT_EQ(algebra.MaximumGene.Count, 25);

  algebra.Init(28);
  EXPECT_EQ(ElementsOf(algebra), "0abcdefghijklmnopqrstuvwxyz1");
  EXPECT_EQ(algebra.InfimumGene.Count, 378);
  EXPECT_EQ(algebra.ProductGene.Count, 784);
  EXPECT_EQ(algebra.FEqualityGene.Count, 378);
  EXPECT_EQ(algebra.DeltaGene.Count, 28);
  EXPECT_EQ(algebra.MaximumGene.Count, 784);
}

TEST_F(EQAlgebraTest, InitOutsideTwoToTwentyEightChangesNothing) {
  auto algebra = MakeChainExample();
  const TEQAlgebra before = *algebra;
  algebra->Init(1);
  EXPECT_TRUE(SameReadFields(*algebra, before));
  algebra->Init(29);
  EXPECT_TRUE(SameReadFields(*algebra, before));
  EXPECT_EQ(algebra->Size, 3);
}

TEST_F(EQAlgebraTest, InfimumMatchesEitherOrderAndTheFirstEntryWins) {
  TEQAlgebra algebra;
  algebra.Init(5);
  SetPairGene(algebra.InfimumGene, {"abc", "baa", "ab0", "0a1", "aa0", "1a0", "b10"});
  EXPECT_EQ(algebra.Infimum('a', 'b'), 'c');
  EXPECT_EQ(algebra.Infimum('b', 'a'), 'c');  // (b, a) finds the entry stored as (a, b) first
  EXPECT_EQ(algebra.Infimum('0', 'a'), '1');  // 0 ^ y is read from the list
  EXPECT_EQ(algebra.Infimum('a', 'a'), '0');  // x ^ x from an entry that says otherwise
  EXPECT_EQ(algebra.Infimum('b', 'b'), 'b');  // x ^ x = x without entry
  EXPECT_EQ(algebra.Infimum('1', 'a'), 'a');  // the rule for 1 beats the entry (1, a)
  EXPECT_EQ(algebra.Infimum('b', '1'), 'b');
  EXPECT_EQ(algebra.Infimum('0', '1'), '0');
  EXPECT_EQ(algebra.Infimum('a', 'c'), '\0');  // no entry
}

TEST_F(EQAlgebraTest, ProductIsReadPerOrderedPairWithZeroAbsorbing) {
  TEQAlgebra algebra;
  algebra.Init(5);
  SetPairGene(algebra.ProductGene, {"abc", "abb", "0aa", "a0a", "1ab", "a1b", "aab"});
  EXPECT_EQ(algebra.Product('a', 'b'), 'c');
  EXPECT_EQ(algebra.Product('b', 'a'), '\0');  // no symmetry
  EXPECT_EQ(algebra.Product('0', 'a'), '0');   // entries with 0 are never read
  EXPECT_EQ(algebra.Product('a', '0'), '0');
  EXPECT_EQ(algebra.Product('0', '1'), '0');
  EXPECT_EQ(algebra.Product('1', 'a'), 'a');
  EXPECT_EQ(algebra.Product('a', '1'), 'a');
  EXPECT_EQ(algebra.Product('a', 'a'), 'b');
}

TEST_F(EQAlgebraTest, EqualityIsSymmetricAndReflexive) {
  TEQAlgebra algebra;
  algebra.Init(4);
  SetPairGene(algebra.FEqualityGene, {"ab0", "baa", "aa0", "1aa"});
  EXPECT_EQ(algebra.Equality('a', 'b'), '0');
  EXPECT_EQ(algebra.Equality('b', 'a'), '0');
  EXPECT_EQ(algebra.Equality('a', 'a'), '1');
  EXPECT_EQ(algebra.Equality('a', '1'), 'a');
  EXPECT_EQ(algebra.Equality('0', '1'), '\0');
}

TEST_F(EQAlgebraTest, DeltaFixesZeroAndOneAndTakesTheFirstEntry) {
  TEQAlgebra algebra;
  algebra.Init(4);
  SetSingleGene(algebra.DeltaGene, {"01", "10", "a0", "ab"});
  EXPECT_EQ(algebra.Delta('0'), '0');
  EXPECT_EQ(algebra.Delta('1'), '1');
  EXPECT_EQ(algebra.Delta('a'), '0');
  EXPECT_EQ(algebra.Delta('b'), '\0');
}

TEST_F(EQAlgebraTest, MaximumIsSymmetricWithOneOnTop) {
  TEQAlgebra algebra;
  algebra.Init(4);
  SetPairGene(algebra.MaximumGene, {"abb", "baa", "a10", "00a"});
  EXPECT_EQ(algebra.Maximum('b', 'a'), 'b');
  EXPECT_EQ(algebra.Maximum('a', '1'), '1');
  EXPECT_EQ(algebra.Maximum('1', '0'), '1');
  EXPECT_EQ(algebra.Maximum('0', '0'), 'a');
  EXPECT_EQ(algebra.Maximum('0', 'a'), '\0');
}

TEST_F(EQAlgebraTest, ImplicationFollowsOrderAndEquality) {
  TEQAlgebra algebra;
  algebra.Init(4);  // 0 a b 1
  SetPairGene(algebra.InfimumGene, {"0ab", "0b0", "ab0"});
  SetPairGene(algebra.FEqualityGene, {"0ab", "0ba", "abb"});
  EXPECT_EQ(algebra.Implication('0', 'a'), '1');  // even though 0 ^ a is b
  EXPECT_EQ(algebra.Implication('a', '1'), '1');
  EXPECT_EQ(algebra.Implication('0', '0'), '1');
  EXPECT_TRUE(algebra.LessOrEqual('0', 'b'));
  EXPECT_FALSE(algebra.LessOrEqual('a', 'b'));
  EXPECT_EQ(algebra.Implication('a', 'b'), 'b');  // (a ^ b) ~ a = 0 ~ a
  EXPECT_EQ(algebra.Implication('b', 'a'), 'a');  // (b ^ a) ~ b = 0 ~ b
  EXPECT_EQ(algebra.Implication('a', '0'), 'b');  // (a ^ 0) ~ a = b ~ a, as 0 ^ a is b
}

TEST_F(EQAlgebraTest, JoinReadsTheOrder) {
  auto algebra = MakeTwoBoundsOrder();
  EXPECT_EQ(algebra->Join(6, 'a', 'b'), 'b');  // a below b
  EXPECT_EQ(algebra->Join(6, 'b', 'a'), 'b');
  EXPECT_EQ(algebra->Join(6, 'a', '1'), '1');
  EXPECT_EQ(algebra->Join(6, '0', 'd'), 'd');
  EXPECT_EQ(algebra->Join(6, 'b', 'c'), '1');  // the only common upper bound is 1
  EXPECT_EQ(algebra->Join(6, 'a', 'd'), 'b');  // b and c minimal, b first in list order
  EXPECT_EQ(algebra->Join(6, 'd', 'a'), 'b');
}

TEST_F(EQAlgebraTest, JoinOfIncomparableElementsIsTheirLeastUpperBound) {
  // 0 a b c 1 with a, b incomparable below c.
  TEQAlgebra algebra;
  algebra.Init(5);
  SetPairGene(algebra.InfimumGene, {"0a0", "0b0", "0c0", "010", "ab0", "aca", "a1a", "bcb", "b1b", "c1c"});
  EXPECT_EQ(algebra.Join(5, 'a', 'b'), 'c');
  // Scanning only 0, a and b finds no upper bound: the walk keeps 1.
  EXPECT_EQ(algebra.Join(3, 'a', 'b'), '1');
}

TEST_F(EQAlgebraTest, JoinTieFallsToTheWalkFromTheTop) {
  // 0 a b c d e 1: a and b lie below c, d and e; e < c; c, d and d, e are
  // incomparable. The walk steps 1 -> c -> e, so e wins although the minimal
  // bound d comes first in list order.
  TEQAlgebra algebra;
  algebra.Init(7);
  SetPairGene(algebra.InfimumGene,
              {"0a0", "0b0", "0c0", "0d0", "0e0", "010", "ab0", "aca", "ada", "aea", "a1a", "bcb", "bdb",
               "beb", "b1b", "cd0", "cee", "c1c", "de0", "d1d", "e1e"});
  EXPECT_EQ(algebra.Join(7, 'a', 'b'), 'e');
  EXPECT_EQ(algebra.Join(7, 'd', 'e'), '1');
}

TEST_F(EQAlgebraTest, RecomputeMaximumStoresTheJoinOfEveryEntry) {
  auto algebra = MakeTwoBoundsOrder();
  int k = 0;
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) algebra->MaximumGene.Entries[k++] = {algebra->ElementList[i], algebra->ElementList[j], '#'};
  }
  algebra->RecomputeMaximum();
  for (int e = 0; e < 36; ++e) {
    const PairEntry& entry = algebra->MaximumGene.Entries[e];
    EXPECT_EQ(entry.Value, algebra->Join(6, entry.X, entry.Y)) << entry.X << entry.Y;
  }
  EXPECT_EQ(algebra->Maximum('a', 'd'), 'b');
  EXPECT_EQ(algebra->Maximum('c', 'b'), '1');
}

TEST_F(EQAlgebraTest, CopyHeaderCopiesTheHeaderOnly) {
  auto source = MakeChainExample();
  source->Fitness = 0.5;
  source->CanonicalText = "text";
  source->FileName = "source.eqa";
  source->DeltaGene.Count = 0;
  source->MaximumGene.Count = 7;
  TEQAlgebra target;
  target.Init(5);
  target.CopyHeaderFrom(source.get());
  EXPECT_EQ(target.Description, "Algebra_0000");
  EXPECT_EQ(target.Size, 3);
  EXPECT_EQ(target.InfimumGene.Count, 3);
  EXPECT_EQ(target.ProductGene.Count, 9);
  EXPECT_EQ(target.DeltaGene.Count, 5);    // delta not in play
  EXPECT_EQ(target.MaximumGene.Count, 25);  // maximum not in play
  EXPECT_EQ(target.InfimumGene.Entries[0].Value, '\0');
  EXPECT_EQ(target.Fitness, 0.0);
  EXPECT_TRUE(target.CanonicalText.empty());
  EXPECT_TRUE(target.FileName.empty());

  Settings.MaximumEnabled = true;
  target.CopyHeaderFrom(source.get());
  EXPECT_EQ(target.DeltaGene.Count, 0);  // travels with maximum too
  EXPECT_EQ(target.MaximumGene.Count, 7);
  target.CopyHeaderFrom(nullptr);
  EXPECT_EQ(target.Size, 3);
}

TEST_F(EQAlgebraTest, CopyFromWithoutDeltaOrMaximumLeavesThoseListsAlone) {
  auto source = MakeChainExample();
  SetSingleGene(source->DeltaGene, {"00", "aa", "11"});
  SetPairGene(source->MaximumGene, {"0aa"});
  source->ProductGene.Entries[500] = {'x', 'y', 'z'};  // beyond the count: still copied
  source->Fitness = 0.25;
  source->CanonicalText = "source";
  TEQAlgebra target;
  target.Init(4);
  SetSingleGene(target.DeltaGene, {"0b", "bb"});
  target.CanonicalText = "mine";
  target.CopyFrom(source.get());
  EXPECT_EQ(target.Size, 3);
  EXPECT_EQ(target.ProductGene.Entries[4].Value, 'a');
  EXPECT_EQ(target.ProductGene.Entries[500].Value, 'z');
  EXPECT_EQ(target.DeltaGene.Count, 2);
  EXPECT_EQ(target.DeltaGene.Entries[0].Value, 'b');
  EXPECT_EQ(target.MaximumGene.Count, 16);
  EXPECT_EQ(target.MaximumGene.Entries[0].Value, '\0');
  EXPECT_EQ(target.Fitness, 0.25);
  EXPECT_EQ(target.CanonicalText, "mine");
}

TEST_F(EQAlgebraTest, CopyFromCarriesDeltaWheneverDeltaOrMaximumIsInPlay) {
  auto source = MakeChainExample();
  SetSingleGene(source->DeltaGene, {"00", "a0", "11"});
  SetPairGene(source->MaximumGene, {"0aa", "a11"});
  for (const auto& [delta, maximum] : {std::pair<bool, bool>{true, false}, {false, true}, {true, true}}) {
    Settings.DeltaEnabled = delta;
    Settings.MaximumEnabled = maximum;
    TEQAlgebra target;
    target.Init(4);
    target.CopyFrom(source.get());
    EXPECT_EQ(target.DeltaGene.Count, 3);
    EXPECT_EQ(target.DeltaGene.Entries[1].X, 'a');
    EXPECT_EQ(target.DeltaGene.Entries[1].Value, '0');
    EXPECT_EQ(target.MaximumGene.Count, maximum ? 2 : 16);
    EXPECT_EQ(target.MaximumGene.Entries[0].Value, maximum ? 'a' : '\0');
  }
}

TEST_F(EQAlgebraTest, CopyGenePrefixTakesTheFirstShareOfOneGene) {
  auto source = MakeChainExample();
  source->Fitness = 0.75;
  TEQAlgebra target;
  target.Init(3);
  SetPairGene(target.ProductGene, {"00#", "0a#", "01#", "a0#", "aa#", "a1#", "10#", "1a#", "11#"});
  SetPairGene(target.InfimumGene, {"0a#", "01#", "a1#"});
  target.CopyGenePrefixFrom(source.get(), kProductGene, 0.5);  // Trunc(9 * 0.5) = 4 entries
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(target.ProductGene.Entries[k].Value, k < 4 ? source->ProductGene.Entries[k].Value : '#') << k;
  }
  EXPECT_EQ(target.InfimumGene.Entries[0].Value, '#');
  EXPECT_EQ(target.Fitness, 0.75);
  EXPECT_EQ(target.Description, "Algebra_0000");

  TEQAlgebra fresh;
  fresh.Init(5);
  SetPairGene(fresh.InfimumGene, {"0a#", "01#", "a1#"});
  fresh.CopyGenePrefixFrom(source.get(), kInfimumGene, 0.0);
  EXPECT_EQ(fresh.Size, 3);
  EXPECT_EQ(fresh.InfimumGene.Count, 3);
  EXPECT_EQ(fresh.InfimumGene.Entries[0].Value, '#');
  EXPECT_EQ(fresh.Fitness, 0.75);

  fresh.CopyGenePrefixFrom(source.get(), 6, 0.99);  // no such gene: no entries
  EXPECT_EQ(fresh.InfimumGene.Entries[2].Value, '#');
}

TEST_F(EQAlgebraTest, CopyGenePrefixOfTheDeltaGene) {
  Settings.DeltaEnabled = true;
  auto source = MakeChainExample();
  SetSingleGene(source->DeltaGene, {"00", "aa", "11"});
  TEQAlgebra target;
  target.Init(3);
  SetSingleGene(target.DeltaGene, {"0#", "a#", "1#"});
  target.CopyGenePrefixFrom(source.get(), kDeltaGene, 0.7);  // Trunc(3 * 0.7) = 2
  EXPECT_EQ(target.DeltaGene.Entries[0].Value, '0');
  EXPECT_EQ(target.DeltaGene.Entries[1].Value, 'a');
  EXPECT_EQ(target.DeltaGene.Entries[2].Value, '#');
}

}  // namespace
