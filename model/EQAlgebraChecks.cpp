// The 26 property checks as methods: each builds the scratch tables from this
// algebra, runs its kernel (CheckKernels.h), stores the counts in its slot and
// hands them back. ComputeFitness runs the same kernels on one table build.

#include <array>

#include "model/CheckKernels.h"
#include "model/EQAlgebra.h"
#include "model/LookupTables.h"
#include "model/Formatting.h"
#include "model/Settings.h"

namespace {

const LookupTables& TablesOf(const TEQAlgebra& algebra) {
  LookupTables& tables = ScratchTables();
  tables.Build(algebra);
  return tables;
}

const QuadRows& QuadRowsOf(const LookupTables& tables, bool with_maximum) {
  QuadRows& rows = ScratchQuadRows();
  rows.Prepare(tables, with_maximum);
  return rows;
}

int32_t Store(TEQAlgebra& algebra, int slot, const CheckOutcome& outcome, int32_t& passed, int32_t& total) {
  algebra.PropertyResults[slot] = outcome.Counts;
  passed = outcome.Counts.Passed;
  total = outcome.Counts.Total;
  return outcome.Failures;
}

}  // namespace

int32_t TEQAlgebra::CheckAssociativeInfimum(int32_t& passed, int32_t& total) {
  return Store(*this, kAssociativeInfimumSlot, CountAssociativeInfimum(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckCommutativeInfimum(int32_t& passed, int32_t& total) {
  return Store(*this, kCommutativeInfimumSlot, CountCommutativeInfimum(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckNeutralInfimum(int32_t& passed, int32_t& total) {
  return Store(*this, kNeutralInfimumSlot, CountNeutralInfimum(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckIdempotentInfimum(int32_t& passed, int32_t& total) {
  return Store(*this, kIdempotentInfimumSlot, CountIdempotentInfimum(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckAssociativeProduct(int32_t& passed, int32_t& total) {
  return Store(*this, kAssociativeProductSlot, CountAssociativeProduct(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckNeutralProduct(int32_t& passed, int32_t& total) {
  return Store(*this, kNeutralProductSlot, CountNeutralProduct(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckIsotoneProduct(int32_t& passed, int32_t& total) {
  return Store(*this, kIsotoneProductSlot, CountIsotoneProduct(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckReflexiveFEquality(int32_t& passed, int32_t& total) {
  return Store(*this, kReflexiveFEqualitySlot, CountReflexiveFEquality(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckCongruence(int32_t& passed, int32_t& total) {
  const LookupTables& tables = TablesOf(*this);
  return Store(*this, kCongruenceSlot, CountCongruence(tables, QuadRowsOf(tables, false)), passed, total);
}

int32_t TEQAlgebra::CheckSubstitution(int32_t& passed, int32_t& total) {
  const LookupTables& tables = TablesOf(*this);
  return Store(*this, kSubstitutionSlot, CountSubstitution(tables, QuadRowsOf(tables, false)), passed, total);
}

int32_t TEQAlgebra::CheckMonotoneImplication(int32_t& passed, int32_t& total) {
  return Store(*this, kMonotoneImplicationSlot, CountMonotoneImplication(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckBoundedness(int32_t& passed, int32_t& total) {
  return Store(*this, kBoundednessSlot, CountBoundedness(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckColourfulness(int32_t& passed, int32_t& total) {
  return Store(*this, kColourfulnessSlot, CountColourfulness(TablesOf(*this), Settings.ColorfulnessFEq),
               passed, total);
}

int32_t TEQAlgebra::CheckGoodness(int32_t& passed, int32_t& total) {
  return Store(*this, kGoodnessSlot, CountGoodness(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckInvolutive(int32_t& passed, int32_t& total) {
  return Store(*this, kInvolutiveSlot, CountInvolutive(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckSemiseparated(int32_t& passed, int32_t& total) {
  return Store(*this, kSemiseparatedSlot, CountSemiseparated(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckSeparated(int32_t& passed, int32_t& total) {
  return Store(*this, kSeparatedSlot, CountSeparated(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckResiduated(int32_t& passed, int32_t& total) {
  return Store(*this, kResiduatedSlot, CountResiduated(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckCommutative(int32_t& passed, int32_t& total) {
  return Store(*this, kCommutativeSlot, CountCommutative(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckLinear(int32_t& passed, int32_t& total) {
  return Store(*this, kLinearSlot, CountLinear(TablesOf(*this)), passed, total);
}

// Without the maximum there is nothing to judge: out-values and slot stay.
int32_t TEQAlgebra::CheckLattice(int32_t& passed, int32_t& total) {
  if (!Settings.MaximumEnabled) return 0;
  const LookupTables& tables = TablesOf(*this);
  return Store(*this, kLatticeSlot, CountLattice(tables, QuadRowsOf(tables, true)), passed, total);
}

// Reads the maximum as it is; callers run it only while the maximum is in play.
int32_t TEQAlgebra::CheckPrelinear(int32_t& passed, int32_t& total) {
  return Store(*this, kPrelinearSlot, CountPrelinear(TablesOf(*this)), passed, total);
}

int32_t TEQAlgebra::CheckSupProductDistributivity(int32_t& passed, int32_t& total) {
  if (!Settings.MaximumEnabled) return 0;
  return Store(*this, kSupProductDistributivitySlot, CountSupProductDistributivity(TablesOf(*this)), passed,
               total);
}

int32_t TEQAlgebra::CheckEqualityOverProdEquality(int32_t& passed, int32_t& total) {
  return Store(*this, kEqualityOverProdEqualitySlot, CountEqualityOverProdEquality(TablesOf(*this)), passed,
               total);
}

// Without delta every case counts as passed and the slot keeps its older result.
int32_t TEQAlgebra::CheckDeltaProperties(int32_t& passed, int32_t& total) {
  if (!Settings.DeltaEnabled) {
    const int n = Size < 0 ? 0 : (Size > kMaxElements ? kMaxElements : Size);
    total = DeltaPropertiesTotal(n, Settings.MaximumEnabled);
    passed = total;
    return 0;
  }
  return Store(*this, kDeltaPropertiesSlot, CountDeltaProperties(TablesOf(*this), Settings.MaximumEnabled),
               passed, total);
}

int32_t TEQAlgebra::CheckColourfulnessProduct(int32_t& passed, int32_t& total) {
  return Store(*this, kColourfulnessProductSlot,
               CountColourfulnessProduct(TablesOf(*this), Settings.ColorfulnessProd), passed, total);
}

PropertyCheck CheckOfSlot(int slot) {
  static constexpr std::array<PropertyCheck, kPropertyCount> kChecks = {
      &TEQAlgebra::CheckAssociativeInfimum,  &TEQAlgebra::CheckCommutativeInfimum,
      &TEQAlgebra::CheckNeutralInfimum,      &TEQAlgebra::CheckIdempotentInfimum,
      &TEQAlgebra::CheckAssociativeProduct,  &TEQAlgebra::CheckNeutralProduct,
      &TEQAlgebra::CheckIsotoneProduct,      &TEQAlgebra::CheckReflexiveFEquality,
      &TEQAlgebra::CheckCongruence,          &TEQAlgebra::CheckSubstitution,
      &TEQAlgebra::CheckMonotoneImplication, &TEQAlgebra::CheckBoundedness,
      &TEQAlgebra::CheckColourfulness,       &TEQAlgebra::CheckGoodness,
      &TEQAlgebra::CheckInvolutive,          &TEQAlgebra::CheckSemiseparated,
      &TEQAlgebra::CheckSeparated,           &TEQAlgebra::CheckResiduated,
      &TEQAlgebra::CheckCommutative,         &TEQAlgebra::CheckLinear,
      &TEQAlgebra::CheckLattice,             &TEQAlgebra::CheckPrelinear,
      &TEQAlgebra::CheckSupProductDistributivity, &TEQAlgebra::CheckEqualityOverProdEquality,
      &TEQAlgebra::CheckDeltaProperties,     &TEQAlgebra::CheckColourfulnessProduct,
  };
  return kChecks.at(static_cast<size_t>(slot));
}

std::vector<int> DisplayedSlots() {
  std::vector<int> slots;
  for (int slot = kAssociativeInfimumSlot; slot <= kBoundednessSlot; ++slot) slots.push_back(slot);
  slots.insert(slots.end(), {kColourfulnessSlot, kColourfulnessProductSlot, kGoodnessSlot, kInvolutiveSlot,
                             kSemiseparatedSlot, kSeparatedSlot, kResiduatedSlot, kCommutativeSlot, kLinearSlot});
  if (Settings.MaximumEnabled) {
    slots.insert(slots.end(), {kLatticeSlot, kPrelinearSlot, kSupProductDistributivitySlot});
  }
  slots.push_back(kEqualityOverProdEqualitySlot);
  if (Settings.DeltaEnabled) slots.push_back(kDeltaPropertiesSlot);
  return slots;
}

std::string DisplayedCountsJson(TEQAlgebra& algebra) {
  std::string json = "{";
  for (const int slot : DisplayedSlots()) {
    int32_t passed = 0, total = 0;
    (algebra.*CheckOfSlot(slot))(passed, total);
    if (json.size() > 1) json += ", ";
    json += JsonString(algebra.PropertyNames[slot]) + ": [" + std::to_string(passed) + ", " + std::to_string(total) + "]";
  }
  return json + "}";
}
