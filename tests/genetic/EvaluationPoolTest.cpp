// Evaluation on several threads: every member gets what one thread gives it,
// workers evaluate under the batch's copy of the settings, a setting changed
// during a batch applies from the next one, winners come in member order,
// and whole searches agree step for step whatever the thread count.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "genetic/EvaluationPool.h"
#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

// Everything an evaluation writes into a member.
std::string Outcome(const TEQAlgebra& member) {
  std::string text = std::to_string(member.Fitness) + "|" + member.CanonicalText;
  for (const PropertyResult& result : member.PropertyResults) {
    // Appended piece by piece: "|" + std::to_string(...) trips a false
    // -Wrestrict of g++ 12.
    text += '|';
    text += std::to_string(result.Passed);
    text += '/';
    text += std::to_string(result.Total);
  }
  for (int k = 0; k < member.MaximumGene.Count; ++k) text += member.MaximumGene.Entries[k].Value;
  return text;
}

std::vector<std::string> Outcomes(const TEQPopulation& population) {
  std::vector<std::string> outcomes;
  for (int i = 0; i < population.Count(); ++i) outcomes.push_back(Outcome(*population.Get(i)));
  return outcomes;
}

// Random members of n elements, unevaluated, from a seed.
TEQPopulation Unevaluated(uint32_t seed, int count, int32_t n) {
  RandSeed(seed);
  TEQPopulation population;
  FillRandomUnevaluated(population, count, n);
  return population;
}

std::vector<TEQAlgebra*> Pointers(const TEQPopulation& population) {
  std::vector<TEQAlgebra*> members;
  for (int i = 0; i < population.Count(); ++i) members.push_back(population.Get(i));
  return members;
}

TEST(EvaluationPool, EveryMemberGetsWhatOneThreadGivesItInEveryGeneSet) {
  ProcessStateGuard guard;
  EvaluationPool pool;
  for (const auto& [delta, maximum] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
    SCOPED_TRACE(std::to_string(delta) + std::to_string(maximum));
    SetGenes(delta, maximum);
    Settings.WantNonCommutative = true;
    Settings.WantLattice = maximum;
    TEQPopulation alone = Unevaluated(31, 150, 6);
    for (int i = 0; i < alone.Count(); ++i) alone.Get(i)->UpdateFitness();
    for (const bool caller_helps : {true, false}) {
      TEQPopulation shared = Unevaluated(31, 150, 6);
      const std::vector<TEQAlgebra*> members = Pointers(shared);
      pool.UpdateFitness(members.data(), static_cast<int>(members.size()), Settings, 3, caller_helps, nullptr);
      EXPECT_EQ(Outcomes(shared), Outcomes(alone)) << "caller helps: " << caller_helps;
      EXPECT_FALSE(pool.Busy());
    }
  }
  EXPECT_EQ(pool.WorkerCount(), 3);
}

void NoIdle() {}

TEST(EvaluationPool, WorkersEvaluateUnderTheBatchCopyNotTheCallersBlock) {
  ProcessStateGuard guard;
  SearchSettings batch = Settings;
  batch.WantGoodness = true;
  batch.OptionalWeight = 0.5;
  batch.RemoveEqualMembers = false;
  TEQPopulation expected = Unevaluated(32, 60, 5);
  {
    const ScopedSettings scoped(batch);
    for (int i = 0; i < expected.Count(); ++i) expected.Get(i)->UpdateFitness();
  }
  TEQPopulation evaluated = Unevaluated(32, 60, 5);
  const std::vector<TEQAlgebra*> members = Pointers(evaluated);
  {
    EvaluationPool pool;
    pool.UpdateFitness(members.data(), static_cast<int>(members.size()), batch, 2, false, &NoIdle);
  }
  EXPECT_EQ(Outcomes(evaluated), Outcomes(expected));
  EXPECT_FALSE(Settings.WantGoodness) << "the caller's block is untouched";
  int differ = 0;  // the batch's settings made a difference, so the check above means something
  TEQPopulation plain = Unevaluated(32, 60, 5);
  for (int i = 0; i < plain.Count(); ++i) {
    plain.Get(i)->UpdateFitness();
    differ += plain.Get(i)->Fitness != expected.Get(i)->Fitness ? 1 : 0;
  }
  EXPECT_GT(differ, 0);
}

// --- EvaluateMembers on the pool ------------------------------------------------

TEST(EvaluateMembersOnThreads, WinnersComeInMemberOrderAsOnOneThread) {
  ProcessStateGuard guard;
  TEQPopulation alone = Unevaluated(33, 400, 3);
  TEQPopulation alone_winners;
  alone.EvaluateMembers(&alone_winners);
  ASSERT_GT(alone_winners.Count(), 1) << "three-element populations hold several winners";
  EvaluationPool pool;
  for (int threads : {2, 4}) {
    for (const bool pumping : {false, true}) {
      SCOPED_TRACE(std::to_string(threads) + (pumping ? " with a pump" : " headless"));
      Settings.Threads = threads;
      SetMessagePump(pumping ? &CountingPump : nullptr);
      TEQPopulation shared = Unevaluated(33, 400, 3);
      TEQPopulation winners;
      shared.EvaluateMembers(&winners, &pool);
      SetMessagePump(nullptr);
      EXPECT_EQ(Outcomes(shared), Outcomes(alone));
      EXPECT_EQ(Outcomes(winners), Outcomes(alone_winners));
      EXPECT_EQ(shared.EvaluatedCount(), 400);
    }
  }
}

int PumpsSeen = 0;
// The first pump switches a forbidden property on, as a click in the window would.
void SwitchingPump() {
  if (PumpsSeen++ == 0) Settings.WantNonCommutative = true;
}

TEST(EvaluateMembersOnThreads, ASettingChangedDuringABatchAppliesFromTheNextBatch) {
  ProcessStateGuard guard;
  const int count = 300;
  TEQPopulation before = Unevaluated(34, count, 7);
  TEQPopulation after = Unevaluated(34, count, 7);
  for (int i = 0; i < count; ++i) before.Get(i)->UpdateFitness();
  {
    SearchSettings forbidding = Settings;
    forbidding.WantNonCommutative = true;
    const ScopedSettings scoped(forbidding);
    for (int i = 0; i < count; ++i) after.Get(i)->UpdateFitness();
  }
  EvaluationPool pool;
  Settings.Threads = 2;
  TEQPopulation changed = Unevaluated(34, count, 7);
  PumpsSeen = 0;
  SetMessagePump(&SwitchingPump);
  changed.EvaluateMembers(nullptr, &pool);
  SetMessagePump(nullptr);
  // The members of the batch under way keep the old block, all later ones get the new.
  int split = 0;
  while (split < count && Outcome(*changed.Get(split)) == Outcome(*before.Get(split))) ++split;
  EXPECT_GT(split, 0);
  EXPECT_LT(split, count);
  for (int i = split; i < count; ++i) EXPECT_EQ(Outcome(*changed.Get(i)), Outcome(*after.Get(i))) << i;
}

TEQGenerations* NestedDriver = nullptr;
int NestedAfter = 0;
void ResettingPumpOnThreads() {
  if (NestedAfter-- == 0) NestedDriver->Reset();
}

TEST(EvaluateMembersOnThreads, AResetFromThePumpDuringABatchEvaluatesOnItsOwn) {
  ProcessStateGuard guard;
  Settings.Threads = 2;
  Settings.PopulationLimit = 300;
  TEQGenerations driver(6, 300);
  NestedDriver = &driver;
  NestedAfter = 0;
  SetMessagePump(&ResettingPumpOnThreads);
  driver.Step();
  SetMessagePump(nullptr);
  ASSERT_LT(NestedAfter, 0) << "the reset ran";
  const TEQPopulation& current = *driver.FCurrent();
  ASSERT_GE(current.Count(), 1);
  for (int i = 0; i + 1 < current.Count(); ++i) EXPECT_GE(current.Get(i)->Fitness, current.Get(i + 1)->Fitness);
  driver.Step();
  EXPECT_GE(driver.FCurrent()->Count(), 1);
}

// --- Whole searches --------------------------------------------------------------------

// Every member of every generation, the statistics and the winners of a search.
std::vector<std::string> SearchRecord(uint32_t seed, int steps, int32_t n) {
  RandSeed(seed);
  GA = GAStatus{};
  TEQGenerations driver(n, Settings.PopulationLimit);
  std::vector<std::string> record;
  for (int s = 0; s <= steps; ++s) {
    if (s > 0) driver.Step();
    record.push_back(std::to_string(GA.GenerationNumber) + " " + std::to_string(GA.BestFitness) + " " +
                     std::to_string(GA.MedianFitness) + " " + std::to_string(GA.WorstFitness));
    for (const std::string& outcome : Outcomes(*driver.FCurrent())) record.push_back(outcome);
    for (const std::string& outcome : Outcomes(*driver.FWinners())) record.push_back("W" + outcome);
  }
  record.push_back(std::to_string(ProcessRandom.State()));
  return record;
}

TEST(SearchOnThreads, EveryThreadCountGivesTheSameSearchStepForStep) {
  ProcessStateGuard guard;
  struct Case {
    const char* name;
    void (*configure)();
    int32_t n;
    int steps;
  };
  const std::vector<Case> cases = {
      {"defaults", [] {}, 5, 8},
      {"delta and max, limit 10", [] { SetGenes(true, true); Settings.PopulationLimit = 10; }, 4, 25},
      {"forbidden properties", [] { Settings.WantNonGoodness = true; Settings.WantNonLinear = true; }, 4, 8},
      {"no removal of equal members", [] { Settings.RemoveEqualMembers = false; }, 3, 6},
      // Children enough to be made on the pool as well.
      {"limit 1200 with delta", [] { SetGenes(true, false); Settings.PopulationLimit = 1200; }, 4, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings = SearchSettings{};
    c.configure();
    const std::vector<std::string> alone = SearchRecord(40, c.steps, c.n);
    for (const bool pumping : {false, true}) {
      Settings.Threads = 3;
      SetMessagePump(pumping ? &CountingPump : nullptr);
      EXPECT_EQ(SearchRecord(40, c.steps, c.n), alone) << (pumping ? "with a pump" : "headless");
      SetMessagePump(nullptr);
      Settings.Threads = 1;
    }
  }
}

TEST(SearchOnThreads, ResetGivesWhatFillRandomEvaluationAndRankingGive) {
  ProcessStateGuard guard;
  Settings.PopulationLimit = 120;
  SetGenes(true, true);
  // The first population as FillRandom, EvaluateMembers and Sort make it.
  RandSeed(41);
  TEQPopulation reference;
  FillRandom(reference, 120, 5);
  const uint32_t state_after_fill = ProcessRandom.State();
  TEQPopulation reference_winners;
  reference.EvaluateMembers(&reference_winners);
  reference.Sort();
  for (int threads : {1, 2}) {
    Settings.Threads = threads;
    RandSeed(41);
    TEQGenerations driver(5, 120);
    EXPECT_EQ(ProcessRandom.State(), state_after_fill);
    EXPECT_EQ(Outcomes(*driver.FCurrent()), Outcomes(reference));
    EXPECT_EQ(Outcomes(*driver.FWinners()), Outcomes(reference_winners));
    EXPECT_FALSE(driver.CurrentResetProgress().active);
  }
}

TEQGenerations* WatchedDriver = nullptr;
std::vector<TEQGenerations::ResetProgress>* WatchedProgress = nullptr;
void RecordingPump() { WatchedProgress->push_back(WatchedDriver->CurrentResetProgress()); }

TEST(SearchOnThreads, AResetReportsItsProgressToThePump) {
  ProcessStateGuard guard;
  Settings.PopulationLimit = 200;
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    Settings.Threads = threads;
    TEQGenerations driver(5, 200);
    std::vector<TEQGenerations::ResetProgress> seen;
    WatchedDriver = &driver;
    WatchedProgress = &seen;
    SetMessagePump(&RecordingPump);
    driver.Reset();
    SetMessagePump(nullptr);
    ASSERT_GT(seen.size(), 200u) << "a pump per member drawn at least";
    EXPECT_TRUE(seen.front().active);
    EXPECT_EQ(seen.front().total, 200);
    EXPECT_EQ(seen.front().built, 1);
    EXPECT_EQ(seen.front().evaluated, 0);
    int built = 0, evaluated = 0;
    bool evaluated_all = false;
    for (const TEQGenerations::ResetProgress& p : seen) {
      if (!p.active) continue;  // ranking, after the evaluation
      EXPECT_GE(p.built, built);
      EXPECT_GE(p.evaluated, evaluated);
      EXPECT_TRUE(p.evaluated == 0 || p.built == 200) << "drawn before evaluated";
      built = p.built;
      evaluated = p.evaluated;
      evaluated_all = evaluated_all || p.evaluated == 200;
    }
    EXPECT_TRUE(evaluated_all);
    EXPECT_FALSE(seen.back().active) << "the ranking pumps come after the evaluation";
    EXPECT_FALSE(driver.CurrentResetProgress().active);
  }
}

}  // namespace
