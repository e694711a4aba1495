#pragma once
// Shared helpers of the finder tests: settings blocks and a collecting run.

#include <algorithm>
#include <atomic>
#include <numeric>
#include <string>
#include <vector>

#include "finder/ExactFinder.h"
#include "model/Settings.h"

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

inline Collected Collect(const FinderOptions& options) {
  std::atomic<bool> stop{false};
  Collected out;
  out.summary = RunExactFinder(options, [&](const FoundClass& c) { out.classes.push_back(c); }, {}, stop);
  return out;
}

inline Collected Collect(const SearchSettings& settings, FinderMode mode = FinderMode::All, int threads = 2,
                         int part_index = 0, int part_count = 1, int64_t limit = 0) {
  FinderOptions options;
  options.Settings = settings;
  options.Mode = mode;
  options.Threads = threads;
  options.PartIndex = part_index;
  options.PartCount = part_count;
  options.Limit = limit;
  return Collect(options);
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

// The standard entry pairs with the fixed identities filled in and every
// free value '0'; delta only while in play.
inline TEQAlgebra StandardLayout(int n) {
  TEQAlgebra a;
  a.Init(n);
  const auto e = [&](int i) { return a.ElementList[i]; };
  int k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      a.InfimumGene.Entries[k] = {e(i), e(j), e(0)};
      a.FEqualityGene.Entries[k] = {e(i), e(j), e(0)};
      ++k;
    }
  }
  k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const char fixed = i == 0 || j == 0 ? '0' : (i == n - 1 ? e(j) : e(i));
      a.ProductGene.Entries[k] = {e(i), e(j), fixed};
      a.MaximumGene.Entries[k] = {e(i), e(j), '\0'};
      ++k;
    }
  }
  for (int i = 0; i < n; ++i) a.DeltaGene.Entries[i] = {e(i), i == n - 1 ? '1' : '0'};
  if (!Settings.DeltaEnabled && !Settings.MaximumEnabled) a.DeltaGene.Count = 0;
  return a;
}

inline TEQAlgebra Relabelled(const TEQAlgebra& a, const std::vector<int>& image) {
  const int n = a.Size;
  TEQAlgebra b = StandardLayout(n);
  std::vector<char> to(256, '\0');
  for (int i = 0; i < n; ++i) to[static_cast<uint8_t>(a.ElementList[i])] = a.ElementList[image[i]];
  const auto map = [&](char c) { return to[static_cast<uint8_t>(c)]; };
  for (int k = 0; k < b.InfimumGene.Count; ++k) {
    PairEntry& e = b.InfimumGene.Entries[k];
    // b's cell (x, y) is the image of a's cell at the preimages.
    char px = 0, py = 0;
    for (int i = 0; i < n; ++i) {
      if (map(a.ElementList[i]) == e.X) px = a.ElementList[i];
      if (map(a.ElementList[i]) == e.Y) py = a.ElementList[i];
    }
    e.Value = map(a.Infimum(px, py));
    b.FEqualityGene.Entries[k].Value = map(a.Equality(px, py));
  }
  for (int k = 0; k < b.ProductGene.Count; ++k) {
    PairEntry& e = b.ProductGene.Entries[k];
    char px = 0, py = 0;
    for (int i = 0; i < n; ++i) {
      if (map(a.ElementList[i]) == e.X) px = a.ElementList[i];
      if (map(a.ElementList[i]) == e.Y) py = a.ElementList[i];
    }
    e.Value = map(a.Product(px, py));
  }
  if (Settings.DeltaEnabled) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        if (map(a.ElementList[j]) == b.DeltaGene.Entries[i].X) b.DeltaGene.Entries[i].Value = map(a.Delta(a.ElementList[j]));
      }
    }
  }
  if (Settings.MaximumEnabled) b.RecomputeMaximum();
  return b;
}

// The least canonical text over every renaming of the inner elements: equal
// exactly for isomorphic algebras (slow, for small sizes).
inline std::string LeastRelabelledText(const TEQAlgebra& a) {
  const int n = a.Size;
  std::vector<int> perm(n - 2);
  std::iota(perm.begin(), perm.end(), 1);
  std::string best;
  do {
    std::vector<int> image(n);
    image[0] = 0;
    image[n - 1] = n - 1;
    for (int i = 0; i < n - 2; ++i) image[i + 1] = perm[i];
    std::string text = Relabelled(a, image).BuildCanonicalText();
    if (best.empty() || text < best) best = std::move(text);
  } while (std::next_permutation(perm.begin(), perm.end()));
  return best;
}

}  // namespace finder_test
