#pragma once
// The time a finder run has taken and whether its time limit has passed.

#include <chrono>

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
