// Representation: element list, counts, the lookups with their identities,
// the order-derived join and the three copies.

#include "model/EQAlgebra.h"

#include <bitset>
#include <cmath>

#include "model/Assert.h"
#include "model/LookupTables.h"
#include "model/Settings.h"

const std::array<std::string_view, kPropertyCount> kPropertyNames = {
    "Associative Infimum", "Commutative Infimum", "Neutral Infimum",
    "Idempotent Infimum",  "Associative Product", "Neutral Product",
    "Isotone Product",     "Reflexive FEQuality", "Congruence",
    "Substitution",        "Monotone Implication", "Boundedness",
    "Colourfulness",       "Goodness",            "Involutive",
    "Semiseparated",       "Separated",           "Residuated",
    "Commutative",         "Linear",              "Lattice",
    "Prelinear",           "Sup-product distributivity",
    "Equality over ProdEquality", "Delta properties", "Colourfulness(*)",
};

namespace {

// Counts are bounded by the lists; a corrupt count never reads past them.
int ClampedCount(int32_t count) {
  return count < 0 ? 0 : (count > kMaxGeneEntries ? kMaxGeneEntries : count);
}

// The first entry whose pair is (x, y), or also (y, x) when symmetric.
const PairEntry* FirstMatch(const PairGene& gene, char x, char y, bool symmetric) {
  const int count = ClampedCount(gene.Count);
  for (int k = 0; k < count; ++k) {
    const PairEntry& e = gene.Entries[k];
    if ((e.X == x && e.Y == y) || (symmetric && e.X == y && e.Y == x)) return &e;
  }
  return nullptr;
}

}  // namespace

TEQAlgebra::TEQAlgebra() {
  VELMORA_ASSERT(ThisThreadHasSettings(), "a worker thread sizes an algebra before installing its settings block");
  Init(Settings.ElementCount);
}

void TEQAlgebra::Init(int32_t n) {
  if (n < 2 || n > kMaxElements) return;
  Size = n;
  InfimumGene.Count = n * (n - 1) / 2;
  ProductGene.Count = n * n;
  FEqualityGene.Count = n * (n - 1) / 2;
  DeltaGene.Count = n;
  MaximumGene.Count = n * n;
  ElementList[0] = '0';
  for (int p = 2; p < n; ++p) ElementList[p - 1] = static_cast<char>(95 + p);
  ElementList[n - 1] = '1';
}

char TEQAlgebra::Infimum(char x, char y) const {
  if (x == '1') return y;
  if (y == '1') return x;
  if (const PairEntry* e = FirstMatch(InfimumGene, x, y, true)) return e->Value;
  return x == y ? x : '\0';
}

char TEQAlgebra::Product(char x, char y) const {
  if (x == '0' || y == '0') return '0';
  if (x == '1') return y;
  if (y == '1') return x;
  if (const PairEntry* e = FirstMatch(ProductGene, x, y, false)) return e->Value;
  return '\0';
}

char TEQAlgebra::Equality(char x, char y) const {
  if (x == y) return '1';
  if (const PairEntry* e = FirstMatch(FEqualityGene, x, y, true)) return e->Value;
  return '\0';
}

char TEQAlgebra::Delta(char x) const {
  if (x == '1') return '1';
  if (x == '0') return '0';
  const int count = ClampedCount(DeltaGene.Count);
  for (int k = 0; k < count; ++k) {
    if (DeltaGene.Entries[k].X == x) return DeltaGene.Entries[k].Value;
  }
  return '\0';
}

char TEQAlgebra::Maximum(char x, char y) const {
  if (x == '1' || y == '1') return '1';
  if (const PairEntry* e = FirstMatch(MaximumGene, x, y, true)) return e->Value;
  return '\0';
}

char TEQAlgebra::Implication(char x, char y) const {
  if (x == '0' || y == '1' || LessOrEqual(x, y)) return '1';
  return Equality(Infimum(x, y), x);
}

// Walks down from '1' through the common upper bounds in list order, so ties
// between incomparable minimal bounds fall to the one met first.
char TEQAlgebra::Join(int32_t n, char x, char y) const {
  if (x == '1' || y == '1') return '1';
  if (LessOrEqual(x, y)) return y;
  if (LessOrEqual(y, x)) return x;
  if (n > kMaxElements) n = kMaxElements;
  std::bitset<256> upper;
  for (int p = 0; p < n; ++p) {
    const char e = ElementList[p];
    if (LessOrEqual(x, e) && LessOrEqual(y, e)) upper.set(static_cast<uint8_t>(e));
  }
  if (upper.count() == 1 && upper.test(static_cast<uint8_t>('1'))) return '1';
  char r = '1';
  for (int p = 0; p < n; ++p) {
    const char e = ElementList[p];
    if (upper.test(static_cast<uint8_t>(e)) && LessOrEqual(e, r)) r = e;
  }
  return r;
}

void TEQAlgebra::CopyHeaderFrom(const TEQAlgebra* source) {
  if (source == nullptr) return;
  Description = source->Description;
  Size = source->Size;
  ElementList = source->ElementList;
  InfimumGene.Count = source->InfimumGene.Count;
  ProductGene.Count = source->ProductGene.Count;
  FEqualityGene.Count = source->FEqualityGene.Count;
  // The delta list travels whenever delta or maximum is in play: with maximum
  // alone it carries the default delta that files and lookups rely on.
  if (Settings.DeltaEnabled || Settings.MaximumEnabled) DeltaGene.Count = source->DeltaGene.Count;
  if (Settings.MaximumEnabled) MaximumGene.Count = source->MaximumGene.Count;
}

void TEQAlgebra::CopyFrom(const TEQAlgebra* source) {
  if (source == nullptr || source == this) return;
  CopyHeaderFrom(source);
  InfimumGene.Entries = source->InfimumGene.Entries;
  ProductGene.Entries = source->ProductGene.Entries;
  FEqualityGene.Entries = source->FEqualityGene.Entries;
  if (Settings.DeltaEnabled || Settings.MaximumEnabled) DeltaGene = source->DeltaGene;
  if (Settings.MaximumEnabled) MaximumGene = source->MaximumGene;
  Fitness = source->Fitness;
}

void TEQAlgebra::CopyGenePrefixFrom(const TEQAlgebra* source, int gene, double share) {
  if (source == nullptr) return;
  CopyHeaderFrom(source);
  if (gene == kDeltaGene) {
    const int k = ClampedCount(static_cast<int32_t>(std::trunc(DeltaGene.Count * share)));
    for (int i = 0; i < k; ++i) DeltaGene.Entries[i] = source->DeltaGene.Entries[i];
  } else if (PairGene* target = PairGeneByNumber(gene)) {
    const PairGene& from = *source->PairGeneByNumber(gene);
    const int k = ClampedCount(static_cast<int32_t>(std::trunc(target->Count * share)));
    for (int i = 0; i < k; ++i) target->Entries[i] = from.Entries[i];
  }
  Fitness = source->Fitness;
}

void TEQAlgebra::RecomputeMaximum() {
  LookupTables& tables = ScratchTables();
  tables.Build(*this);
  RecomputeMaximumEntries(*this, tables);
}

PairGene* TEQAlgebra::PairGeneByNumber(int gene) {
  switch (gene) {
    case kInfimumGene: return &InfimumGene;
    case kProductGene: return &ProductGene;
    case kFEqualityGene: return &FEqualityGene;
    case kMaximumGene: return &MaximumGene;
    default: return nullptr;
  }
}

const PairGene* TEQAlgebra::PairGeneByNumber(int gene) const {
  return const_cast<TEQAlgebra*>(this)->PairGeneByNumber(gene);
}
