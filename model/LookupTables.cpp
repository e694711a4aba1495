#include "model/LookupTables.h"

#include <bitset>
#include <memory>

namespace {

int ClampedCount(int32_t count) {
  return count < 0 ? 0 : (count > kMaxGeneEntries ? kMaxGeneEntries : count);
}

}  // namespace

uint8_t LookupTables::AddCharacter(char c) {
  const uint8_t key = static_cast<uint8_t>(c);
  if (index_of_[key] < 0) {
    index_of_[key] = static_cast<int16_t>(count_);
    chars_[count_] = c;
    ++count_;
  }
  return static_cast<uint8_t>(index_of_[key]);
}

// List positions first, so a standard algebra keeps index = position - 1.
void LookupTables::CollectCharacters(const TEQAlgebra& algebra) {
  index_of_.fill(-1);
  count_ = 0;
  element_count_ = algebra.Size < 0 ? 0 : (algebra.Size > kMaxElements ? kMaxElements : algebra.Size);
  for (int p = 0; p < element_count_; ++p) element_index_[p] = AddCharacter(algebra.ElementList[p]);
  zero_ = AddCharacter('0');
  one_ = AddCharacter('1');
  none_ = AddCharacter('\0');
  for (const PairGene* gene : {&algebra.InfimumGene, &algebra.ProductGene, &algebra.FEqualityGene,
                               &algebra.MaximumGene}) {
    const int count = ClampedCount(gene->Count);
    for (int k = 0; k < count; ++k) {
      AddCharacter(gene->Entries[k].X);
      AddCharacter(gene->Entries[k].Y);
      AddCharacter(gene->Entries[k].Value);
    }
  }
  const int delta_count = ClampedCount(algebra.DeltaGene.Count);
  for (int k = 0; k < delta_count; ++k) {
    AddCharacter(algebra.DeltaGene.Entries[k].X);
    AddCharacter(algebra.DeltaGene.Entries[k].Value);
  }
}

// Entries are applied from the last to the first, so the first match wins;
// the identities are applied last, lowest precedence first.
void LookupTables::Build(const TEQAlgebra& algebra) {
  CollectCharacters(algebra);
  const int m = count_;

  for (int x = 0; x < m; ++x) {
    for (int y = 0; y < m; ++y) {
      inf_[x * m + y] = x == y ? static_cast<uint8_t>(x) : none_;
      prod_[x * m + y] = none_;
      eq_[x * m + y] = none_;
    }
  }
  for (int k = ClampedCount(algebra.InfimumGene.Count) - 1; k >= 0; --k) {
    const PairEntry& e = algebra.InfimumGene.Entries[k];
    const int x = index_of_[static_cast<uint8_t>(e.X)], y = index_of_[static_cast<uint8_t>(e.Y)];
    const uint8_t v = static_cast<uint8_t>(index_of_[static_cast<uint8_t>(e.Value)]);
    inf_[x * m + y] = v;
    inf_[y * m + x] = v;
  }
  for (int k = ClampedCount(algebra.ProductGene.Count) - 1; k >= 0; --k) {
    const PairEntry& e = algebra.ProductGene.Entries[k];
    const int x = index_of_[static_cast<uint8_t>(e.X)], y = index_of_[static_cast<uint8_t>(e.Y)];
    prod_[x * m + y] = static_cast<uint8_t>(index_of_[static_cast<uint8_t>(e.Value)]);
  }
  for (int k = ClampedCount(algebra.FEqualityGene.Count) - 1; k >= 0; --k) {
    const PairEntry& e = algebra.FEqualityGene.Entries[k];
    const int x = index_of_[static_cast<uint8_t>(e.X)], y = index_of_[static_cast<uint8_t>(e.Y)];
    const uint8_t v = static_cast<uint8_t>(index_of_[static_cast<uint8_t>(e.Value)]);
    eq_[x * m + y] = v;
    eq_[y * m + x] = v;
  }
  for (int x = 0; x < m; ++x) {
    inf_[x * m + one_] = static_cast<uint8_t>(x);  // x ^ 1 = x
    prod_[x * m + one_] = static_cast<uint8_t>(x);  // x * 1 = x
    eq_[x * m + x] = one_;                          // x ~ x = 1
  }
  for (int y = 0; y < m; ++y) {
    inf_[one_ * m + y] = static_cast<uint8_t>(y);   // 1 ^ y = y
    prod_[one_ * m + y] = static_cast<uint8_t>(y);  // 1 * y = y
  }
  for (int x = 0; x < m; ++x) {
    prod_[zero_ * m + x] = zero_;  // 0 * y = 0
    prod_[x * m + zero_] = zero_;  // x * 0 = 0
  }

  for (int x = 0; x < m; ++x) delta_[x] = none_;
  for (int k = ClampedCount(algebra.DeltaGene.Count) - 1; k >= 0; --k) {
    const SingleEntry& e = algebra.DeltaGene.Entries[k];
    delta_[index_of_[static_cast<uint8_t>(e.X)]] =
        static_cast<uint8_t>(index_of_[static_cast<uint8_t>(e.Value)]);
  }
  delta_[one_] = one_;
  delta_[zero_] = zero_;

  BuildMaximumTable(algebra);
}

void LookupTables::RebuildMaximum(const TEQAlgebra& algebra) { BuildMaximumTable(algebra); }

void LookupTables::BuildMaximumTable(const TEQAlgebra& algebra) {
  const int m = count_;
  for (int i = 0; i < m * m; ++i) max_[i] = none_;
  for (int k = ClampedCount(algebra.MaximumGene.Count) - 1; k >= 0; --k) {
    const PairEntry& e = algebra.MaximumGene.Entries[k];
    const int x = index_of_[static_cast<uint8_t>(e.X)], y = index_of_[static_cast<uint8_t>(e.Y)];
    const uint8_t v = static_cast<uint8_t>(index_of_[static_cast<uint8_t>(e.Value)]);
    max_[x * m + y] = v;
    max_[y * m + x] = v;
  }
  for (int x = 0; x < m; ++x) {
    max_[x * m + one_] = one_;
    max_[one_ * m + x] = one_;
  }
}

uint8_t LookupTables::Join(int n, uint8_t x, uint8_t y) const {
  if (x == one_ || y == one_) return one_;
  if (Leq(x, y)) return y;
  if (Leq(y, x)) return x;
  if (n > element_count_) n = element_count_;
  std::bitset<256> upper;
  for (int p = 0; p < n; ++p) {
    const uint8_t e = element_index_[p];
    if (Leq(x, e) && Leq(y, e)) upper.set(e);
  }
  if (upper.count() == 1 && upper.test(one_)) return one_;
  uint8_t r = one_;
  for (int p = 0; p < n; ++p) {
    const uint8_t e = element_index_[p];
    if (upper.test(e) && Leq(e, r)) r = e;
  }
  return r;
}

void RecomputeMaximumEntries(TEQAlgebra& algebra, const LookupTables& tables) {
  const int count = ClampedCount(algebra.MaximumGene.Count);
  for (int k = 0; k < count; ++k) {
    PairEntry& e = algebra.MaximumGene.Entries[k];
    const uint8_t x = static_cast<uint8_t>(tables.IndexOf(e.X));
    const uint8_t y = static_cast<uint8_t>(tables.IndexOf(e.Y));
    e.Value = tables.CharOf(tables.Join(algebra.Size, x, y));
  }
}

LookupTables& ScratchTables() {
  thread_local std::unique_ptr<LookupTables> tables = std::make_unique<LookupTables>();
  return *tables;
}
