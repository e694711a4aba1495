// The genetic operators: gene slots, random filling, crossover and mutation.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"
#include "model/ValueRules.h"

namespace {

using namespace genetic_test;

TEST(GeneSlots, SlotFourIsTheMaximumGeneWhileDeltaIsOff) {
  ProcessStateGuard guard;
  SetGenes(false, false);
  EXPECT_EQ(Settings.GeneCount, 3);
  EXPECT_EQ(GeneOfSlot(1), kInfimumGene);
  EXPECT_EQ(GeneOfSlot(2), kProductGene);
  EXPECT_EQ(GeneOfSlot(3), kFEqualityGene);
  SetGenes(false, true);
  EXPECT_EQ(GeneOfSlot(4), kMaximumGene);
  SetGenes(true, false);
  EXPECT_EQ(GeneOfSlot(4), kDeltaGene);
  SetGenes(true, true);
  EXPECT_EQ(GeneOfSlot(4), kDeltaGene);
  EXPECT_EQ(GeneOfSlot(5), kMaximumGene);
}

TEST(FillRandom, AppendsRandomMembersAndDrawsOnlyForThem) {
  ProcessStateGuard guard;
  TEQPopulation population;
  RandSeed(99);
  FillRandom(population, 3, 5);
  EXPECT_EQ(population.FElementCount, 5);
  ASSERT_EQ(population.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(population.Get(i)->Size, 5);
  // Per member: 10 infimum, 16 product (pairs without '1') and 10 equality draws.
  EXPECT_EQ(ProcessRandom.State(), StateAfter(99, 3 * 36));

  SetGenes(true, false);
  RandSeed(5);
  FillRandom(population, 2, 4);
  EXPECT_EQ(population.Count(), 5);
  EXPECT_EQ(population.FElementCount, 4);
  EXPECT_EQ(population.Get(4)->Size, 4);
  // 6 + 9 + 6, plus 4 delta draws.
  EXPECT_EQ(ProcessRandom.State(), StateAfter(5, 2 * 25));
}

// Two random parents of n elements with told-apart descriptions and fitness.
struct Parents {
  std::unique_ptr<TEQAlgebra> first = std::make_unique<TEQAlgebra>();
  std::unique_ptr<TEQAlgebra> second = std::make_unique<TEQAlgebra>();
  explicit Parents(int32_t n) {
    RandSeed(2024);
    first->BuildRandom(n);
    second->BuildRandom(n);
    first->Description = "first";
    second->Description = "second";
    first->Fitness = 0.25;
    second->Fitness = 0.75;
  }
};

// Gene g of the child: entries 0 .. cut-1 from donor, the rest from base;
// every other gene in play exactly the base's.
void ExpectOnePointCut(const TEQAlgebra& child, const TEQAlgebra& base, const TEQAlgebra& donor,
                       int gene, double share, int slots) {
  for (int slot = 1; slot <= slots; ++slot) {
    const int other = GeneOfSlot(slot);
    if (other == gene) continue;
    if (other == kDeltaGene) {
      EXPECT_TRUE(SameGene(child.DeltaGene, base.DeltaGene)) << "gene " << other;
    } else {
      EXPECT_TRUE(SameGene(*child.PairGeneByNumber(other), *base.PairGeneByNumber(other))) << "gene " << other;
    }
  }
  const int length = gene == kDeltaGene ? base.DeltaGene.Count : base.PairGeneByNumber(gene)->Count;
  const int cut = static_cast<int>(length * share);
  for (int k = 0; k < length; ++k) {
    const TEQAlgebra& from = k < cut ? donor : base;
    if (gene == kDeltaGene) {
      EXPECT_EQ(child.DeltaGene.Entries[k].X, from.DeltaGene.Entries[k].X);
      EXPECT_EQ(child.DeltaGene.Entries[k].Value, from.DeltaGene.Entries[k].Value) << "entry " << k;
    } else {
      const PairEntry& got = child.PairGeneByNumber(gene)->Entries[k];
      const PairEntry& want = from.PairGeneByNumber(gene)->Entries[k];
      EXPECT_EQ(got.X, want.X);
      EXPECT_EQ(got.Y, want.Y);
      EXPECT_EQ(got.Value, want.Value) << "gene " << gene << " entry " << k;
    }
  }
  EXPECT_EQ(child.Description, donor.Description);
  EXPECT_EQ(child.Fitness, donor.Fitness);  // a placeholder until evaluation
}

TEST(Crossover, EachChildDiffersFromItsBaseByOneCutInOneGene) {
  ProcessStateGuard guard;
  struct Case {
    bool delta, maximum;
    double share;
  };
  for (const Case& c : {Case{false, false, 0.5}, Case{true, false, 0.75}, Case{false, true, 0.3125},
                        Case{true, true, 0.5}}) {
    SetGenes(c.delta, c.maximum);
    Parents parents(5);
    // The parents really differ in every gene, so a wrong cut shows.
    for (int slot = 1; slot <= Settings.GeneCount; ++slot) {
      const int gene = GeneOfSlot(slot);
      const int differing = DifferingEntriesOfGene(*parents.first, *parents.second, gene);
      ASSERT_GT(differing, gene <= kFEqualityGene ? 2 : 0) << "gene " << gene;
    }
    TEQPopulation target;
    SeedForReal(c.share);
    const uint32_t before = ProcessRandom.State();
    Crossover(*parents.first, *parents.second, target);
    EXPECT_EQ(ProcessRandom.State(), StateAfter(before, 1));  // one real for the pair

    const int slots = Settings.GeneCount;
    ASSERT_EQ(target.Count(), 2 * slots);
    for (int slot = 1; slot <= slots; ++slot) {
      SCOPED_TRACE(testing::Message() << "delta " << c.delta << " max " << c.maximum << " slot " << slot);
      const int gene = GeneOfSlot(slot);
      ExpectOnePointCut(*target.Get(2 * (slot - 1)), *parents.first, *parents.second, gene, c.share, slots);
      ExpectOnePointCut(*target.Get(2 * (slot - 1) + 1), *parents.second, *parents.first, gene, c.share, slots);
    }
  }
}

TEST(Crossover, GeneOfLengthOneIsNeverCut) {
  ProcessStateGuard guard;
  Parents parents(2);
  parents.first->FEqualityGene.Entries[0].Value = '0';
  parents.second->FEqualityGene.Entries[0].Value = '1';
  parents.first->InfimumGene.Entries[0].Value = '0';
  parents.second->InfimumGene.Entries[0].Value = '1';
  TEQPopulation target;
  RandSeed(StateBefore(0xFFFFFFFFu));  // the largest share there is
  Crossover(*parents.first, *parents.second, target);
  ASSERT_EQ(target.Count(), 6);
  EXPECT_EQ(target.Get(0)->InfimumGene.Entries[0].Value, '0');
  EXPECT_EQ(target.Get(1)->InfimumGene.Entries[0].Value, '1');
  EXPECT_EQ(target.Get(4)->FEqualityGene.Entries[0].Value, '0');
  EXPECT_EQ(target.Get(5)->FEqualityGene.Entries[0].Value, '1');
}

TEST(Crossover, ParentCrossedWithItselfGivesCopies) {
  ProcessStateGuard guard;
  Parents parents(6);
  TEQPopulation target;
  RandSeed(31);
  Crossover(*parents.first, *parents.first, target);
  ASSERT_EQ(target.Count(), 6);
  for (int i = 0; i < 6; ++i) {
    for (int gene : {kInfimumGene, kProductGene, kFEqualityGene}) {
      EXPECT_TRUE(SameGene(*target.Get(i)->PairGeneByNumber(gene), *parents.first->PairGeneByNumber(gene)));
    }
  }
}

// --- Mutation ---------------------------------------------------------------

// Mutation read straight from its definition, on the process generator.
void ReferenceMutate(std::vector<std::unique_ptr<TEQAlgebra>>& members, double rate) {
  for (auto& member : members) {
    if (member == nullptr) return;
    if (!(Random() < rate)) continue;
    int gene = Random(Settings.GeneCount) + 1;
    if (gene == 4 && !Settings.DeltaEnabled) gene = 5;
    const int32_t n = member->Size;
    if (gene == 4) {
      const int j = Random(member->DeltaGene.Count);
      SingleEntry& e = member->DeltaGene.Entries[j];
      e.Value = DeltaRule(n, e.X);
      continue;
    }
    PairGene& list = *member->PairGeneByNumber(gene);
    const int j = Random(list.Count);
    PairEntry& e = list.Entries[j];
    if (gene == 1) e.Value = InfimumRule(n, e.X, e.Y);
    if (gene == 2) e.Value = ProductRule(n, e.X, e.Y);
    if (gene == 3) e.Value = EqualityRule(n, e.X, e.Y);
    if (gene == 5) e.Value = member->Join(n, e.X, e.Y);
  }
}

// A population of random members of n elements and, beside it, copies.
struct MutationFixture {
  TEQPopulation population;
  std::vector<std::unique_ptr<TEQAlgebra>> copies;
  MutationFixture(int count, int32_t n, uint32_t seed) {
    RandSeed(seed);
    FillRandom(population, count, n);
    for (int i = 0; i < count; ++i) {
      copies.push_back(std::make_unique<TEQAlgebra>(*population.Get(i)));
    }
  }
};

TEST(Mutate, DrawsAndChangesExactlyAsDefinedInEveryGeneSet) {
  ProcessStateGuard guard;
  for (bool delta : {false, true}) {
    for (bool maximum : {false, true}) {
      for (double rate : {0.1, 0.5, 1.0}) {
        SCOPED_TRACE(testing::Message() << "delta " << delta << " max " << maximum << " rate " << rate);
        SetGenes(delta, maximum);
        MutationFixture fixture(60, 5, 77);
        RandSeed(4242);
        Mutate(fixture.population, rate);
        const uint32_t after = ProcessRandom.State();
        RandSeed(4242);
        ReferenceMutate(fixture.copies, rate);
        EXPECT_EQ(after, ProcessRandom.State());
        for (int i = 0; i < 60; ++i) {
          const TEQAlgebra& got = *fixture.population.Get(i);
          const TEQAlgebra& want = *fixture.copies[static_cast<size_t>(i)];
          for (int gene : {kInfimumGene, kProductGene, kFEqualityGene, kMaximumGene}) {
            ASSERT_TRUE(SameGene(*got.PairGeneByNumber(gene), *want.PairGeneByNumber(gene))) << i;
          }
          ASSERT_TRUE(SameGene(got.DeltaGene, want.DeltaGene)) << i;
        }
      }
    }
  }
}

// Filler no value rule can produce, so every changed entry shows.
constexpr char kFiller = '#';

void FillGenes(TEQAlgebra& algebra) {
  for (int gene : {kInfimumGene, kProductGene, kFEqualityGene, kMaximumGene}) {
    PairGene& list = *algebra.PairGeneByNumber(gene);
    for (int k = 0; k < list.Count; ++k) list.Entries[k].Value = kFiller;
  }
  for (int k = 0; k < algebra.DeltaGene.Count; ++k) algebra.DeltaGene.Entries[k].Value = kFiller;
}

TEST(Mutate, FullRateChangesExactlyOneEntryOfAGeneInPlay) {
  ProcessStateGuard guard;
  for (bool delta : {false, true}) {
    for (bool maximum : {false, true}) {
      SCOPED_TRACE(testing::Message() << "delta " << delta << " max " << maximum);
      SetGenes(delta, maximum);
      MutationFixture fixture(300, 5, 8);
      std::vector<int> genes_hit(6, 0);
      for (int i = 0; i < 300; ++i) FillGenes(*fixture.population.Get(i));
      RandSeed(13);
      Mutate(fixture.population, 1.0);
      for (int i = 0; i < 300; ++i) {
        const TEQAlgebra& member = *fixture.population.Get(i);
        int changed = 0;
        for (int gene = 1; gene <= 5; ++gene) {
          const bool is_delta = gene == kDeltaGene;
          const int count = is_delta ? member.DeltaGene.Count : member.PairGeneByNumber(gene)->Count;
          for (int k = 0; k < count; ++k) {
            const char value = is_delta ? member.DeltaGene.Entries[k].Value
                                        : member.PairGeneByNumber(gene)->Entries[k].Value;
            if (value == kFiller) continue;
            ++changed;
            ++genes_hit[static_cast<size_t>(gene)];
            if (gene == kMaximumGene) {
              const PairEntry& e = member.MaximumGene.Entries[k];
              EXPECT_EQ(e.Value, member.Join(member.Size, e.X, e.Y));
            }
            if (gene == kInfimumGene) {
              const PairEntry& e = member.InfimumGene.Entries[k];
              if (e.Y == '1') {
                EXPECT_EQ(e.Value, e.X);  // the fixed cell keeps its rule
              }
            }
          }
        }
        EXPECT_EQ(changed, 1) << "member " << i;
      }
      for (int gene = 1; gene <= 5; ++gene) {
        const bool in_play = gene <= 3 || (gene == kDeltaGene && delta) || (gene == kMaximumGene && maximum);
        if (in_play) {
          EXPECT_GT(genes_hit[static_cast<size_t>(gene)], 20) << "gene " << gene;
        } else {
          EXPECT_EQ(genes_hit[static_cast<size_t>(gene)], 0) << "gene " << gene;
        }
      }
    }
  }
}

TEST(Mutate, ZeroRateDrawsOncePerMemberAndChangesNothing) {
  ProcessStateGuard guard;
  MutationFixture fixture(40, 5, 3);
  RandSeed(500);
  Mutate(fixture.population, 0.0);
  EXPECT_EQ(ProcessRandom.State(), StateAfter(500, 40));
  for (int i = 0; i < 40; ++i) {
    EXPECT_TRUE(SameGene(fixture.population.Get(i)->InfimumGene, fixture.copies[static_cast<size_t>(i)]->InfimumGene));
    EXPECT_TRUE(SameGene(fixture.population.Get(i)->ProductGene, fixture.copies[static_cast<size_t>(i)]->ProductGene));
    EXPECT_TRUE(SameGene(fixture.population.Get(i)->FEqualityGene, fixture.copies[static_cast<size_t>(i)]->FEqualityGene));
  }
}

TEST(Mutate, StopsAtTheFirstEmptySlot) {
  ProcessStateGuard guard;
  MutationFixture fixture(5, 5, 3);
  auto taken = fixture.population.Take(2);
  RandSeed(600);
  Mutate(fixture.population, 0.0);
  EXPECT_EQ(ProcessRandom.State(), StateAfter(600, 2));
  for (int i = 3; i < 5; ++i) FillGenes(*fixture.population.Get(i));
  Mutate(fixture.population, 1.0);
  for (int i = 3; i < 5; ++i) {
    for (int k = 0; k < fixture.population.Get(i)->ProductGene.Count; ++k) {
      EXPECT_EQ(fixture.population.Get(i)->ProductGene.Entries[k].Value, kFiller);
    }
  }
}

}  // namespace
