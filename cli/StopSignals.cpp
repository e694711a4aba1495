#include "cli/StopSignals.h"

namespace {

std::atomic<bool> received{false};
std::atomic<std::atomic<bool>*> stop_flag{nullptr};

extern "C" void OnStopSignal(int) {
  received.store(true);
  if (std::atomic<bool>* flag = stop_flag.load()) flag->store(true);
}

}  // namespace

StopSignals::StopSignals(std::atomic<bool>& stop) {
  received.store(false);
  stop_flag.store(&stop);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a write blocked on a full pipe returns, and the writer
  // retries it knowing that a stop was asked for.
  sigaction(SIGINT, &action, &previous_int_);
  sigaction(SIGTERM, &action, &previous_term_);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previous_int_, nullptr);
  sigaction(SIGTERM, &previous_term_, nullptr);
  stop_flag.store(nullptr);
}

bool StopSignals::Received() { return received.load(); }
