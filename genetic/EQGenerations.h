#pragma once
// TEQGenerations: the search driver, one generation per Step.
//
// Ownership rule for callers: every population is handed out as a
// PopulationPtr. The driver drops its own reference when it replaces a
// population (Step, Reset), but a population lives on as long as anyone still
// holds it, so a window that browses one can never see it freed under its
// feet. Members move only from the population being replaced into its
// successor (carry-over), which the driver keeps as FCurrent until the next
// Step; a raw pointer to a member is therefore safe until the caller re-points
// after that next Step or Reset returns. Callers must re-point after each
// Step and Reset.

#include <cstdint>
#include <functional>
#include <memory>

#include "EQPopulation.h"

// The state of the search that the window and the statistics read.
struct GAStatus {
  bool GAReady = false;  // a first generation exists for the current element count and genes
  int32_t ChildrenToMake = 0;
  int32_t GenerationNumber = 0;
  double BestFitness = 0.0;
  double MedianFitness = 0.0;
  double WorstFitness = 0.0;
};

inline GAStatus GA;

class TEQGenerations {
 public:
  // Stores both values, then performs Reset.
  TEQGenerations(int32_t element_count, int32_t population_limit);

  int32_t FElementCount = 0;
  int32_t FPopulationLimit = 0;

  // Discards every population and builds, evaluates and ranks a new random one.
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

 private:
  void PublishStatistics(const TEQPopulation& population);

  PopulationPtr current_;
  PopulationPtr latest_;
  PopulationPtr winners_;
  std::weak_ptr<TEQPopulation> first_;
  int32_t generation_ = 0;
  int32_t populations_made_ = 0;
  std::function<void()> reset_listener_;
};
