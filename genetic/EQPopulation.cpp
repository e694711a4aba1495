// Population storage, ranking, evaluation and the winners' index.

#include "genetic/EQPopulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "genetic/EvaluationPool.h"
#include "model/MessagePump.h"
#include "model/Settings.h"

namespace {

struct SortKey {
  double fitness;  // captured before the sort starts
  int slot;
};

// The ranking test of CompareFitness on captured values: b goes before a
// exactly when b - a, rounded to a double, is positive. A NaN fitness ranks
// last, so the order stays a strict weak ordering whatever the values.
bool Fitter(const SortKey& b, const SortKey& a) {
  PumpMessages();
  return b.fitness - a.fitness > 0.0;
}

// Bottom-up merge sort: stable (on a tie the left run goes first), with the
// scratch buffers reused from sort to sort, so ranking allocates nothing once
// the buffers have grown to the population size.
void StableRank(std::vector<SortKey>& keys, std::vector<SortKey>& buffer) {
  const size_t n = keys.size();
  buffer.resize(n);
  std::vector<SortKey>* from = &keys;
  std::vector<SortKey>* to = &buffer;
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t left = 0; left < n; left += 2 * width) {
      const size_t middle = std::min(left + width, n);
      const size_t right = std::min(left + 2 * width, n);
      size_t i = left, j = middle, k = left;
      while (i < middle && j < right) {
        (*to)[k++] = Fitter((*from)[j], (*from)[i]) ? (*from)[j++] : (*from)[i++];
      }
      while (i < middle) (*to)[k++] = (*from)[i++];
      while (j < right) (*to)[k++] = (*from)[j++];
    }
    std::swap(from, to);
  }
  if (from != &keys) keys.swap(buffer);
}

// Scratch buffers for ranking, reused from sort to sort. A sort can be
// re-entered through the message pump (a handler that resets the search
// ranks a new population), so a nested sort works on buffers of its own.
struct SortScratch {
  std::vector<SortKey> keys;
  std::vector<SortKey> buffer;
  std::vector<std::unique_ptr<TEQAlgebra>> slots;
  bool busy = false;
};

class ScratchLease {
 public:
  ScratchLease() {
    thread_local SortScratch shared;
    if (!shared.busy) {
      shared.busy = true;
      scratch_ = &shared;
    } else {
      own_ = std::make_unique<SortScratch>();
      scratch_ = own_.get();
    }
  }
  ~ScratchLease() {
    if (!own_) scratch_->busy = false;
  }
  ScratchLease(const ScratchLease&) = delete;
  ScratchLease& operator=(const ScratchLease&) = delete;
  SortScratch& operator*() const { return *scratch_; }

 private:
  SortScratch* scratch_ = nullptr;
  std::unique_ptr<SortScratch> own_;
};

}  // namespace

void TEQPopulation::Pack() {
  members_.erase(std::remove(members_.begin(), members_.end(), nullptr), members_.end());
}

void TEQPopulation::Sort() {
  const ScratchLease lease;
  SortScratch& scratch = *lease;
  std::vector<SortKey>& keys = scratch.keys;
  keys.clear();
  for (int i = 0; i < Count(); ++i) {
    const TEQAlgebra* member = members_[static_cast<size_t>(i)].get();
    double fitness = member != nullptr ? member->Fitness : -std::numeric_limits<double>::infinity();
    if (std::isnan(fitness)) fitness = -std::numeric_limits<double>::infinity();
    keys.push_back({fitness, i});
  }
  StableRank(keys, scratch.buffer);

  // Apply the permutation through the reused buffer of slots.
  std::vector<std::unique_ptr<TEQAlgebra>>& slots = scratch.slots;
  slots.resize(members_.size());
  for (size_t k = 0; k < keys.size(); ++k) slots[k] = std::move(members_[static_cast<size_t>(keys[k].slot)]);
  for (size_t k = 0; k < keys.size(); ++k) members_[k] = std::move(slots[k]);
}

void TEQPopulation::OfferWinner(const TEQAlgebra& member, bool remove_equal, TEQPopulation* winners) const {
  if (winners == nullptr || winners == this) return;
  if (member.Fitness == 1.0 && remove_equal && !winners->HoldsCanonicalText(member.CanonicalText)) {
    winners->CollectWinner(member);
  }
}

// Headless, a generation this small is evaluated faster on the calling
// thread alone than shared out: waking a worker costs more than it saves
// (5 elements with 180 members ran about 7 % slower on two threads). The
// measure is the tuples of the four-variable laws, which dominate an
// evaluation. With a window the workers always evaluate, so the calling
// thread keeps handling events.
bool TEQPopulation::WorthSharing() const {
  constexpr int64_t kSharedTuples = 300'000;
  if (InstalledMessagePump != nullptr) return true;
  int64_t tuples = 0;
  for (const auto& member : members_) {
    if (member == nullptr) continue;
    const int64_t n = member->Size;
    tuples += n * n * n * n;
    if (tuples >= kSharedTuples) return true;
  }
  return false;
}

void TEQPopulation::EvaluateMembers(TEQPopulation* winners, EvaluationPool* pool) {
  evaluated_ = 0;
  const int threads = Settings.Threads;
  if (pool != nullptr && threads > 1 && !pool->Busy() && WorthSharing()) {
    EvaluateInBatches(winners, *pool, threads);
    return;
  }
  // Count is read on every pass: the pump never adds members here, but a
  // bound taken once would be no safer.
  for (int i = 0; i < Count(); ++i) {
    TEQAlgebra* member = members_[static_cast<size_t>(i)].get();
    if (member == nullptr) continue;
    member->UpdateFitness();
    ++evaluated_;
    PumpMessages();
    OfferWinner(*member, Settings.RemoveEqualMembers, winners);
  }
}

// Headless the calling thread evaluates beside threads - 1 workers, in one
// batch. With a window the calling thread keeps its events flowing while
// `threads` workers evaluate, in batches of about kBatchTime each, so a
// changed setting (the thread count included) is taken up soon and the
// progress advances steadily.
void TEQPopulation::EvaluateInBatches(TEQPopulation* winners, EvaluationPool& pool, int threads) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kBatchTime = std::chrono::milliseconds(20);
  std::vector<TEQAlgebra*> order;
  order.reserve(members_.size());
  for (const auto& member : members_) {
    if (member != nullptr) order.push_back(member.get());
  }
  const int total = static_cast<int>(order.size());
  const bool window = InstalledMessagePump != nullptr;
  int batch = window ? 4 * threads : total;
  for (int start = 0; start < total;) {
    const int size = std::min(batch, total - start);
    const SearchSettings block = Settings;
    threads = std::clamp(block.Threads, 1, kMostThreads);
    const int workers = window ? threads : threads - 1;
    const Clock::time_point began = Clock::now();
    pool.UpdateFitness(order.data() + start, size, block, workers, !window, window ? &PumpMessages : nullptr);
    const Clock::duration took = Clock::now() - began;
    for (int i = start; i < start + size; ++i) {
      OfferWinner(*order[static_cast<size_t>(i)], block.RemoveEqualMembers, winners);
    }
    start += size;
    evaluated_ = start;
    PumpMessages();
    // Next batch sized from this one's pace, at least two members a thread.
    const double per_member = std::chrono::duration<double>(took).count() / size;
    const double fits = per_member > 0 ? std::chrono::duration<double>(kBatchTime).count() / per_member : total;
    batch = static_cast<int>(std::clamp<double>(fits, 2.0 * threads, std::max(total, 1)));
  }
}

bool TEQPopulation::HoldsCanonicalText(const std::string& text) {
  if (indexed_count_ != Count()) RebuildCanonicalIndex();
  return canonical_index_.count(text) != 0;
}

void TEQPopulation::AddWinnerCopy(const TEQAlgebra& member) { AppendWinner(member, ClassifyAlgebra(member)); }

bool TEQPopulation::CollectWinner(const TEQAlgebra& member) {
  if (!Settings.OnePerClass) {
    AddWinnerCopy(member);
    return true;
  }
  if (left_out_.count(member.CanonicalText) != 0) return false;
  if (classified_count_ != Count()) RebuildClassIndex();
  const AlgebraClass algebra_class = ClassifyAlgebra(member);
  if (first_of_class_.count(algebra_class.Key) != 0) {
    left_out_.insert(member.CanonicalText);
    return false;
  }
  AppendWinner(member, algebra_class);
  return true;
}

void TEQPopulation::AppendWinner(const TEQAlgebra& member, const AlgebraClass& algebra_class) {
  if (indexed_count_ != Count()) RebuildCanonicalIndex();
  if (classified_count_ != Count()) RebuildClassIndex();
  auto copy = std::make_unique<TEQAlgebra>();
  copy->CopyFrom(&member);
  copy->CanonicalText = member.CanonicalText;
  canonical_index_.insert(copy->CanonicalText);
  members_.push_back(std::move(copy));
  indexed_count_ = Count();
  RecordClass(algebra_class);
  classified_count_ = Count();
}

void TEQPopulation::RecordClass(const AlgebraClass& algebra_class) const {
  const int index = static_cast<int>(classes_.size());
  const int first = first_of_class_.emplace(algebra_class.Key, index).first->second;
  classes_.push_back({algebra_class.Id, algebra_class.Automorphisms, first});
}

const WinnerClass* TEQPopulation::ClassOfWinner(int i) const {
  if (classified_count_ != Count()) RebuildClassIndex();
  if (Get(i) == nullptr) return nullptr;
  return &classes_[static_cast<size_t>(i)];
}

int TEQPopulation::ClassCount() const {
  if (classified_count_ != Count()) RebuildClassIndex();
  return static_cast<int>(first_of_class_.size());
}

void TEQPopulation::RebuildClassIndex() const {
  classes_.clear();
  first_of_class_.clear();
  for (const auto& member : members_) {
    if (member != nullptr) {
      RecordClass(ClassifyAlgebra(*member));
    } else {
      classes_.push_back({});
    }
  }
  classified_count_ = Count();
}

// Only needed when members were added or removed other than through
// AddWinnerCopy; then the index is made complete again from the members.
void TEQPopulation::RebuildCanonicalIndex() {
  canonical_index_.clear();
  for (const auto& member : members_) {
    if (member != nullptr) canonical_index_.insert(member->CanonicalText);
  }
  indexed_count_ = Count();
}
