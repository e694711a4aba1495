// The search driver: Reset, Step and the making of one generation.

#include "genetic/EQGenerations.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>
#include <vector>

#include "genetic/EvaluationPool.h"
#include "genetic/GeneticEQ.h"
#include "model/MessagePump.h"
#include "model/Random.h"
#include "model/Settings.h"

namespace {

int32_t HoldToInt32(long double value) {
  if (std::isnan(value)) return 0;
  constexpr long double kLow = std::numeric_limits<int32_t>::min();
  constexpr long double kHigh = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(value, kLow, kHigh));
}

// One pair of parents with the share drawn for it.
struct PairDraw {
  const TEQAlgebra* parent1;
  const TEQAlgebra* parent2;
  double share;
};

// Builds every child of the drawn pairs on the pool (the copies draw
// nothing) and appends them in Crossover's order.
void MakeChildrenOnPool(const std::vector<PairDraw>& pairs, int per_pair, TEQPopulation& next,
                        EvaluationPool& pool) {
  std::vector<std::unique_ptr<TEQAlgebra>> children(pairs.size() * static_cast<size_t>(per_pair));
  const SearchSettings block = Settings;
  const bool window = InstalledMessagePump != nullptr;
  const int threads = std::clamp(block.Threads, 1, kMostThreads);
  const std::function<void(int)> make = [&](int i) {
    const PairDraw& pair = pairs[static_cast<size_t>(i / per_pair)];
    children[static_cast<size_t>(i)] = CrossoverChild(*pair.parent1, *pair.parent2, pair.share, i % per_pair);
  };
  pool.Run(static_cast<int>(children.size()), make, block, window ? threads : threads - 1, !window,
           window ? &PumpMessages : nullptr);
  for (auto& child : children) next.Add(std::move(child));
}

}  // namespace

int32_t ChildrenTarget(int32_t limit, double ratio) {
  const long double product = static_cast<long double>(limit) * static_cast<long double>(ratio);
  return HoldToInt32(std::trunc(product));
}

int32_t ParentRange(int32_t count, double rate) {
  const long double product = static_cast<long double>(count) * static_cast<long double>(rate);
  // nearbyint rounds in the current mode; ties go to even only in the
  // default one, so the mode is pinned around the call.
  const int mode = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const long double rounded = std::nearbyint(product);
  std::fesetround(mode);
  return std::clamp(HoldToInt32(rounded), 0, std::max(count, 0));
}

TEQGenerations::TEQGenerations(int32_t element_count, int32_t population_limit)
    : FElementCount(element_count), FPopulationLimit(population_limit), pool_(std::make_unique<EvaluationPool>()) {
  Reset();
}

TEQGenerations::~TEQGenerations() = default;

TEQGenerations::ResetProgress TEQGenerations::CurrentResetProgress() const {
  if (!building_) return {};
  return {true, building_->Count(), building_->EvaluatedCount(), building_total_};
}

void TEQGenerations::PublishStatistics(const TEQPopulation& population) {
  const auto fitness_at = [&population](int i) {
    const TEQAlgebra* member = population.Get(i);
    return member != nullptr ? member->Fitness : 0.0;
  };
  const int count = population.Count();
  GA.BestFitness = fitness_at(0);
  GA.MedianFitness = fitness_at(count / 2);
  GA.WorstFitness = fitness_at(count - 1);
}

void TEQGenerations::Reset() {
  // The current population is FLatest after a step and FFirst before one;
  // either way dropping current_ releases the driver's hold on it.
  current_.reset();
  latest_.reset();
  first_.reset();
  populations_made_ = 0;

  auto population = std::make_shared<TEQPopulation>();
  // A first generation is never empty, whatever the settings block holds.
  building_total_ = std::max(Settings.PopulationLimit, 1);
  building_ = population;
  // The draws stay on this thread in their order; each member is evaluated
  // once, below, where the pool can share the work.
  FillRandomUnevaluated(*population, building_total_, FElementCount);
  ++populations_made_;
  first_ = population;
  current_ = population;
  generation_ = 0;

  winners_ = std::make_shared<TEQPopulation>();
  winners_->FElementCount = FElementCount;
  GA.GAReady = true;

  // Local holds: a handler run from the pump cannot free what is evaluated.
  const PopulationPtr winners = winners_;
  population->EvaluateMembers(winners.get(), pool_.get());
  building_.reset();
  population->Sort();

  GA.GenerationNumber = 0;
  PublishStatistics(*population);
  if (reset_listener_) reset_listener_();
}

void TEQGenerations::Step() {
  if (!GA.GAReady) Reset();
  GA.ChildrenToMake = ChildrenTarget(FPopulationLimit, Settings.ChildRatio);

  PopulationPtr previous = current_;
  PopulationPtr next = NextGeneration(*previous);
  latest_ = next;
  ++populations_made_;
  current_ = next;
  previous.reset();  // freed here unless someone else still holds it

  ++generation_;
  GA.GenerationNumber = generation_;
  PublishStatistics(*next);
  PumpMessages();
}

PopulationPtr TEQGenerations::NextGeneration(TEQPopulation& previous) {
  auto next = std::make_shared<TEQPopulation>();
  next->FElementCount = previous.FElementCount;

  // Children by rank selection and crossover. Without parents none can be made.
  const int32_t genes = std::clamp(Settings.GeneCount, 1, 5);
  const int32_t target = GA.ChildrenToMake;
  if (previous.Count() > 0) {
    // On several threads, with children enough to pay for handing them out,
    // the draws are made here in their order and the copies that make the
    // children go to the pool.
    constexpr int32_t kChildrenWorthThePool = 1000;
    const bool on_pool = Settings.Threads > 1 && !pool_->Busy() && target >= kChildrenWorthThePool;
    std::vector<PairDraw> pairs;
    const int32_t m = ParentRange(previous.Count(), Settings.CrossoverRate);
    for (int64_t made = 0; made < target; made += 2 * genes) {
      const int32_t i1 = RankSelect(m);
      const int32_t i2 = RankSelect(m);
      const TEQAlgebra* parent1 = previous.Get(i1);
      const TEQAlgebra* parent2 = previous.Get(i2);
      if (parent1 == nullptr || parent2 == nullptr) break;  // only with empty slots in previous
      if (on_pool) {
        pairs.push_back({parent1, parent2, Random()});
      } else {
        Crossover(*parent1, *parent2, *next);
      }
      PumpMessages();
    }
    if (on_pool) MakeChildrenOnPool(pairs, 2 * genes, *next, *pool_);
  }

  Mutate(*next, Settings.MutationRate);

  // Carry-over: one more than the room left below the limit, so the best of
  // the previous generation survives even when the children fill the limit.
  const int64_t made = next->Count();
  if (Settings.PopulationLimit >= made) {
    const int64_t carry = std::min<int64_t>(Settings.PopulationLimit - made + 1, previous.Count());
    for (int i = 0; i < carry; ++i) {
      if (auto member = previous.Take(i)) next->Add(std::move(member));
    }
  }

  const PopulationPtr winners = winners_;
  next->EvaluateMembers(winners.get(), pool_.get());
  if (Settings.RemoveEqualMembers) RemoveEqual(*next);
  next->Sort();
  return next;
}
