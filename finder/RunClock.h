#pragma once
// What every finder run starts with: its clock (the time taken, whether the
// time limit has passed) and its settings, installed on the calling thread.

#include <chrono>

#include "model/EQAlgebra.h"
#include "model/Settings.h"

class RunClock {
 public:
  explicit RunClock(double limit_seconds) : limit_(limit_seconds) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  // Never true without a limit (0).
  bool OutOfTime() const { return limit_ > 0 && Seconds() >= limit_; }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  double limit_;
};

class RunStart {
 public:
  RunStart(const SearchSettings& asked, double limit_seconds)
      : clock(limit_seconds), settings(WithGeneCount(asked)), scoped_(settings) {}
  // The element count is one a run can search.
  bool SizeInRange() const { return settings.ElementCount >= 2 && settings.ElementCount <= kMaxElements; }

  const RunClock clock;
  const SearchSettings settings;

 private:
  static SearchSettings WithGeneCount(SearchSettings settings) {
    settings.UpdateGeneCount();
    return settings;
  }
  const ScopedSettings scoped_;
};
