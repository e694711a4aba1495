#pragma once
// Hand-built algebras used across the model tests.

#include <memory>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"

// Sets a pair gene from "xyv" triples, e.g. {"0a0", "a1a"}.
inline void SetPairGene(PairGene& gene, const std::vector<std::string>& entries) {
  gene.Count = static_cast<int32_t>(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    gene.Entries[k] = {entries[k][0], entries[k][1], entries[k][2]};
  }
}

// Sets a single gene from "xv" pairs, e.g. {"00", "a0", "11"}.
inline void SetSingleGene(SingleGene& gene, const std::vector<std::string>& entries) {
  gene.Count = static_cast<int32_t>(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) gene.Entries[k] = {entries[k][0], entries[k][1]};
}

// The chain 0 < a < 1 with infimum and product the minimum (product entries
// hold the minimum also where 0 is a factor), a ~ 1 = a and 0 ~ a = 0 ~ 1 = 0.
inline std::unique_ptr<TEQAlgebra> MakeChainExample() {
  auto algebra = std::make_unique<TEQAlgebra>();
  algebra->Init(3);
  algebra->Description = "Algebra_0000";
  SetPairGene(algebra->InfimumGene, {"0a0", "010", "a1a"});
  SetPairGene(algebra->ProductGene, {"000", "0a0", "010", "a00", "aaa", "a1a", "100", "1aa", "111"});
  SetPairGene(algebra->FEqualityGene, {"0a0", "010", "a1a"});
  return algebra;
}

// The example's EQA file as written, 21 lines ending in CR LF.
inline std::string ChainExampleFile() {
  const char* lines[] = {"Algebra_0000", "3", "0 a 1", "3", "0 a 0", "0 1 0", "a 1 a",
                         "9", "0 0 0", "0 a 0", "0 1 0", "a 0 0", "a a a", "a 1 a",
                         "1 0 0", "1 a a", "1 1 1", "3", "0 a 0", "0 1 0", "a 1 a"};
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

// True when the fields a file read may change are all equal.
inline bool SameReadFields(const TEQAlgebra& a, const TEQAlgebra& b) {
  const auto same_pairs = [](const PairGene& x, const PairGene& y) {
    if (x.Count != y.Count) return false;
    for (int k = 0; k < kMaxGeneEntries; ++k) {
      const PairEntry &p = x.Entries[k], &q = y.Entries[k];
      if (p.X != q.X || p.Y != q.Y || p.Value != q.Value) return false;
    }
    return true;
  };
  if (a.Description != b.Description || a.Size != b.Size || a.ElementList != b.ElementList) return false;
  if (a.DeltaGene.Count != b.DeltaGene.Count) return false;
  for (int k = 0; k < kMaxGeneEntries; ++k) {
    if (a.DeltaGene.Entries[k].X != b.DeltaGene.Entries[k].X ||
        a.DeltaGene.Entries[k].Value != b.DeltaGene.Entries[k].Value) {
      return false;
    }
  }
  return same_pairs(a.InfimumGene, b.InfimumGene) && same_pairs(a.ProductGene, b.ProductGene) &&
         same_pairs(a.FEqualityGene, b.FEqualityGene) && same_pairs(a.MaximumGene, b.MaximumGene);
}
