#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a request to stop: while a StopSignals
// lives, either signal sets its flags instead of ending the process, so a
// command can finish the work under way, keep what it found and exit with
// kExitInterrupted. The previous handlers come back when it ends.

#include <atomic>
#include <csignal>

inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

class StopSignals {
 public:
  // `stop` is set too, so a worker that polls it stops at once.
  explicit StopSignals(std::atomic<bool>& stop);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Whether a signal has come since construction.
  static bool Received();

 private:
  struct sigaction previous_int_ {};
  struct sigaction previous_term_ {};
};
