// RunFirstWinner: closed forms first, then rounds of bounded attempts.
//
// A round gives every lattice not yet settled one attempt of kFirstBudget x
// 2^round search nodes, the values tried in an order of the round's own (the
// usual order in round 0). Threads take the attempts in turn from a shared
// cursor. The total effort is at most about twice that of the last round, and
// every lattice is eventually searched whole, so up to 8 elements the answer
// is exact.

#include "finder/FirstWinner.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "classes/AlgebraClass.h"
#include "finder/AlgebraSearch.h"
#include "finder/KnownAlgebras.h"
#include "finder/LatticeConstructions.h"
#include "finder/Lattices.h"
#include "finder/RunClock.h"

namespace {

constexpr uint64_t kFirstBudget = 2000;  // search nodes per attempt in round 0
constexpr int kLatticesMadeOnDemand = 160;

struct SearchSpace {
  std::vector<FiniteLattice> lattices;
  std::string description;
  bool holds_every_winner = false;  // every lattice of the size that may carry a winner
};

bool NeedsNonChain(const SearchSettings& s) {
  return s.OptionalWeight > 0 && (s.WantNonLinear || (s.MaximumEnabled && s.WantNonPrelinear));
}

SearchSpace SpaceFor(const SearchSettings& s) {
  const int n = s.ElementCount;
  const std::string size = std::to_string(n) + " elements";
  SearchSpace space;
  const bool no_chain = NeedsNonChain(s);
  if (s.OptionalWeight > 0 && s.WantLinear && !s.WantNonLinear) {
    space.lattices.push_back(ChainLattice(n));
    space.description = "the chain of " + size + " (only the chain is linear)";
    space.holds_every_winner = true;
    return space;
  }
  if (n <= kQuickLatticeLimit) {
    std::vector<FiniteLattice> all = LatticesUpToIsomorphism(n);
    for (FiniteLattice& lattice : all) {
      if (!(no_chain && lattice.chain)) space.lattices.push_back(std::move(lattice));
    }
    space.description = "every lattice of " + size;
    space.holds_every_winner = true;
    return space;
  }
  if (!no_chain) space.lattices.push_back(ChainLattice(n));
  const std::vector<NamedLattice> made = ConstructedLattices(n, kLatticesMadeOnDemand);
  for (const NamedLattice& named : made) space.lattices.push_back(named.Lattice);
  space.description = (no_chain ? std::string() : std::string("the chain and ")) + std::to_string(made.size()) +
                      " lattices of " + size + " made from smaller ones";
  return space;
}

FoundClass FoundOf(std::shared_ptr<TEQAlgebra> algebra) {
  FoundClass found;
  found.Class = ClassifyAlgebra(*algebra);
  found.Labelled = InnerPermutations(algebra->Size) / found.Class.Automorphisms;
  found.Algebra = std::move(algebra);
  return found;
}

// The first known algebra that is a winner, delta tried as the table has it,
// then as the identity.
std::shared_ptr<TEQAlgebra> KnownWinner(int n, const std::function<bool()>& should_end, std::string& recipe) {
  for (const TableAlgebra& table : KnownCandidates(n)) {
    if (should_end()) return nullptr;
    recipe = table.Recipe;
    if (auto winner = WinnerOf(table)) return winner;
    if (Settings.DeltaEnabled) {
      std::vector<uint8_t> identity(n);
      for (int x = 0; x < n; ++x) identity[x] = static_cast<uint8_t>(x);
      recipe = table.Recipe + ", delta the identity";
      if (auto winner = WinnerOf(table, identity)) return winner;
    }
  }
  return nullptr;
}

// A product A x B of n elements: A a first winner of a few elements under
// the same settings (found by this search, briefly), B a known algebra that
// satisfies the required laws. A law broken in A stays broken in the
// product, so forbidden properties carry over; the evaluation judges the rest.
std::shared_ptr<TEQAlgebra> ProductWinner(const FinderOptions& options, double seconds_left,
                                          const std::atomic<bool>& stop, std::string& recipe) {
  const SearchSettings settings = Settings;
  const int n = settings.ElementCount;
  SearchSettings relaxed = settings;  // what the second factor must satisfy
  relaxed.WantNonGoodness = relaxed.WantNonInvolutive = relaxed.WantNonSemiSeparated = false;
  relaxed.WantNonSeparated = relaxed.WantNonResiduated = relaxed.WantNonCommutative = false;
  relaxed.WantNonLinear = relaxed.WantNonLattice = relaxed.WantNonPrelinear = false;
  relaxed.ColorfulnessFEq = relaxed.ColorfulnessProd = 0;
  const RunClock clock(0);
  for (int a = kQuickLatticeLimit; a >= 2; --a) {
    const double left = seconds_left - clock.Seconds();
    if (n % a != 0 || n / a < 2 || stop.load() || left <= 0) continue;
    FinderOptions small = options;
    small.Settings.ElementCount = a;
    small.TimeLimit = std::min(left, 3.0);
    std::shared_ptr<const TEQAlgebra> factor;
    RunFirstWinner(small, [&](const FoundClass& found) { factor = found.Algebra; }, {}, stop);
    if (!factor) continue;
    std::optional<TableAlgebra> left_tables;
    {
      SearchSettings at_a = settings;
      at_a.ElementCount = a;
      const ScopedSettings scoped(at_a);
      left_tables = TablesOf(*factor);
    }
    if (!left_tables) continue;
    for (const TableAlgebra& right : KnownCandidates(n / a)) {
      relaxed.ElementCount = n / a;
      bool fits = false;
      {
        const ScopedSettings scoped(relaxed);
        fits = WinnerOf(right) != nullptr;
      }
      if (!fits) continue;
      const TableAlgebra product = ProductAlgebra(*left_tables, right);
      if (auto winner = WinnerOf(product)) {
        recipe = product.Recipe;
        return winner;
      }
    }
  }
  return nullptr;
}

// Hands out the attempts: every unsettled lattice once per round, in order.
class AttemptCursor {
 public:
  explicit AttemptCursor(int lattices) : settled_(lattices, 0), open_(lattices) {}

  bool Next(int& lattice, int& round) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (open_ == 0) return false;
    for (;;) {
      if (cursor_ == static_cast<int>(settled_.size())) {
        cursor_ = 0;
        ++round_;
      }
      const int candidate = cursor_++;
      if (!settled_[candidate]) {
        lattice = candidate;
        round = round_;
        return true;
      }
    }
  }
  void Settle(int lattice) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!settled_[lattice]) --open_;
    settled_[lattice] = 1;
  }
  int Open() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return open_;
  }
  int Round() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return round_;
  }

 private:
  std::mutex mutex_;
  std::vector<char> settled_;
  int open_ = 0;
  int cursor_ = 0;
  int round_ = 0;
};

}  // namespace

FinderSummary RunFirstWinner(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop) {
  const RunStart start(options.Settings, options.TimeLimit);
  const RunClock& clock = start.clock;
  const SearchSettings& settings = start.settings;
  const int n = settings.ElementCount;
  FinderSummary summary;
  if (!start.SizeInRange()) return summary;
  const auto finish = [&](std::shared_ptr<TEQAlgebra> winner, const std::string& searched) {
    summary.Searched = searched;
    summary.Seconds = clock.Seconds();
    if (winner) {
      FoundClass found = FoundOf(std::move(winner));
      summary.Classes = 1;
      summary.Labelled = found.Labelled;
      summary.WhyIncomplete = "stopped at the first winner";
      if (onClass) onClass(found);
    }
    return summary;
  };

  // No algebra attains more values than it has elements.
  if (settings.OptionalWeight > 0 && (settings.ColorfulnessFEq > n || settings.ColorfulnessProd > n)) {
    summary.Complete = true;
    return finish(nullptr, "no lattice: a colourfulness target exceeds " + std::to_string(n) + " elements");
  }
  const auto tell = [&](const std::string& note) {
    if (!onProgress) return;
    FinderProgress progress;
    progress.Total = 0;
    progress.Seconds = clock.Seconds();
    progress.Note = note;
    onProgress(progress);
  };
  tell("algebras known in closed form");
  std::string recipe;
  if (auto winner = KnownWinner(n, [&]() { return stop.load() || clock.OutOfTime(); }, recipe)) {
    return finish(std::move(winner), "algebras known in closed form (the winner: " + recipe + ")");
  }

  if (n > kQuickLatticeLimit) {
    tell("products of a smaller winner and a known algebra");
    const double budget = options.TimeLimit > 0 ? (options.TimeLimit - clock.Seconds()) / 2 : 4.0;
    if (auto winner = ProductWinner(options, budget, stop, recipe)) {
      return finish(std::move(winner), "products of a smaller winner and a known algebra (the winner: " + recipe + ")");
    }
  }

  const SearchSpace space = SpaceFor(settings);
  const int lattice_count = static_cast<int>(space.lattices.size());
  AttemptCursor cursor(lattice_count);
  std::atomic<bool> cancel{false};
  std::mutex mutex;
  std::condition_variable changed;
  int winner_lattice = -1;
  std::vector<uint8_t> winner_cells;

  int threads = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
  threads = std::max(1, std::min(threads, std::max(1, lattice_count)));
  std::vector<std::thread> workers;
  for (int t = 0; t < threads && lattice_count > 0; ++t) {
    workers.emplace_back([&]() {
      const ScopedSettings worker_settings(settings);
      std::vector<std::unique_ptr<AlgebraSearch>> searches(lattice_count);
      int lattice = 0, round = 0;
      while (!cancel.load() && cursor.Next(lattice, round)) {
        auto& search = searches[lattice];
        if (!search) search = std::make_unique<AlgebraSearch>(space.lattices[lattice], settings, 0);
        search->SetNodeBudget(kFirstBudget << std::min(round, 40));
        search->VaryValueOrder(round == 0 ? 0 : 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(round) + lattice);
        const bool ran = search->RunUnit(0, cancel, [&](const SearchWinner& winner) {
          const std::lock_guard<std::mutex> lock(mutex);
          if (winner_lattice < 0) {
            winner_lattice = lattice;
            winner_cells = winner.Cells;
          }
          cancel.store(true);
          return false;
        });
        if (ran && !search->BudgetSpent() && !cancel.load()) cursor.Settle(lattice);
        changed.notify_all();
      }
      changed.notify_all();
    });
  }

  std::string why;
  auto last_progress = std::chrono::steady_clock::now();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait_for(lock, std::chrono::milliseconds(20));
      if (winner_lattice >= 0) break;
    }
    if (cursor.Open() == 0) break;
    if (stop.load()) {
      why = "stopped";
      break;
    }
    if (clock.OutOfTime()) {
      why = "time limit";
      break;
    }
    if (onProgress && std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) {
      last_progress = std::chrono::steady_clock::now();
      FinderProgress progress;
      progress.Total = lattice_count;
      progress.Done = lattice_count - cursor.Open();
      progress.Seconds = clock.Seconds();
      progress.Note = "round " + std::to_string(cursor.Round() + 1) + " over " + space.description + ", " +
                      std::to_string(lattice_count - cursor.Open()) + " of " + std::to_string(lattice_count) +
                      " lattices settled";
      onProgress(progress);
    }
  }
  cancel.store(true);
  changed.notify_all();
  for (std::thread& worker : workers) worker.join();

  if (winner_lattice >= 0) {
    AlgebraSearch builder(space.lattices[winner_lattice], settings, 0);
    std::shared_ptr<TEQAlgebra> algebra = builder.BuildRepresentative(winner_cells);
    return finish(std::move(algebra), space.description);
  }
  summary.Searched = space.description;
  summary.Seconds = clock.Seconds();
  if (!why.empty()) {
    summary.WhyIncomplete = why;
  } else if (!space.holds_every_winner) {
    summary.WhyIncomplete = "lattices of more than " + std::to_string(kQuickLatticeLimit) +
                            " elements are not all searched";
  } else {
    summary.Complete = true;
  }
  return summary;
}
