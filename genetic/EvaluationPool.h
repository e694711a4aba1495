#pragma once
// EvaluationPool: worker threads that evaluate the members of one batch
// concurrently. A member's evaluation reads only the member and the settings
// block, and writes only the member, so the order in which members are
// evaluated cannot change any result; everything that depends on order
// (collecting winners, removing duplicates, ranking, every random draw) stays
// with the caller.
//
// Each batch carries a copy of the caller's settings block, which every
// worker installs before it evaluates anything: a setting the caller changes
// while a batch runs applies from the next batch.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "model/EQAlgebra.h"
#include "model/Settings.h"

class EvaluationPool {
 public:
  EvaluationPool() = default;
  ~EvaluationPool();  // stops and joins the workers
  EvaluationPool(const EvaluationPool&) = delete;
  EvaluationPool& operator=(const EvaluationPool&) = delete;

  // Runs UpdateFitness on members[0 .. count) under a copy of settings, on
  // `workers` worker threads (started on first need, kept for later
  // batches). With caller_helps the calling thread evaluates members too,
  // under its own block (settings must be a copy of it); otherwise it calls
  // `idle` (when given) every millisecond or so until the batch is done, so a
  // window keeps handling its events. Should no worker thread start, the
  // caller evaluates everything itself. An exception thrown by an evaluation
  // is rethrown here once the batch has ended.
  void UpdateFitness(TEQAlgebra* const* members, int count, const SearchSettings& settings, int workers,
                     bool caller_helps, void (*idle)());
  // As UpdateFitness, for any task over the indexes 0 .. count-1; each index
  // runs exactly once, on some thread, under a copy of settings. The task
  // must touch nothing another index touches.
  void Run(int count, const std::function<void(int)>& task, const SearchSettings& settings, int workers,
           bool caller_helps, void (*idle)());

  // Whether a batch is under way (a nested call from `idle` must not start one).
  bool Busy() const { return busy_; }
  // Worker threads started so far.
  int WorkerCount() const { return static_cast<int>(threads_.size()); }

 private:
  void StartWorkers(int workers);
  void WorkerLoop(int index);
  // Takes members of the current batch until none is left.
  void EvaluateShare();

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable batch_ready_;
  std::condition_variable batch_done_;
  // Guarded by mutex_.
  uint64_t batch_number_ = 0;
  int batch_workers_ = 0;  // workers that may join the current batch
  bool batch_open_ = false;  // workers may still join it
  int active_ = 0;         // workers that joined it and are not done yet
  bool stopping_ = false;
  std::exception_ptr failure_;
  // Set before a batch is announced and read only while it runs.
  const std::function<void(int)>* task_ = nullptr;
  int count_ = 0;
  const SearchSettings* settings_ = nullptr;
  std::atomic<int> next_{0};
  bool busy_ = false;
};
