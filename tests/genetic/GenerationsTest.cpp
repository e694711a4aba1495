// The search driver: children and carry-over counts, Reset and Step, who owns
// what, reproducibility from a seed, and every setting at the ends of its range.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "genetic/EQGenerations.h"
#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

TEST(GenerationTargets, ChildrenTargetTruncatesTheExtendedProduct) {
  EXPECT_EQ(ChildrenTarget(180, PercentToFraction(95)), 170);  // the double nearest 0.95 lies below it
  EXPECT_EQ(ChildrenTarget(10000, PercentToFraction(95)), 9499);
  EXPECT_EQ(ChildrenTarget(180, PercentToFraction(100)), 180);
  EXPECT_EQ(ChildrenTarget(180, PercentToFraction(0)), 0);
  EXPECT_EQ(ChildrenTarget(10, PercentToFraction(1)), 0);
  EXPECT_EQ(ChildrenTarget(200, PercentToFraction(50)), 100);
}

TEST(GenerationTargets, ParentRangeRoundsHalfToEven) {
  EXPECT_EQ(ParentRange(180, PercentToFraction(90)), 162);
  EXPECT_EQ(ParentRange(181, PercentToFraction(90)), 163);
  EXPECT_EQ(ParentRange(5, 0.5), 2);
  EXPECT_EQ(ParentRange(7, 0.5), 4);
  EXPECT_EQ(ParentRange(3, 0.5), 2);
  EXPECT_EQ(ParentRange(1, 0.5), 0);
  EXPECT_EQ(ParentRange(10, 0.25), 2);
  EXPECT_EQ(ParentRange(180, 0.0), 0);
  EXPECT_EQ(ParentRange(180, 1.0), 180);
  EXPECT_EQ(ParentRange(180, 1.5), 180);  // held to the population
  EXPECT_EQ(ParentRange(180, -0.5), 0);
}

// A ranked first population of the settings' limit, seeded.
PopulationPtr RankedPopulation(uint32_t seed, int32_t n = 5) {
  RandSeed(seed);
  auto population = std::make_shared<TEQPopulation>();
  FillRandom(*population, Settings.PopulationLimit, n);
  population->EvaluateMembers(nullptr);
  population->Sort();
  return population;
}

struct GenerationCounts {
  int members = 0;
  int carried = 0;  // members of the new generation that came from the previous one
  int emptied = 0;  // empty slots left in the previous one
};

GenerationCounts MakeGeneration(TEQGenerations& driver, TEQPopulation& previous) {
  std::set<const TEQAlgebra*> originals;
  for (int i = 0; i < previous.Count(); ++i) originals.insert(previous.Get(i));
  PopulationPtr next = driver.NextGeneration(previous);
  GenerationCounts counts;
  counts.members = next->Count();
  for (int i = 0; i < next->Count(); ++i) counts.carried += originals.count(next->Get(i)) != 0 ? 1 : 0;
  for (int i = 0; i < previous.Count(); ++i) counts.emptied += previous.Get(i) == nullptr ? 1 : 0;
  return counts;
}

TEST(NextGeneration, DefaultsMakeTwentyNineCrossoversAndCarrySevenOver) {
  ProcessStateGuard guard;
  Settings.RemoveEqualMembers = false;  // count the members before removal
  Settings.MutationRate = 0.0;
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(3);
  GA.ChildrenToMake = ChildrenTarget(driver.FPopulationLimit, Settings.ChildRatio);
  EXPECT_EQ(GA.ChildrenToMake, 170);
  RandSeed(1000);
  const GenerationCounts counts = MakeGeneration(driver, *previous);
  EXPECT_EQ(counts.members, 181);
  EXPECT_EQ(counts.carried, 7);
  EXPECT_EQ(counts.emptied, 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(previous->Get(i), nullptr) << "the best seven move";
  // 29 crossovers of three draws each (two ranks, one share), then one
  // mutation draw per child: 174 of them.
  EXPECT_EQ(ProcessRandom.State(), StateAfter(1000, 29 * 3 + 174));
}

TEST(NextGeneration, FullChildRatioCarriesOneOver) {
  ProcessStateGuard guard;
  Settings.RemoveEqualMembers = false;
  Settings.ChildRatio = PercentToFraction(100);
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(4);
  GA.ChildrenToMake = ChildrenTarget(180, Settings.ChildRatio);
  const GenerationCounts counts = MakeGeneration(driver, *previous);
  EXPECT_EQ(counts.members, 181);
  EXPECT_EQ(counts.carried, 1);
}

TEST(NextGeneration, FourGenesAtFullRatioMakeTwentyThreeCrossoversAndCarryNothing) {
  ProcessStateGuard guard;
  SetGenes(true, false);
  Settings.RemoveEqualMembers = false;
  Settings.MutationRate = 0.0;
  Settings.ChildRatio = PercentToFraction(100);
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(5);
  GA.ChildrenToMake = ChildrenTarget(180, Settings.ChildRatio);
  RandSeed(2000);
  const GenerationCounts counts = MakeGeneration(driver, *previous);
  EXPECT_EQ(counts.members, 184);
  EXPECT_EQ(counts.carried, 0);
  EXPECT_EQ(counts.emptied, 0);
  EXPECT_EQ(ProcessRandom.State(), StateAfter(2000, 23 * 3 + 184));
}

TEST(NextGeneration, NoChildrenCarriesTheRankedPopulationOverWithoutDrawing) {
  ProcessStateGuard guard;
  Settings.ChildRatio = 0.0;
  Settings.MutationRate = 1.0;
  Settings.RemoveEqualMembers = false;
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(6);
  std::vector<const TEQAlgebra*> order;
  for (int i = 0; i < previous->Count(); ++i) order.push_back(previous->Get(i));
  GA.ChildrenToMake = ChildrenTarget(180, Settings.ChildRatio);
  EXPECT_EQ(GA.ChildrenToMake, 0);
  RandSeed(3000);
  PopulationPtr next = driver.NextGeneration(*previous);
  EXPECT_EQ(ProcessRandom.State(), 3000u);  // no crossover, no mutation draw
  ASSERT_EQ(next->Count(), 180);
  // Re-evaluated to the same fitness and re-ranked stably: the same order.
  for (int i = 0; i < 180; ++i) EXPECT_EQ(next->Get(i), order[static_cast<size_t>(i)]);
}

TEST(NextGeneration, ZeroCrossoverRateBreedsOnlyTheBestMember) {
  ProcessStateGuard guard;
  Settings.CrossoverRate = 0.0;
  Settings.MutationRate = 0.0;
  Settings.RemoveEqualMembers = false;
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(7);
  const TEQAlgebra best = *previous->Get(0);
  std::set<const TEQAlgebra*> originals;
  for (int i = 0; i < previous->Count(); ++i) originals.insert(previous->Get(i));
  GA.ChildrenToMake = ChildrenTarget(180, Settings.ChildRatio);
  PopulationPtr next = driver.NextGeneration(*previous);
  int children = 0;
  for (int i = 0; i < next->Count(); ++i) {
    const TEQAlgebra& member = *next->Get(i);
    if (originals.count(&member) != 0) continue;
    ++children;
    for (int gene : {kInfimumGene, kProductGene, kFEqualityGene}) {
      EXPECT_TRUE(SameGene(*member.PairGeneByNumber(gene), *best.PairGeneByNumber(gene)));
    }
    EXPECT_EQ(member.Fitness, best.Fitness);
  }
  EXPECT_EQ(children, 174);
}

TEST(NextGeneration, RemovesEqualMembersAndRanks) {
  ProcessStateGuard guard;
  Settings.CrossoverRate = 0.0;  // every child a copy of the best: many equals
  Settings.MutationRate = 0.0;
  TEQGenerations driver(5, 180);
  PopulationPtr previous = RankedPopulation(8);
  previous->EvaluateMembers(nullptr);  // canonical texts for the comparison below
  GA.ChildrenToMake = ChildrenTarget(180, Settings.ChildRatio);
  PopulationPtr next = driver.NextGeneration(*previous);
  // The 174 copies of the best and the best itself collapse into one member.
  EXPECT_EQ(next->Count(), 7 - 1 + 1);
  for (int i = 0; i + 1 < next->Count(); ++i) {
    EXPECT_GE(next->Get(i)->Fitness, next->Get(i + 1)->Fitness);
    for (int j = i + 1; j < next->Count(); ++j) {
      EXPECT_FALSE(next->Get(i)->Fitness == next->Get(j)->Fitness &&
                   next->Get(i)->CanonicalText == next->Get(j)->CanonicalText);
    }
  }
}

// --- Reset and Step -------------------------------------------------------------

struct StatusRecord {
  int32_t generation;
  double best, median, worst;
};

TEST(Generations, ResetBuildsEvaluatesAndRanksAFirstPopulation) {
  ProcessStateGuard guard;
  RandSeed(11);
  TEQGenerations driver(5, 180);
  // Only the random construction draws: 36 per member.
  EXPECT_EQ(ProcessRandom.State(), StateAfter(11, 180 * 36));
  ASSERT_TRUE(driver.FCurrent());
  EXPECT_EQ(driver.FFirst(), driver.FCurrent());
  EXPECT_EQ(driver.FLatest(), nullptr);
  ASSERT_TRUE(driver.FWinners());
  EXPECT_EQ(driver.FGeneration(), 0);
  EXPECT_EQ(driver.PopulationsMade(), 1);
  EXPECT_TRUE(GA.GAReady);
  const TEQPopulation& first = *driver.FCurrent();
  ASSERT_EQ(first.Count(), 180);
  EXPECT_EQ(first.FElementCount, 5);
  for (int i = 0; i + 1 < first.Count(); ++i) EXPECT_GE(first.Get(i)->Fitness, first.Get(i + 1)->Fitness);
  EXPECT_EQ(GA.GenerationNumber, 0);
  EXPECT_EQ(GA.BestFitness, first.Get(0)->Fitness);
  EXPECT_EQ(GA.MedianFitness, first.Get(90)->Fitness);
  EXPECT_EQ(GA.WorstFitness, first.Get(179)->Fitness);
  EXPECT_FALSE(first.Get(0)->CanonicalText.empty());  // evaluated while equal members are removed
}

TEST(Generations, StepReplacesTheCurrentPopulationAndPublishes) {
  ProcessStateGuard guard;
  RandSeed(12);
  TEQGenerations driver(5, 180);
  int resets = 0;
  driver.SetResetListener([&resets] { ++resets; });
  std::vector<int32_t> generations_at_pump;
  static std::vector<int32_t>* record = nullptr;
  record = &generations_at_pump;
  SetMessagePump([] { record->push_back(GA.GenerationNumber); });
  driver.Step();
  SetMessagePump(nullptr);
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(GA.ChildrenToMake, 170);
  ASSERT_TRUE(driver.FLatest());
  EXPECT_EQ(driver.FLatest(), driver.FCurrent());
  EXPECT_EQ(driver.FFirst(), nullptr);  // freed: nobody holds it
  EXPECT_EQ(driver.FGeneration(), 1);
  EXPECT_EQ(driver.PopulationsMade(), 2);
  EXPECT_EQ(GA.GenerationNumber, 1);
  const TEQPopulation& latest = *driver.FLatest();
  EXPECT_LE(latest.Count(), 181);
  EXPECT_GE(latest.Count(), 1);
  EXPECT_EQ(GA.BestFitness, latest.Get(0)->Fitness);
  EXPECT_EQ(GA.MedianFitness, latest.Get(latest.Count() / 2)->Fitness);
  EXPECT_EQ(GA.WorstFitness, latest.Get(latest.Count() - 1)->Fitness);
  // One pump per evaluation, removal and comparison before publishing, and one after.
  ASSERT_GT(generations_at_pump.size(), 181u * 2);
  EXPECT_EQ(generations_at_pump.back(), 1);
  EXPECT_EQ(std::count(generations_at_pump.begin(), generations_at_pump.end(), 1), 1);
}

TEST(Generations, StepResetsFirstWhenNotReady) {
  ProcessStateGuard guard;
  TEQGenerations driver(5, 180);
  driver.Step();
  driver.Step();
  int resets = 0;
  driver.SetResetListener([&resets] { ++resets; });
  GA.GAReady = false;
  driver.FElementCount = 3;
  driver.Step();
  EXPECT_EQ(resets, 1);
  EXPECT_TRUE(GA.GAReady);
  EXPECT_EQ(driver.FGeneration(), 1);
  EXPECT_EQ(driver.PopulationsMade(), 2);
  EXPECT_EQ(driver.FCurrent()->FElementCount, 3);
  EXPECT_EQ(driver.FCurrent()->Get(0)->Size, 3);
  const PopulationPtr old_winners = driver.FWinners();
  driver.Reset();
  EXPECT_EQ(resets, 2);
  EXPECT_EQ(driver.FGeneration(), 0);
  EXPECT_EQ(driver.PopulationsMade(), 1);
  EXPECT_EQ(driver.FLatest(), nullptr);
  // New winners, holding exactly the distinct fitness-1 members of the first population.
  EXPECT_NE(driver.FWinners(), old_winners);
  std::set<std::string> texts;
  for (int i = 0; i < driver.FCurrent()->Count(); ++i) {
    const TEQAlgebra& member = *driver.FCurrent()->Get(i);
    if (member.Fitness == 1.0) texts.insert(member.CanonicalText);
  }
  ASSERT_FALSE(texts.empty()) << "three-element first populations hold winners";
  EXPECT_EQ(static_cast<size_t>(driver.FWinners()->Count()), texts.size());
}

TEST(GenerationsOwnership, HeldPopulationsAndMembersOutliveStepAndReset) {
  ProcessStateGuard guard;
  TEQGenerations driver(5, 180);
  PopulationPtr held = driver.FCurrent();
  TEQAlgebra* best = held->Get(0);
  TEQAlgebra* last = held->Get(179);
  const double last_fitness = last->Fitness;
  driver.Step();
  EXPECT_EQ(driver.FFirst(), held);  // still alive while held
  EXPECT_EQ(held->Count(), 180);
  EXPECT_EQ(held->Get(0), nullptr);  // carried over: its slot is empty
  EXPECT_EQ(held->Get(179), last);   // not carried: still owned by the held population
  EXPECT_EQ(last->Fitness, last_fitness);
  bool found = false;
  for (int i = 0; i < driver.FCurrent()->Count(); ++i) found = found || driver.FCurrent()->Get(i) == best;
  EXPECT_TRUE(found);
  held.reset();
  EXPECT_EQ(driver.FFirst(), nullptr);

  PopulationPtr latest = driver.FLatest();
  PopulationPtr winners = driver.FWinners();
  const int count = latest->Count();
  driver.Reset();
  EXPECT_NE(driver.FCurrent(), latest);
  EXPECT_NE(driver.FWinners(), winners);
  EXPECT_EQ(latest->Count(), count);
  for (int i = 0; i < count; ++i) EXPECT_GE(latest->Get(i)->Fitness, 0.0);
}

TEQGenerations* ResettingDriver = nullptr;
int ResetAfterPumps = 0;

// A handler that resets the search from inside a step, once.
void ResettingPump() {
  if (ResetAfterPumps-- == 0) ResettingDriver->Reset();
}

TEST(GenerationsOwnership, ResetFromThePumpMidStepFreesNothingTheStepUses) {
  ProcessStateGuard guard;
  for (int after : {10, 185, 400}) {  // during evaluation, duplicate removal and ranking
    SCOPED_TRACE(after);
    TEQGenerations driver(5, 180);
    ResettingDriver = &driver;
    ResetAfterPumps = after;
    SetMessagePump(ResettingPump);
    driver.Step();
    SetMessagePump(nullptr);
    ASSERT_LT(ResetAfterPumps, 0) << "the reset ran";
    const TEQPopulation& current = *driver.FCurrent();
    ASSERT_GE(current.Count(), 1);
    for (int i = 0; i + 1 < current.Count(); ++i) EXPECT_GE(current.Get(i)->Fitness, current.Get(i + 1)->Fitness);
    EXPECT_EQ(driver.FLatest(), driver.FCurrent());
    EXPECT_EQ(GA.BestFitness, current.Get(0)->Fitness);
    driver.Step();  // and the search goes on from there
    EXPECT_GE(driver.FCurrent()->Count(), 1);
  }
}

// Everything a run shows, step by step.
std::vector<std::string> RunRecord(uint32_t seed, int steps, int32_t n) {
  RandSeed(seed);
  TEQGenerations driver(n, Settings.PopulationLimit);
  std::vector<std::string> record;
  for (int s = 0; s <= steps; ++s) {
    if (s > 0) driver.Step();
    std::string line = std::to_string(GA.GenerationNumber) + " " + std::to_string(GA.BestFitness) + " " +
                       std::to_string(GA.MedianFitness) + " " + std::to_string(GA.WorstFitness);
    record.push_back(line);
    const TEQPopulation& current = *driver.FCurrent();
    for (int i = 0; i < current.Count(); ++i) {
      record.push_back(std::to_string(current.Get(i)->Fitness) + current.Get(i)->CanonicalText);
    }
    for (int i = 0; i < driver.FWinners()->Count(); ++i) record.push_back("W" + driver.FWinners()->Get(i)->CanonicalText);
  }
  return record;
}

TEST(GenerationsReproducibility, OneSeedGivesTheSameRunStepForStep) {
  ProcessStateGuard guard;
  Settings.PopulationLimit = 60;
  const std::vector<std::string> first = RunRecord(123, 6, 4);
  const std::vector<std::string> second = RunRecord(123, 6, 4);
  EXPECT_EQ(first, second);
  EXPECT_NE(first, RunRecord(124, 6, 4));
}

TEST(GenerationsWinners, DistinctWinnersAccumulateUntilReset) {
  ProcessStateGuard guard;
  Settings.PopulationLimit = 100;
  RandSeed(77);
  TEQGenerations driver(3, 100);
  std::vector<std::string> seen;
  for (int s = 0; s < 25; ++s) {
    driver.Step();
    const TEQPopulation& winners = *driver.FWinners();
    ASSERT_GE(static_cast<size_t>(winners.Count()), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(winners.Get(static_cast<int>(i))->CanonicalText, seen[i]);
    for (size_t i = seen.size(); i < static_cast<size_t>(winners.Count()); ++i) {
      seen.push_back(winners.Get(static_cast<int>(i))->CanonicalText);
    }
  }
  ASSERT_FALSE(seen.empty()) << "three-element searches find winners within 25 steps";
  EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), seen.size());
  for (int i = 0; i < driver.FWinners()->Count(); ++i) EXPECT_EQ(driver.FWinners()->Get(i)->Fitness, 1.0);

  Settings.RemoveEqualMembers = false;
  driver.Reset();
  for (int s = 0; s < 10; ++s) driver.Step();
  EXPECT_EQ(driver.FWinners()->Count(), 0);
  EXPECT_EQ(driver.FCurrent()->Get(0)->Fitness, 1.0) << "fitness-1 members exist, yet no winners";
}

// --- Settings at the ends of their ranges ------------------------------------

struct RangeCase {
  const char* name;
  int32_t n;
  int32_t limit;
  int child_percent;
  int crossover_percent;
  int mutation_percent;
  bool delta;
  bool maximum;
  bool remove_equal;
};

// Children = the smallest multiple of 2 * GeneCount at least the target;
// carried = one more than the room left below the limit.
int ExpectedCount(int32_t limit, int32_t target, int genes, int previous) {
  const int children = target <= 0 ? 0 : (target + 2 * genes - 1) / (2 * genes) * (2 * genes);
  const int carried = limit >= children ? std::min(limit - children + 1, previous) : 0;
  return children + carried;
}

TEST(GenerationsRanges, EveryEndOfEveryRangeRuns) {
  ProcessStateGuard guard;
  const std::vector<RangeCase> cases = {
      {"limit 10", 5, 10, 95, 90, 10, false, false, false},
      {"limit 10000", 5, 10000, 95, 90, 10, false, false, true},
      {"child ratio 0", 5, 30, 0, 90, 10, false, false, false},
      {"child ratio 100", 5, 30, 100, 90, 10, false, false, false},
      {"crossover 0", 5, 30, 95, 0, 10, false, false, false},
      {"mutation 0", 5, 30, 95, 90, 0, false, false, false},
      {"mutation 100", 5, 30, 95, 90, 100, false, false, false},
      {"two elements", 2, 30, 95, 90, 100, false, false, true},
      {"two elements, delta and max", 2, 30, 95, 90, 100, true, true, true},
      {"28 elements", 28, 10, 95, 90, 100, false, false, false},
      {"28 elements, delta and max", 28, 10, 95, 90, 100, true, true, true},
      {"delta", 5, 30, 95, 90, 100, true, false, false},
      {"max", 5, 30, 95, 90, 100, false, true, false},
      {"delta and max", 5, 30, 95, 90, 100, true, true, false},
      {"delta and max, removing", 5, 30, 100, 100, 100, true, true, true},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Settings = SearchSettings{};
    Settings.ElementCount = c.n;
    SetGenes(c.delta, c.maximum);
    Settings.PopulationLimit = c.limit;
    Settings.ChildRatio = PercentToFraction(c.child_percent);
    Settings.CrossoverRate = PercentToFraction(c.crossover_percent);
    Settings.MutationRate = PercentToFraction(c.mutation_percent);
    Settings.RemoveEqualMembers = c.remove_equal;
    RandSeed(static_cast<uint32_t>(c.n * 1000 + c.limit));
    TEQGenerations driver(c.n, c.limit);
    ASSERT_EQ(driver.FCurrent()->Count(), c.limit);
    for (int s = 1; s <= 2; ++s) {
      const int previous = driver.FCurrent()->Count();
      driver.Step();
      const TEQPopulation& current = *driver.FCurrent();
      const int expected = ExpectedCount(c.limit, GA.ChildrenToMake, Settings.GeneCount, previous);
      if (c.remove_equal) {
        EXPECT_GE(current.Count(), 1);
        EXPECT_LE(current.Count(), expected);
      } else {
        EXPECT_EQ(current.Count(), expected);
      }
      for (int i = 0; i < current.Count(); ++i) {
        const TEQAlgebra& member = *current.Get(i);
        EXPECT_EQ(member.Size, c.n);
        EXPECT_GE(member.Fitness, 0.0);
        EXPECT_LE(member.Fitness, 1.0);
        if (i > 0) {
          EXPECT_GE(current.Get(i - 1)->Fitness, member.Fitness);
        }
      }
      EXPECT_EQ(GA.GenerationNumber, s);
      EXPECT_EQ(GA.BestFitness, current.Get(0)->Fitness);
      EXPECT_EQ(GA.WorstFitness, current.Get(current.Count() - 1)->Fitness);
    }
  }
}

}  // namespace
