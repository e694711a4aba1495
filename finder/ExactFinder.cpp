// RunExactFinder: the lattices of the size, a plan of work units (split by
// an estimate of their work, see WorkPlan), worker threads taking units in
// plan order, and the calling thread handing out the classes in unit order,
// so the output is the same for every thread count. A unit still running
// when a thread runs out of work hands its untried branches back to the
// pool; its pieces are put back in search order when the unit is complete.
// Part K of N takes the units dealt to it: in search order, each unit goes
// to the part of least estimated work so far. Counting keeps only a sum per unit.

#include "finder/ExactFinder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "finder/AlgebraSearch.h"
#include "finder/FirstWinner.h"
#include "finder/Lattices.h"
#include "finder/RunClock.h"
#include "finder/WorkPlan.h"

namespace {

constexpr int64_t kWantedUnits = 256;    // enough units to keep threads busy to the end
constexpr int64_t kUnitsPerPart = 16;    // and enough per part to even out the estimates' errors
constexpr int64_t kWantedUnitsWhenSplit = 1024;  // the same across 4 parts (about a second of planning at 6)
// A counted piece splits itself after this many search nodes (some seconds),
// so a stop loses little and no piece outgrows the others.
constexpr uint64_t kSplitEvery = uint64_t{1} << 26;

struct Piece {
  size_t unit = 0;  // within this part's units
  std::vector<uint8_t> path;
  size_t record = 0;  // counting: its entry in the run's record
};

struct PieceRecord {
  size_t unit = 0;  // within to_run
  RecordedPiece piece;
};

struct PieceResult {
  std::vector<uint8_t> path;
  std::vector<SearchWinner> winners;
  std::vector<AlgebraClass> keys;  // the class key of each winner (not when counting)
};

struct UnitState {
  int pending = 0;  // pieces given out and not yet finished
  bool done = false;
  bool started = false;
  int64_t classes = 0;
  BigCount labelled = 0;
  std::vector<PieceResult> pieces;  // not when counting; in search order once done
};

}  // namespace

FinderSummary RunExactFinder(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop) {
  if (options.Mode == FinderMode::First) return RunFirstWinner(options, onClass, onProgress, stop);
  const RunStart start(options.Settings, options.TimeLimit);
  const RunClock& clock = start.clock;
  const SearchSettings& settings = start.settings;
  const int n = settings.ElementCount;
  FinderSummary summary;
  if (!start.SizeInRange()) return summary;
  const bool counting = options.Mode == FinderMode::Count;

  // Only the chain is linear; above the enumeration limit only the chain is searched.
  const bool linear_only = settings.OptionalWeight > 0 && settings.WantLinear && !settings.WantNonLinear;
  std::vector<FiniteLattice> lattices;
  bool every_lattice = true;
  if (linear_only || n > kLatticeEnumerationLimit) {
    lattices.push_back(ChainLattice(n));
    every_lattice = linear_only;
  } else {
    lattices = LatticesUpToIsomorphism(n);
  }

  int threads = options.Threads > 0 ? options.Threads : static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  // The plan depends on the settings and the part count only.
  const int part_count = options.PartCount < 1 ? 1 : options.PartCount;
  const int part_index = options.PartIndex;
  // A count resumed from recorded pieces needs their search space, not the plan.
  const bool by_pieces = counting && options.ResumedSpace != 0;
  // (Half a second at 11 elements: taken only to check a record or to write one.)
  if (by_pieces) summary.Space = SearchSpaceFingerprint(settings, lattices);
  if (by_pieces && options.ResumedSpace != summary.Space) {
    summary.ResumeRefused = true;
    return summary;
  }
  std::vector<WorkUnit> roots(lattices.size());  // one unit per lattice
  for (size_t l = 0; l < roots.size(); ++l) roots[l].Lattice = static_cast<int>(l);
  std::vector<WorkUnit> plan;
  if (by_pieces && part_count == 1 && options.ResumedPlan == PlanFingerprint(roots, 1)) {
    plan = roots;
  } else {
    const int64_t wanted =
        part_count > 1 ? std::max(kWantedUnitsWhenSplit, kUnitsPerPart * part_count) : kWantedUnits;
    // Parts want their share of units even when the whole is small.
    const int64_t least = part_count > 1 ? kUnitsPerPart * part_count : 1;
    plan = PlanWork(lattices, settings, threads, wanted, least, stop);
    if (by_pieces && options.ResumedPlan != PlanFingerprint(plan, part_count)) {
      if (part_count > 1) {  // the parts of another plan hold other units
        summary.ResumeRefused = true;
        return summary;
      }
      plan = roots;
    }
  }
  summary.Plan = PlanFingerprint(plan, part_count);
  const std::vector<int> part_of = PartsOfUnits(plan, part_count);
  std::vector<int64_t> unit_ids;  // this part's units, as indices into the plan
  std::vector<char> resumed(plan.size(), 0);
  const std::vector<FinishedUnit> no_units;  // a record of pieces names its units as pieces
  for (const FinishedUnit& finished : by_pieces ? no_units : options.Resumed) {
    if (options.ResumedPlan != summary.Plan || finished.Unit < 0 || finished.Unit >= static_cast<int64_t>(plan.size()) ||
        part_of[finished.Unit] != part_index || resumed[finished.Unit]) {
      summary.ResumeRefused = true;
      return summary;
    }
    resumed[finished.Unit] = 1;
  }
  const PartialUnit partial = options.ResumedPartial;
  if (partial.Unit >= 0 && (options.ResumedPlan != summary.Plan || partial.Unit >= static_cast<int64_t>(plan.size()) ||
                            part_of[partial.Unit] != part_index || resumed[partial.Unit] || partial.Classes < 0 ||
                            counting)) {
    summary.ResumeRefused = true;
    return summary;
  }
  for (size_t u = 0; u < plan.size(); ++u) {
    if (part_of[u] == part_index) unit_ids.push_back(static_cast<int64_t>(u));
  }
  summary.Units = static_cast<int64_t>(unit_ids.size());

  // Counting: what the earlier run recorded, unit by unit. The finished units
  // of a record without pieces are pieces done at the units' roots.
  std::vector<UnitWork> unit_work(counting ? unit_ids.size() : 0);
  std::vector<FinishedUnit> earlier;  // the finished units resumed, in plan order
  if (counting) {
    std::vector<RecordedPiece> recorded = options.ResumedPieces;
    if (!by_pieces) {
      for (const FinishedUnit& finished : options.Resumed) {
        const WorkUnit& unit = plan[finished.Unit];
        recorded.push_back({unit.Lattice, unit.Path, true, finished.Classes, finished.Labelled});
      }
    }
    std::unique_ptr<AlgebraSearch> search;
    int search_lattice = -1;
    const auto search_of = [&](int lattice) -> AlgebraSearch& {
      if (lattice != search_lattice) search = std::make_unique<AlgebraSearch>(lattices[lattice], settings, 0);
      search_lattice = lattice;
      return *search;
    };
    if (!WorkOfUnits(plan, unit_ids, std::move(recorded), search_of, unit_work)) {
      summary.ResumeRefused = true;
      return summary;
    }
    for (size_t k = 0; k < unit_ids.size(); ++k) {
      const UnitWork& work = unit_work[k];
      resumed[unit_ids[k]] = work.items.empty() ? 1 : 0;
      if (work.items.empty()) earlier.push_back({unit_ids[k], work.classes, work.labelled});
    }
  } else {
    earlier = options.Resumed;
    std::sort(earlier.begin(), earlier.end(), [](const FinishedUnit& a, const FinishedUnit& b) { return a.Unit < b.Unit; });
  }
  std::vector<size_t> to_run;  // positions in unit_ids still to run
  double total_work = 0, resumed_work = 0;
  for (size_t k = 0; k < unit_ids.size(); ++k) {
    total_work += plan[unit_ids[k]].Estimate;
    if (resumed[unit_ids[k]]) {
      resumed_work += plan[unit_ids[k]].Estimate;
    } else {
      to_run.push_back(k);
    }
  }
  for (const FinishedUnit& finished : earlier) {
    summary.Classes += finished.Classes;
    summary.Labelled += finished.Labelled;
  }

  std::vector<UnitState> states(to_run.size());
  std::vector<PieceRecord> records;  // counting: every piece run or carved here
  for (size_t j = 0; j < to_run.size() && counting; ++j) {
    states[j].classes = unit_work[to_run[j]].classes;
    states[j].labelled = unit_work[to_run[j]].labelled;
  }
  const uint64_t split_every = options.SplitEvery != 0 ? options.SplitEvery : kSplitEvery;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Piece> shared;   // branches handed back by running units
  size_t next_unit = 0;       // the next of to_run to start
  size_t emitted_units = 0;   // units handed out (counting: finished)
  int running = 0;
  std::atomic<bool> share_request{false};
  std::atomic<bool> cancel{false};
  const BigCount permutations = InnerPermutations(n);

  // Workers start at most this many units ahead of the one handed out next,
  // so the representatives waiting for their turn stay few.
  const size_t ahead = counting ? to_run.size() : static_cast<size_t>(4 * threads + 8);
  size_t counted_done = 0;  // counting: units finished

  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&]() {
      const ScopedSettings worker_settings(settings);
      std::unique_ptr<AlgebraSearch> search;  // of one lattice at a time: units come by lattice
      int search_lattice = -1;
      for (;;) {
        Piece piece;
        {
          std::unique_lock<std::mutex> lock(mutex);
          for (;;) {
            if (cancel.load()) return;
            if (!shared.empty()) {
              piece = std::move(shared.front());
              shared.pop_front();
              break;
            }
            if (next_unit < to_run.size() && next_unit < emitted_units + ahead) {
              piece.unit = next_unit;
              states[next_unit].started = true;
              if (counting) {  // the unit's regions left, each a piece
                const std::vector<std::vector<uint8_t>>& items = unit_work[to_run[next_unit]].items;
                const int lattice = plan[unit_ids[to_run[next_unit]]].Lattice;
                states[next_unit].pending = static_cast<int>(items.size());
                for (size_t i = 0; i < items.size(); ++i) {
                  const size_t record = records.size();
                  records.push_back({next_unit, {lattice, items[i], false, 0, 0}});
                  if (i == 0) {
                    piece.path = items[0];
                    piece.record = record;
                  } else {
                    shared.push_back({next_unit, items[i], record});
                  }
                }
              } else {
                piece.path = plan[unit_ids[to_run[next_unit]]].Path;
                states[next_unit].pending = 1;
              }
              ++next_unit;
              break;
            }
            if (next_unit >= to_run.size() && running == 0) {
              changed.notify_all();
              return;
            }
            if (running > 0) share_request.store(true);
            changed.wait(lock);
          }
          ++running;
          share_request.store(false);  // set again only by a thread that finds nothing to do
        }
        const size_t unit = piece.unit;
        const int lattice = plan[unit_ids[to_run[unit]]].Lattice;
        if (lattice != search_lattice) {
          search = std::make_unique<AlgebraSearch>(lattices[lattice], settings, 0);
          search->KeepRepresentatives(!counting);
          search->SplitEvery(counting ? split_every : 0);
          search_lattice = lattice;
        }
        search->ShareWork(&share_request, [&, unit, lattice](std::vector<uint8_t> path) {
          {
            std::lock_guard<std::mutex> lock(mutex);
            ++states[unit].pending;
            size_t record = 0;
            if (counting) {
              record = records.size();
              records.push_back({unit, {lattice, path, false, 0, 0}});
            }
            shared.push_back({unit, std::move(path), record});
          }
          changed.notify_one();
        });
        PieceResult result;
        int64_t classes = 0;
        BigCount labelled = 0;
        const bool finished = search->RunPath(piece.path, cancel, [&](const SearchWinner& winner) {
          ++classes;
          labelled += permutations / winner.Automorphisms;
          if (!counting) {
            SearchWinner kept;
            kept.Cells = winner.Cells;
            kept.Automorphisms = winner.Automorphisms;
            result.winners.push_back(std::move(kept));
            result.keys.push_back(ClassifyAlgebra(*winner.Algebra));
          }
          return true;
        });
        {
          std::lock_guard<std::mutex> lock(mutex);
          --running;
          if (finished) {
            UnitState& state = states[unit];
            state.classes += classes;
            state.labelled += labelled;
            if (counting) {
              RecordedPiece& done = records[piece.record].piece;
              done.Done = true;
              done.Classes = classes;
              done.Labelled = labelled;
            } else {
              result.path = std::move(piece.path);
              state.pieces.push_back(std::move(result));
            }
            if (--state.pending == 0) {
              std::sort(state.pieces.begin(), state.pieces.end(),
                        [](const PieceResult& a, const PieceResult& b) { return a.path < b.path; });
              state.done = true;
              if (counting) ++counted_done;
            }
          }
        }
        changed.notify_all();
      }
    });
  }

  std::unique_ptr<AlgebraSearch> builder;
  int builder_lattice = -1;
  bool ended_early = false;
  auto last_progress = std::chrono::steady_clock::now();
  double done_work = resumed_work;
  const auto report_progress = [&](int64_t classes, BigCount labelled) {
    if (!onProgress) return;
    FinderProgress progress;
    // In units of this part, each weighted by its estimated work.
    const double units = static_cast<double>(unit_ids.size());
    progress.Total = units;
    progress.Done = total_work > 0 ? units * done_work / total_work : units;
    progress.Classes = classes;
    progress.Labelled = labelled;
    progress.Seconds = clock.Seconds();
    onProgress(progress);
  };
  std::vector<char> finished_here(to_run.size(), 0);
  // Counting: the sums of the finished units, the units in any order.
  const auto sum_finished = [&](int64_t& classes, BigCount& labelled) {
    done_work = resumed_work;
    classes = summary.Classes;
    labelled = summary.Labelled;
    for (size_t k = 0; k < to_run.size(); ++k) {
      if (!states[k].done) continue;
      done_work += plan[unit_ids[to_run[k]]].Estimate;
      classes += states[k].classes;
      labelled += states[k].labelled;
    }
  };
  if (counting) {
    std::unique_lock<std::mutex> lock(mutex);
    int64_t classes = 0;
    BigCount labelled = 0;
    while (counted_done < to_run.size() && !stop.load() && !clock.OutOfTime()) {
      changed.wait_for(lock, std::chrono::milliseconds(50));
      if (std::chrono::steady_clock::now() - last_progress < std::chrono::milliseconds(250)) continue;
      last_progress = std::chrono::steady_clock::now();
      sum_finished(classes, labelled);
      if (options.Limit > 0 && classes >= options.Limit) break;  // the finished units hold enough
      lock.unlock();
      report_progress(classes, labelled);
      lock.lock();
    }
    ended_early = counted_done < to_run.size();
    sum_finished(classes, labelled);
    summary.Classes = classes;
    summary.Labelled = labelled;
    for (size_t k = 0; k < to_run.size(); ++k) finished_here[k] = states[k].done ? 1 : 0;
  }
  while (!counting && emitted_units < to_run.size() && !ended_early) {
    std::vector<PieceResult> pieces;
    int lattice_of_unit = 0;
    {
      std::unique_lock<std::mutex> lock(mutex);
      while (!states[emitted_units].done && !stop.load()) {
        changed.wait_for(lock, std::chrono::milliseconds(50));
        if (std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) break;
      }
      if (stop.load() || clock.OutOfTime()) {
        ended_early = true;
        break;
      }
      if (!states[emitted_units].done) {
        lock.unlock();
        last_progress = std::chrono::steady_clock::now();
        report_progress(summary.Classes, summary.Labelled);
        continue;
      }
      const size_t k = emitted_units;
      lattice_of_unit = plan[unit_ids[to_run[k]]].Lattice;
      pieces = std::move(states[k].pieces);
      ++emitted_units;
    }
    changed.notify_all();
    const size_t k = emitted_units - 1;
    if (std::chrono::steady_clock::now() - last_progress > std::chrono::milliseconds(250)) {
      last_progress = std::chrono::steady_clock::now();
      report_progress(summary.Classes, summary.Labelled);
    }
    bool whole_unit = true;
    const int64_t unit_id = unit_ids[to_run[k]];
    // A resumed run does not hand out again what the run it resumes did.
    const int64_t handed_before = unit_id == partial.Unit ? partial.Classes : 0;
    int64_t in_unit = 0;
    for (const PieceResult& piece : pieces) {
      for (size_t w = 0; w < piece.winners.size() && !ended_early; ++w, ++in_unit) {
        const SearchWinner& winner = piece.winners[w];
        if (in_unit < handed_before) {
          ++summary.Classes;
          summary.Labelled += permutations / winner.Automorphisms;
          ++summary.SkippedClasses;
          summary.SkippedLabelled += permutations / winner.Automorphisms;
          continue;
        }
        // One unit may hold many classes: a stop ends the handing out too,
        // and the summary tells how far into the unit it came.
        if (stop.load()) {
          ended_early = true;
          whole_unit = false;
          break;
        }
        FoundClass found;
        found.Index = summary.Classes;
        found.Unit = unit_id;
        found.InUnit = in_unit;
        // Representatives wait as cells and become algebras only when handed out.
        if (lattice_of_unit != builder_lattice) {
          builder = std::make_unique<AlgebraSearch>(lattices[lattice_of_unit], settings, 0);
          builder_lattice = lattice_of_unit;
        }
        found.Algebra = builder->BuildRepresentative(winner.Cells);
        if (!found.Algebra) continue;  // never happens: the leaf judged the same tables
        found.Class = piece.keys[w];
        found.Class.Automorphisms = winner.Automorphisms;
        found.Labelled = permutations / winner.Automorphisms;
        ++summary.Classes;
        summary.Labelled += found.Labelled;
        if (onClass) onClass(found);
        if (options.Limit > 0 && summary.Classes >= options.Limit) {
          ended_early = true;
          whole_unit = w + 1 == piece.winners.size() && &piece == &pieces.back();
        }
      }
      if (ended_early) break;
    }
    if (whole_unit) {
      finished_here[k] = 1;
      done_work += plan[unit_ids[to_run[k]]].Estimate;
    } else if (in_unit > 0) {
      summary.Partial = {unit_id, in_unit};
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    cancel.store(true);
  }
  changed.notify_all();
  for (std::thread& worker : workers) worker.join();

  // The finished units in plan order: resumed and run here, with their
  // counts. Counting also leaves the record of its pieces: a finished unit
  // as one piece, an unfinished one as the pieces it holds.
  std::vector<std::vector<const RecordedPiece*>> made(to_run.size());
  for (const PieceRecord& record : records) made[record.unit].push_back(&record.piece);
  size_t e = 0;
  size_t r = 0;
  for (size_t k = 0; k < unit_ids.size(); ++k) {
    const WorkUnit& plan_unit = plan[unit_ids[k]];
    if (resumed[unit_ids[k]]) {
      summary.Finished.push_back(earlier[e]);
      if (counting) summary.Pieces.push_back({plan_unit.Lattice, plan_unit.Path, true, earlier[e].Classes, earlier[e].Labelled});
      ++e;
      continue;
    }
    const size_t mine = r++;
    if (counting && !finished_here[mine]) {  // once started, its pieces replace the open ones recorded
      const std::vector<RecordedPiece>& kept = states[mine].started ? unit_work[k].carried : unit_work[k].recorded;
      summary.Pieces.insert(summary.Pieces.end(), kept.begin(), kept.end());
      for (const RecordedPiece* piece : made[mine]) summary.Pieces.push_back(*piece);
    }
    if (!finished_here[mine]) continue;
    if (counting) summary.Pieces.push_back({plan_unit.Lattice, plan_unit.Path, true, states[mine].classes, states[mine].labelled});
    FinishedUnit unit;
    unit.Unit = unit_ids[k];
    unit.Classes = states[mine].classes;
    unit.Labelled = states[mine].labelled;
    summary.Finished.push_back(unit);
  }
  summary.Complete = !ended_early && every_lattice;
  if (counting && !summary.Complete && summary.Space == 0) summary.Space = SearchSpaceFingerprint(settings, lattices);
  summary.Seconds = clock.Seconds();
  const std::string size = std::to_string(n) + " elements";
  summary.Searched = every_lattice ? (linear_only ? "the chain of " + size + " (only the chain is linear)"
                                                  : "every lattice of " + size)
                                   : "the chain of " + size + " only";
  if (part_count > 1) summary.Searched += ", part " + std::to_string(part_index + 1) + " of " + std::to_string(part_count);
  if (stop.load()) {
    summary.WhyIncomplete = "stopped";
  } else if (clock.OutOfTime()) {
    summary.WhyIncomplete = "time limit";
  } else if (ended_early) {
    summary.WhyIncomplete = "limit of " + std::to_string(options.Limit) + " classes";
  } else if (!every_lattice) {
    summary.WhyIncomplete =
        "lattices of more than " + std::to_string(kLatticeEnumerationLimit) + " elements are not enumerated";
  }
  report_progress(summary.Classes, summary.Labelled);
  return summary;
}
