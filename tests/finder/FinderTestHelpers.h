#pragma once
// Shared helpers of the finder tests: settings blocks and a collecting run.

#include <atomic>
#include <string>
#include <vector>

#include "ExactFinder.h"
#include "Settings.h"

namespace finder_test {

inline SearchSettings SettingsOf(int n) {
  SearchSettings s;
  s.ElementCount = n;
  s.UpdateGeneCount();
  return s;
}

inline SearchSettings GoodResiduated(int n) {
  SearchSettings s = SettingsOf(n);
  s.WantGoodness = s.WantResiduated = true;
  return s;
}

inline SearchSettings LinearInvolutiveGoodResiduated(int n) {
  SearchSettings s = GoodResiduated(n);
  s.WantLinear = s.WantInvolutive = true;
  return s;
}

struct Collected {
  std::vector<FoundClass> classes;
  FinderSummary summary;
};

inline Collected Collect(const SearchSettings& settings, FinderMode mode = FinderMode::All, int threads = 2,
                         int part_index = 0, int part_count = 1, int64_t limit = 0) {
  FinderOptions options;
  options.Settings = settings;
  options.Mode = mode;
  options.Threads = threads;
  options.PartIndex = part_index;
  options.PartCount = part_count;
  options.Limit = limit;
  std::atomic<bool> stop{false};
  Collected out;
  out.summary = RunExactFinder(options, [&](const FoundClass& c) { out.classes.push_back(c); }, {}, stop);
  return out;
}

inline std::vector<std::string> CanonicalTexts(const Collected& run) {
  std::vector<std::string> texts;
  for (const FoundClass& c : run.classes) texts.push_back(c.Algebra->CanonicalText);
  return texts;
}

}  // namespace finder_test

namespace finder_test {

inline uint64_t InnerPermutationsOf(int n) {
  uint64_t f = 1;
  for (int i = 2; i <= n - 2; ++i) f *= static_cast<uint64_t>(i);
  return f;
}

}  // namespace finder_test
