#pragma once
// TEQGenerations: the search driver, one generation per Step.
//
// Ownership rule for callers: every population is handed out as a
// PopulationPtr. The driver drops its own reference when it replaces a
// population (Step, Reset), but a population lives on as long as anyone still
// holds it, so a window that browses one can never see it freed under its
// feet. Step and Reset keep their own references to the populations they work
// on, so even a Reset run from the message pump in the middle of a step frees
// nothing the step still uses (the window defers Reset while a run is active
// all the same, since the step's result would replace the reset's).
//
// Members move only from the population being replaced into its successor
// (carry-over): after a Step the first few slots of the previous population
// are empty (Get returns nullptr), while the moved algebras live on in the new
// FCurrent. A raw pointer to a member therefore stays valid until its
// population is released by every holder; callers re-point after each Step
// and Reset.

#include <cstdint>
#include <functional>
#include <memory>

#include "genetic/EQPopulation.h"

class EvaluationPool;

// The state of the search that the window and the statistics read.
struct GAStatus {
  bool GAReady = false;  // a first generation exists for the current element count and genes
  int32_t ChildrenToMake = 0;  // children target of the step under way
  int32_t GenerationNumber = 0;
  double BestFitness = 0.0;    // FCurrent[0] after the last Reset or Step
  double MedianFitness = 0.0;  // FCurrent[Count / 2]
  double WorstFitness = 0.0;   // FCurrent[Count - 1]
};

inline GAStatus GA;

class TEQGenerations {
 public:
  // Stores both values, then performs Reset.
  TEQGenerations(int32_t element_count, int32_t population_limit);
  ~TEQGenerations();
  TEQGenerations(const TEQGenerations&) = delete;
  TEQGenerations& operator=(const TEQGenerations&) = delete;

  int32_t FElementCount = 0;     // element count of new random populations
  int32_t FPopulationLimit = 0;  // limit for the children target (kept equal to Settings.PopulationLimit)

  // Discards every population and the winners, then builds, evaluates and
  // ranks Settings.PopulationLimit random members of FElementCount elements
  // (at least one), publishes the statistics and calls the reset listener.
  void Reset();
  // Makes one generation (resetting first while GA.GAReady is false).
  void Step();
  // The next generation from a ranked population (members may be moved out of it).
  PopulationPtr NextGeneration(TEQPopulation& previous);

  const PopulationPtr& FCurrent() const { return current_; }
  const PopulationPtr& FLatest() const { return latest_; }  // nullptr before the first step
  const PopulationPtr& FWinners() const { return winners_; }
  PopulationPtr FFirst() const { return first_.lock(); }  // nullptr once freed
  int32_t FGeneration() const { return generation_; }
  int32_t PopulationsMade() const { return populations_made_; }

  // Called at the end of every Reset (the window writes a blank statistics line).
  void SetResetListener(std::function<void()> listener) { reset_listener_ = std::move(listener); }

  // How far the Reset under way is (read from the message pump): members
  // drawn and members evaluated of the first population's total.
  struct ResetProgress {
    bool active = false;
    int32_t built = 0;
    int32_t evaluated = 0;
    int32_t total = 0;
  };
  ResetProgress CurrentResetProgress() const;

 private:
  void PublishStatistics(const TEQPopulation& population);

  PopulationPtr current_;
  PopulationPtr latest_;
  PopulationPtr winners_;
  std::weak_ptr<TEQPopulation> first_;
  int32_t generation_ = 0;
  int32_t populations_made_ = 0;
  std::function<void()> reset_listener_;
  // Evaluates the generations on Settings.Threads threads.
  std::unique_ptr<EvaluationPool> pool_;
  // The first population while a Reset builds and evaluates it.
  PopulationPtr building_;
  int32_t building_total_ = 0;
};

// The children target: Trunc(limit * ratio), the product in extended
// precision (170 for 180 and the double nearest 0.95), held to int32.
int32_t ChildrenTarget(int32_t limit, double ratio);

// The parent range: count * rate in extended precision, rounded to the
// nearest integer with ties to even, held to 0 .. count.
int32_t ParentRange(int32_t count, double rate);
