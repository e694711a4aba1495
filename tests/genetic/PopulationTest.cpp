// Population storage, ranking, evaluation and winners.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

// A member told apart by its description.
std::unique_ptr<TEQAlgebra> Tagged(int tag, double fitness) {
  auto member = std::make_unique<TEQAlgebra>();
  member->Description = std::to_string(tag);
  member->Fitness = fitness;
  return member;
}

std::vector<int> Tags(const TEQPopulation& population) {
  std::vector<int> tags;
  for (int i = 0; i < population.Count(); ++i) tags.push_back(std::stoi(population.Get(i)->Description));
  return tags;
}

TEST(PopulationSlots, TakeEmptiesTheSlotAndPackRemovesEmptySlotsInOrder) {
  TEQPopulation population;
  for (int i = 0; i < 5; ++i) population.Add(Tagged(i, 0.0));
  TEQAlgebra* third = population.Get(2);
  std::unique_ptr<TEQAlgebra> taken = population.Take(2);
  EXPECT_EQ(taken.get(), third);
  EXPECT_EQ(population.Get(2), nullptr);
  EXPECT_EQ(population.Count(), 5);
  population.Free(0);
  EXPECT_EQ(population.Get(0), nullptr);
  population.Pack();
  EXPECT_EQ(Tags(population), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(population.Get(-1), nullptr);
  EXPECT_EQ(population.Get(3), nullptr);
  EXPECT_EQ(taken->Description, "2");  // the moved member lives on with its new holder
}

// --- Ranking ----------------------------------------------------------------

std::vector<int> ReferenceRanking(const std::vector<double>& fitness) {
  std::vector<int> order(fitness.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return fitness[a] > fitness[b]; });
  return order;
}

TEST(PopulationSort, RanksByDescendingFitnessKeepingTheOrderOfEquals) {
  ProcessStateGuard guard;
  RandSeed(8);
  const std::vector<double> values = {0.0, 0.25, 0.5, 0.75, 1.0, 0.9166666666666666};
  for (int round = 0; round < 100; ++round) {
    const int count = Random(400);
    std::vector<double> fitness;
    TEQPopulation population;
    for (int i = 0; i < count; ++i) {
      fitness.push_back(values[static_cast<size_t>(Random(6))]);
      population.Add(Tagged(i, fitness.back()));
    }
    population.Sort();
    ASSERT_EQ(Tags(population), ReferenceRanking(fitness)) << "round " << round;
  }
}

TEST(PopulationSort, AllEqualKeepsTheOrderAndPumpsPerComparison) {
  ProcessStateGuard guard;
  TEQPopulation population;
  for (int i = 0; i < 64; ++i) population.Add(Tagged(i, 0.5));
  PumpCount = 0;
  SetMessagePump(CountingPump);
  population.Sort();
  std::vector<int> order(64);
  for (int i = 0; i < 64; ++i) order[static_cast<size_t>(i)] = i;
  EXPECT_EQ(Tags(population), order);
  // A merge of equal runs compares until the left run is used up: 6 levels of 32 comparisons.
  EXPECT_EQ(PumpCount, 6 * 32);
}

TEQPopulation* RescoredPopulation = nullptr;

// Re-evaluates every member with a new fitness, as a window might mid-sort.
void RescoringPump() {
  for (int i = 0; i < RescoredPopulation->Count(); ++i) {
    if (TEQAlgebra* member = RescoredPopulation->Get(i)) member->Fitness = Random();
  }
}

TEST(PopulationSort, DecidesOnTheFitnessHeldWhenTheSortStarts) {
  ProcessStateGuard guard;
  RandSeed(21);
  TEQPopulation population;
  std::vector<double> fitness;
  for (int i = 0; i < 200; ++i) {
    fitness.push_back(Random(10) / 10.0);
    population.Add(Tagged(i, fitness.back()));
  }
  RescoredPopulation = &population;
  SetMessagePump(RescoringPump);
  population.Sort();
  SetMessagePump(nullptr);
  EXPECT_EQ(Tags(population), ReferenceRanking(fitness));
}

// --- Evaluation and winners ---------------------------------------------------

TEST(EvaluateMembers, CollectsEachDistinctWinnerOnceInTheOrderFound) {
  ProcessStateGuard guard;
  TEQPopulation population;
  for (char equality : {'1', '0', '1', '0', '0'}) population.Add(TwoElementAlgebra(equality));
  TEQPopulation winners;
  PumpCount = 0;
  SetMessagePump(CountingPump);
  population.EvaluateMembers(&winners);
  EXPECT_EQ(PumpCount, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(population.Get(i)->Fitness, 1.0);
  ASSERT_EQ(winners.Count(), 2);
  EXPECT_EQ(winners.Get(0)->FEqualityGene.Entries[0].Value, '1');
  EXPECT_EQ(winners.Get(1)->FEqualityGene.Entries[0].Value, '0');
  EXPECT_EQ(winners.Get(0)->CanonicalText, population.Get(0)->CanonicalText);
  EXPECT_EQ(winners.Get(1)->CanonicalText, population.Get(1)->CanonicalText);
  EXPECT_NE(winners.Get(0)->CanonicalText, winners.Get(1)->CanonicalText);
  EXPECT_EQ(winners.Get(0)->Fitness, 1.0);
  EXPECT_NE(winners.Get(0), population.Get(0));  // a copy, owned by the winners

  // Evaluating again finds nothing new.
  population.EvaluateMembers(&winners);
  EXPECT_EQ(winners.Count(), 2);
}

TEST(EvaluateMembers, FitnessBelowOneIsNoWinner) {
  ProcessStateGuard guard;
  Settings.WantGoodness = true;  // 0 ~ 1 = 1 then holds Goodness on 1 of 2 elements
  TEQPopulation population;
  population.Add(TwoElementAlgebra('1'));
  population.Add(TwoElementAlgebra('0'));
  TEQPopulation winners;
  population.EvaluateMembers(&winners);
  EXPECT_EQ(population.Get(0)->Fitness, (1.0 - 0.1) + 0.1 * (1.0 / 2.0));
  EXPECT_EQ(population.Get(1)->Fitness, 1.0);
  ASSERT_EQ(winners.Count(), 1);
  EXPECT_EQ(winners.Get(0)->FEqualityGene.Entries[0].Value, '0');

  // Just below 1 is no winner either: 0.9999999.
  Settings.OptionalWeight = 0.0000002;
  TEQPopulation close;
  close.Add(TwoElementAlgebra('1'));
  TEQPopulation none;
  close.EvaluateMembers(&none);
  EXPECT_EQ(close.Get(0)->Fitness, (1.0 - 0.0000002) + 0.0000002 * (1.0 / 2.0));
  EXPECT_LT(close.Get(0)->Fitness, 1.0);
  EXPECT_EQ(none.Count(), 0);
}

TEST(EvaluateMembers, NoWinnersWhileEqualMembersStayOrWithoutAWinnersPopulation) {
  ProcessStateGuard guard;
  TEQPopulation population;
  population.Add(TwoElementAlgebra('0'));
  population.Add(TwoElementAlgebra('1'));
  population.EvaluateMembers(nullptr);
  EXPECT_EQ(population.Get(0)->Fitness, 1.0);
  Settings.RemoveEqualMembers = false;
  TEQPopulation winners;
  population.EvaluateMembers(&winners);
  EXPECT_EQ(winners.Count(), 0);
  EXPECT_EQ(population.Get(1)->Fitness, 1.0);
}

TEST(WinnersIndex, FindsTextsAddedThroughAnyPath) {
  TEQPopulation winners;
  auto member = TwoElementAlgebra('0');
  member->CanonicalText = "first";
  EXPECT_FALSE(winners.HoldsCanonicalText("first"));
  winners.AddWinnerCopy(*member);
  EXPECT_TRUE(winners.HoldsCanonicalText("first"));
  EXPECT_FALSE(winners.HoldsCanonicalText("firs"));
  auto direct = TwoElementAlgebra('1');
  direct->CanonicalText = "second";
  winners.Add(std::move(direct));  // not through the index
  EXPECT_TRUE(winners.HoldsCanonicalText("second"));
  EXPECT_TRUE(winners.HoldsCanonicalText("first"));
  EXPECT_EQ(winners.Count(), 2);
}

}  // namespace
