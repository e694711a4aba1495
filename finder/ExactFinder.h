#pragma once
// The exact finder: every winner under a block of settings (an algebra of
// the program's representation whose fitness is exactly 1), one per
// isomorphism class, or the proof that there is none. The work runs on worker
// threads; the thread that calls RunExactFinder delivers the callbacks, so a
// window calls it from a thread of its own and forwards what it is told.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/AlgebraClass.h"
#include "finder/RecordedWork.h"
#include "model/EQAlgebra.h"
#include "model/Settings.h"

enum class FinderMode {
  All,    // report every class
  First,  // stop at the first winner
  Count,  // count the classes without handing out representatives
};

// A unit of the run's plan that a run finished, with what it found there.
struct FinishedUnit {
  int64_t Unit = 0;  // its index in the plan of the whole run (all parts)
  int64_t Classes = 0;
  BigCount Labelled = 0;
};

// A unit whose first classes a run cut short had handed out already.
struct PartialUnit {
  int64_t Unit = -1;  // its index in the plan; -1: none
  int64_t Classes = 0;
};

struct FinderOptions {
  // Defines a winner: element count, delta, maximum, every required and
  // forbidden property, both colourfulness targets and the optional weight.
  SearchSettings Settings;
  FinderMode Mode = FinderMode::All;
  int64_t Limit = 0;   // stop after this many classes; 0: no limit
  int Threads = 0;     // worker threads; 0: every core
  int PartIndex = 0;   // do only part PartIndex (0-based) of PartCount disjoint parts
  int PartCount = 1;
  double TimeLimit = 0;  // seconds; 0: none. The answer then names what was searched
  // What an earlier run of the same part, cut short, had finished (from its
  // summary): those units are skipped and their counts added. They must
  // belong to the plan named by ResumedPlan, or the run is refused.
  std::vector<FinishedUnit> Resumed;
  uint64_t ResumedPlan = 0;
  // All only: the unit the earlier run was handing out when it stopped; its
  // first Classes are counted again but not handed out.
  PartialUnit ResumedPartial;
  // Count only: the pieces an earlier count recorded and the fingerprint of
  // the search space they belong to (0: the record names finished units
  // only). They must lie in this part's units; under another plan of units a
  // single part resumes them all the same, with one unit per lattice.
  std::vector<RecordedPiece> ResumedPieces;
  uint64_t ResumedSpace = 0;
  uint64_t SplitEvery = 0;  // count: search nodes between a piece's splits; 0: the finder's choice
};

struct FoundClass {
  int64_t Index = 0;  // 0-based, in the finder's order (the same for every thread count)
  std::shared_ptr<const TEQAlgebra> Algebra;  // the representative, evaluated: Fitness 1, CanonicalText set
  AlgebraClass Class;                         // its class key, id and automorphism order
  BigCount Labelled = 1;                      // distinct labelled winners of the class: (n - 2)! / automorphisms
  int64_t Unit = -1;                          // the plan's unit that holds it (All)
  int64_t InUnit = 0;                         // its place among that unit's classes
};

struct FinderProgress {
  double Done = 0;   // work done, out of Total (the finder's own units)
  double Total = 1;
  int64_t Classes = 0;
  BigCount Labelled = 0;
  double Seconds = 0;
  std::string Note;  // what is being searched, when Done/Total cannot tell (First)
};

struct FinderSummary {
  int64_t Classes = 0;
  BigCount Labelled = 0;
  bool Complete = false;  // false when a limit, First or the stop flag ended it
  double Seconds = 0;
  std::string Searched;       // the space searched, e.g. "every lattice of 6 elements"
  std::string WhyIncomplete;  // empty when complete, e.g. "time limit", "stopped at the first winner"
  uint64_t Plan = 0;               // the fingerprint of the run's units (the same for every part)
  int64_t Units = 0;               // this part's units
  std::vector<FinishedUnit> Finished;  // this part's units finished (resumed ones too), in plan order
  bool ResumeRefused = false;      // the resumed units belong to another plan or part: nothing was run
  PartialUnit Partial;             // All cut short within a unit: the classes of it handed out
  int64_t SkippedClasses = 0;      // of the resumed partial unit: counted, not handed out again
  BigCount SkippedLabelled = 0;
  uint64_t Space = 0;                  // count cut short: the fingerprint of the search space
  std::vector<RecordedPiece> Pieces;   // count: every piece of this part's units, to resume from (by path)
};

// Runs the finder. onClass is called once per class in the finder's order
// (not in Count mode); onProgress a few times a second. Returns when the work
// is done, at the limit, at the first winner (First) or soon after stop
// becomes true. Either callback may be empty.
FinderSummary RunExactFinder(const FinderOptions& options, const std::function<void(const FoundClass&)>& onClass,
                             const std::function<void(const FinderProgress&)>& onProgress,
                             const std::atomic<bool>& stop);
