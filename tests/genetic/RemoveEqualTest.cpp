// Duplicate removal against the pairwise definition.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

struct MemberData {
  double fitness;
  std::string text;
};

// The surviving original indexes by the pairwise algorithm: for every kept
// slot i, every later slot j of equal fitness and equal text is emptied.
std::vector<int> ReferenceSurvivors(const std::vector<MemberData>& members) {
  std::vector<bool> empty(members.size(), false);
  for (size_t i = 0; i < members.size(); ++i) {
    if (empty[i]) continue;
    for (size_t j = i + 1; j < members.size(); ++j) {
      if (!empty[j] && members[i].fitness == members[j].fitness && members[i].text == members[j].text) {
        empty[j] = true;
      }
    }
  }
  std::vector<int> survivors;
  for (size_t i = 0; i < members.size(); ++i) {
    if (!empty[i]) survivors.push_back(static_cast<int>(i));
  }
  return survivors;
}

// prefix followed by i in decimal.
std::string Numbered(const char* prefix, int i) {
  std::string text(prefix);
  text += std::to_string(i);
  return text;
}

// A population whose member i carries Description = i and the given data.
TEQPopulation MakePopulation(const std::vector<MemberData>& members) {
  TEQPopulation population;
  for (size_t i = 0; i < members.size(); ++i) {
    auto member = std::make_unique<TEQAlgebra>();
    member->Description = std::to_string(i);
    member->Fitness = members[i].fitness;
    member->CanonicalText = members[i].text;
    population.Add(std::move(member));
  }
  return population;
}

std::vector<int> SurvivingIndexes(const TEQPopulation& population) {
  std::vector<int> indexes;
  for (int i = 0; i < population.Count(); ++i) indexes.push_back(std::stoi(population.Get(i)->Description));
  return indexes;
}

TEST(RemoveEqual, KeepsTheFirstOfEachGroupLikeThePairwiseAlgorithm) {
  ProcessStateGuard guard;
  RandSeed(1);
  const std::vector<double> fitness_values = {0.5, 0.75, 1.0, 0.125, 0.0};
  const std::vector<std::string> texts = {"0a1", "0b1", "ab", "", std::string("x\0y", 3), "0a1 "};
  for (int round = 0; round < 200; ++round) {
    const int count = 1 + Random(300);
    std::vector<MemberData> members;
    for (int i = 0; i < count; ++i) {
      // Few distinct values, so most members have many equals.
      members.push_back({fitness_values[static_cast<size_t>(Random(5))], texts[static_cast<size_t>(Random(6))]});
    }
    TEQPopulation population = MakePopulation(members);
    RemoveEqual(population);
    ASSERT_EQ(SurvivingIndexes(population), ReferenceSurvivors(members)) << "round " << round;
  }
}

TEST(RemoveEqual, EqualTextWithDifferentFitnessBothStay) {
  ProcessStateGuard guard;
  const std::vector<MemberData> members = {
      {0.5, "same"}, {0.5000000000000001, "same"}, {0.5, "same"}, {0.5, "other"}, {0.5, "Same"}};
  TEQPopulation population = MakePopulation(members);
  RemoveEqual(population);
  EXPECT_EQ(SurvivingIndexes(population), (std::vector<int>{0, 1, 3, 4}));
}

TEST(RemoveEqual, BothZerosAreEqualAndNaNEqualsNothing) {
  ProcessStateGuard guard;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<MemberData> members = {{0.0, "t"}, {-0.0, "t"}, {nan, "t"}, {nan, "t"}, {0.0, "t"}};
  TEQPopulation population = MakePopulation(members);
  RemoveEqual(population);
  EXPECT_EQ(SurvivingIndexes(population), ReferenceSurvivors(members));
  EXPECT_EQ(SurvivingIndexes(population), (std::vector<int>{0, 2, 3}));
}

TEST(RemoveEqual, SkipsEmptySlotsAndPacks) {
  ProcessStateGuard guard;
  TEQPopulation population = MakePopulation({{1.0, "a"}, {1.0, "a"}, {1.0, "b"}, {1.0, "a"}, {0.5, "b"}});
  population.Free(0);
  RemoveEqual(population);
  EXPECT_EQ(SurvivingIndexes(population), (std::vector<int>{1, 2, 4}));
}

TEST(RemoveEqual, PumpsOncePerMember) {
  ProcessStateGuard guard;
  std::vector<MemberData> members(250, {0.5, "dup"});
  TEQPopulation population = MakePopulation(members);
  PumpCount = 0;
  SetMessagePump(CountingPump);
  RemoveEqual(population);
  EXPECT_EQ(PumpCount, 250);
  EXPECT_EQ(SurvivingIndexes(population), (std::vector<int>{0}));
}

TEQPopulation* InnerPopulation = nullptr;
int InnerRemovals = 0;

// A handler that removes duplicates from another population, once.
void RemovingPump() {
  if (InnerRemovals++ == 3) RemoveEqual(*InnerPopulation);
}

TEST(RemoveEqual, ReenteredThroughThePumpBothRemovalsStayCorrect) {
  ProcessStateGuard guard;
  std::vector<MemberData> outer_data, inner_data;
  for (int i = 0; i < 400; ++i) outer_data.push_back({(i % 3) / 2.0, Numbered("o", i % 40)});
  for (int i = 0; i < 300; ++i) inner_data.push_back({0.5, Numbered("i", i % 7)});
  TEQPopulation outer = MakePopulation(outer_data);
  TEQPopulation inner = MakePopulation(inner_data);
  InnerPopulation = &inner;
  InnerRemovals = 0;
  SetMessagePump(RemovingPump);
  RemoveEqual(outer);
  SetMessagePump(nullptr);
  EXPECT_EQ(SurvivingIndexes(outer), ReferenceSurvivors(outer_data));
  EXPECT_EQ(SurvivingIndexes(inner), ReferenceSurvivors(inner_data));
  EXPECT_EQ(inner.Count(), 7);
}

TEST(RemoveEqual, LargePopulationOfDistinctAndRepeatedMembers) {
  ProcessStateGuard guard;
  std::vector<MemberData> members;
  {
    // lcm(7, 1500) = 10500 exceeds the count: every member is distinct.
    for (int i = 0; i < 10000; ++i) members.push_back({(i % 7) / 8.0, Numbered("text", i % 1500)});
    TEQPopulation distinct = MakePopulation(members);
    RemoveEqual(distinct);
    EXPECT_EQ(distinct.Count(), 10000);
  }
  members.clear();
  // (i mod 4, i mod 500) repeats with period 500: the first 500 survive.
  for (int i = 0; i < 10000; ++i) members.push_back({(i % 4) / 4.0, Numbered("text", i % 500)});
  TEQPopulation repeated = MakePopulation(members);
  RemoveEqual(repeated);
  EXPECT_EQ(SurvivingIndexes(repeated), ReferenceSurvivors(members));
  EXPECT_EQ(repeated.Count(), 500);
}

}  // namespace
