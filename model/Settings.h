#pragma once
// The block of search settings. The window's controls write it; the algebra
// model and the genetic search read it directly whenever they need a value, so
// a change applies to whatever is evaluated after it.
//
// Each thread has its own block. The main thread's is the one the window and
// the command-line tool set; a worker thread starts with the defaults and
// installs a copy of its caller's block (ScopedSettings) before it evaluates
// anything, so workers never read a block another thread is writing.

#include <cstdint>
#include <string>

struct SearchSettings {
  int32_t ElementCount = 5;  // n, 2 .. 28
  bool DeltaEnabled = false;
  bool MaximumEnabled = false;
  int32_t GeneCount = 3;  // 3, +1 with delta, +1 with maximum

  double OptionalWeight = 0.1;  // weight w of every optional fitness factor
  int32_t ColorfulnessFEq = 0;  // 0 or less: no requirement
  int32_t ColorfulnessProd = 0;

  bool WantGoodness = false, WantNonGoodness = false;
  bool WantInvolutive = false, WantNonInvolutive = false;
  bool WantSemiSeparated = false, WantNonSemiSeparated = false;
  bool WantSeparated = false, WantNonSeparated = false;
  bool WantResiduated = false, WantNonResiduated = false;
  bool WantCommutative = false, WantNonCommutative = false;
  bool WantLinear = false, WantNonLinear = false;
  bool WantLattice = false, WantNonLattice = false;
  bool WantPrelinear = false, WantNonPrelinear = false;
  bool WantSupProdDistributivity = false;
  bool WantEqualityOverEqProd = false;

  bool ShowDerived = true;
  bool RemoveEqualMembers = true;
  bool OnePerClass = false;  // winners: only the first of each isomorphism class is collected

  int32_t PopulationLimit = 180;  // 10 .. 10000
  double MutationRate = 0.1;
  double CrossoverRate = 0.9;
  double ChildRatio = 0.95;
  // Threads that evaluate a generation. The window's control and the
  // command-line tool start at every core; a block made here evaluates on
  // the calling thread alone.
  int32_t Threads = 1;

  std::string QuickDir;  // always ends in the path separator once set

  // GeneCount from the two optional operations.
  void UpdateGeneCount() { GeneCount = 3 + (MaximumEnabled ? 1 : 0) + (DeltaEnabled ? 1 : 0); }
};

// The most threads the "Threads" setting allows.
inline constexpr int32_t kMostThreads = 1024;

// This thread's settings block.
inline thread_local SearchSettings Settings;

// Whether this thread has installed a block of its own (the main thread's
// counts as installed). Set by ScopedSettings and InstallSettings only.
inline thread_local bool SettingsInstalled = false;

// Whether this thread may read Settings: the main thread always may; any
// other thread once it has installed a block. Evaluation asserts it, so a
// worker that forgot to install its caller's block stops instead of
// computing with the defaults.
bool ThisThreadHasSettings();

// Installs a copy of a settings block on this thread until the thread ends
// or installs another (a worker's block for a whole batch).
inline void InstallSettings(const SearchSettings& block) {
  Settings = block;
  SettingsInstalled = true;
}

// Installs a copy of a settings block on this thread for the lifetime of the
// object and puts the previous block back afterwards.
class ScopedSettings {
 public:
  explicit ScopedSettings(const SearchSettings& block) : saved_(Settings), was_installed_(SettingsInstalled) {
    InstallSettings(block);
  }
  ~ScopedSettings() {
    Settings = saved_;
    SettingsInstalled = was_installed_;
  }
  ScopedSettings(const ScopedSettings&) = delete;
  ScopedSettings& operator=(const ScopedSettings&) = delete;

 private:
  SearchSettings saved_;
  bool was_installed_;
};

// The Double nearest to percent / 100, as the controls store percentages.
inline double PercentToFraction(int32_t percent) { return percent / 100.0; }
