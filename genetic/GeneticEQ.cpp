// The genetic operators: random filling, rank selection, crossover, mutation
// and duplicate removal.

#include "genetic/GeneticEQ.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "model/MessagePump.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "model/ValueRules.h"

namespace {

// Gene slots in play, held to the five genes there are, so a settings block
// out of step can never make a slot loop run away.
int SlotCount() { return std::clamp(Settings.GeneCount, 1, 5); }

int ClampedLength(int32_t count) { return std::clamp(count, 0, kMaxGeneEntries); }

// --- Duplicate removal ------------------------------------------------------

// Members count as equal when their fitness values are equal (==, so 0.0 and
// -0.0 agree and a NaN equals nothing) and their canonical texts are equal.
bool EqualMembers(const TEQAlgebra& a, const TEQAlgebra& b) {
  return a.Fitness == b.Fitness && a.CanonicalText == b.CanonicalText;
}

uint64_t FitnessBits(double fitness) {
  if (fitness == 0.0) fitness = 0.0;  // one hash for both zeros
  uint64_t bits = 0;
  std::memcpy(&bits, &fitness, sizeof bits);
  return bits;
}

size_t MemberHash(const TEQAlgebra& member) {
  const size_t text_hash = std::hash<std::string_view>{}(member.CanonicalText);
  return text_hash ^ (FitnessBits(member.Fitness) * 0x9E3779B97F4A7C15ull);
}

// Open-addressing table of slot numbers (-1 empty), reused between calls. A
// removal re-entered through the message pump gets a table of its own.
class HashSlotsLease {
 public:
  HashSlotsLease() {
    if (!shared_busy_) {
      shared_busy_ = true;
      table_ = &shared_;
    } else {
      table_ = &own_;
    }
  }
  ~HashSlotsLease() {
    if (table_ == &shared_) shared_busy_ = false;
  }
  HashSlotsLease(const HashSlotsLease&) = delete;
  HashSlotsLease& operator=(const HashSlotsLease&) = delete;
  std::vector<int32_t>& operator*() const { return *table_; }

 private:
  static thread_local std::vector<int32_t> shared_;
  static thread_local bool shared_busy_;
  std::vector<int32_t>* table_ = nullptr;
  std::vector<int32_t> own_;
};

thread_local std::vector<int32_t> HashSlotsLease::shared_;
thread_local bool HashSlotsLease::shared_busy_ = false;

// --- Rank selection ---------------------------------------------------------

// The ranks m, m-1, ... summed over the first i+1 of them: (i+1)m - i(i+1)/2.
int64_t RankPrefix(int64_t m, int64_t i) { return (i + 1) * m - i * (i + 1) / 2; }

}  // namespace

int GeneOfSlot(int slot) { return slot == 4 && !Settings.DeltaEnabled ? kMaximumGene : slot; }

void FillRandom(TEQPopulation& population, int32_t count, int32_t n) {
  population.FElementCount = n;
  for (int32_t i = 0; i < count; ++i) {
    auto member = std::make_unique<TEQAlgebra>();
    member->BuildRandom(n);
    population.Add(std::move(member));
  }
}

void FillRandomUnevaluated(TEQPopulation& population, int32_t count, int32_t n) {
  population.FElementCount = n;
  for (int32_t i = 0; i < count; ++i) {
    auto member = std::make_unique<TEQAlgebra>();
    member->DrawRandom(n);
    population.Add(std::move(member));
    PumpMessages();
  }
}

// One pass in slot order keeps the first member of each class of equal
// members: exactly what comparing every later slot with every earlier
// survivor keeps, since equality of members is an equivalence (NaN fitness
// aside, which equals nothing and always survives). Expected cost: one hash
// and about one text comparison per member.
void RemoveEqual(TEQPopulation& population) {
  const int count = population.Count();
  const HashSlotsLease lease;
  std::vector<int32_t>& table = *lease;
  size_t capacity = 16;
  while (capacity < 2 * static_cast<size_t>(count)) capacity *= 2;
  table.assign(capacity, -1);
  const size_t mask = capacity - 1;

  for (int i = 0; i < count; ++i) {
    PumpMessages();
    const TEQAlgebra* member = population.Get(i);
    if (member == nullptr) continue;
    if (std::isnan(member->Fitness)) continue;  // equal to nothing, never stored
    size_t at = MemberHash(*member) & mask;
    bool duplicate = false;
    while (table[at] >= 0) {
      const TEQAlgebra* kept = population.Get(table[at]);
      if (kept != nullptr && EqualMembers(*kept, *member)) {
        duplicate = true;
        break;
      }
      at = (at + 1) & mask;
    }
    if (duplicate) {
      population.Free(i);
    } else {
      table[at] = i;
    }
  }
  population.Pack();
}

// The loop "for k := m downto 1: sum += k; stop when r < sum" returns the
// smallest i with r < RankPrefix(m, i); that i is found from the quadratic's
// root and corrected by integer steps, so the result is exactly the loop's
// at constant cost.
int32_t RankSelect(int32_t m) {
  const int64_t total = static_cast<int64_t>(m) * (m + 1) / 2;
  const int32_t range = m > 0 ? static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX)) : 0;
  const int64_t r = Random(range);
  if (m <= 0) return 0;
  // With t = i + 1, RankPrefix > r reads t(2m + 1 - t) > 2r: t lies just
  // above the smaller root of t^2 - (2m + 1)t + 2r.
  const double b = 2.0 * m + 1.0;
  const double estimate = (b - std::sqrt(b * b - 8.0 * static_cast<double>(r))) / 2.0 - 1.0;
  int64_t i = std::clamp<int64_t>(static_cast<int64_t>(estimate), 0, m - 1);
  while (i > 0 && RankPrefix(m, i - 1) > r) --i;
  while (i < m - 1 && RankPrefix(m, i) <= r) ++i;
  return static_cast<int32_t>(i);
}

std::unique_ptr<TEQAlgebra> CrossoverChild(const TEQAlgebra& parent1, const TEQAlgebra& parent2, double share,
                                           int k) {
  const int gene = GeneOfSlot(k / 2 + 1);
  const bool a_child = k % 2 == 0;
  auto child = std::make_unique<TEQAlgebra>();
  child->CopyFrom(a_child ? &parent1 : &parent2);
  child->CopyGenePrefixFrom(a_child ? &parent2 : &parent1, gene, share);
  return child;
}

void Crossover(const TEQAlgebra& parent1, const TEQAlgebra& parent2, TEQPopulation& target) {
  const double share = Random();
  const int children = 2 * SlotCount();
  for (int k = 0; k < children; ++k) target.Add(CrossoverChild(parent1, parent2, share, k));
}

void Mutate(TEQPopulation& population, double rate) {
  for (int i = 0; i < population.Count(); ++i) {
    TEQAlgebra* member = population.Get(i);
    if (member == nullptr) break;
    if (!(Random() < rate)) continue;
    const int gene = GeneOfSlot(Random(SlotCount()) + 1);
    const int32_t n = member->Size;
    if (gene == kDeltaGene) {
      const int length = ClampedLength(member->DeltaGene.Count);
      const int j = Random(length);
      if (j >= length) continue;  // an empty list has no entry to change
      SingleEntry& entry = member->DeltaGene.Entries[static_cast<size_t>(j)];
      entry.Value = DeltaRule(n, entry.X);
      continue;
    }
    PairGene* list = member->PairGeneByNumber(gene);
    if (list == nullptr) continue;
    const int length = ClampedLength(list->Count);
    const int j = Random(length);
    if (j >= length) continue;
    PairEntry& entry = list->Entries[static_cast<size_t>(j)];
    switch (gene) {
      case kInfimumGene: entry.Value = InfimumRule(n, entry.X, entry.Y); break;
      case kProductGene: entry.Value = ProductRule(n, entry.X, entry.Y); break;
      case kFEqualityGene: entry.Value = EqualityRule(n, entry.X, entry.Y); break;
      default: entry.Value = member->Join(n, entry.X, entry.Y); break;
    }
  }
}
