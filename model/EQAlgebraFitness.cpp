// The fitness: the product of the twelve axiom shares and the damped factors
// of the requested optional properties. Every share, factor and partial
// product is a double formed in the fixed order below (the core is built
// without fused multiply-add), so equal algebras get bit-identical fitness.

#include "model/Assert.h"
#include "model/CheckKernels.h"
#include "model/EQAlgebra.h"
#include "model/LookupTables.h"
#include "model/MessagePump.h"
#include "model/Settings.h"

namespace {

double Share(const PropertyResult& counts) {
  return static_cast<double>(counts.Passed) / static_cast<double>(counts.Total);
}

// The colourfulness share: elements attained over the target, capped at 1.
double CappedShare(int32_t attained, int32_t target) {
  return attained < target ? static_cast<double>(attained) / static_cast<double>(target) : 1.0;
}

class FitnessProduct {
 public:
  explicit FitnessProduct(TEQAlgebra& algebra) : algebra_(algebra) {}

  void Axiom(int slot, const CheckOutcome& outcome) {
    algebra_.PropertyResults[slot] = outcome.Counts;
    fitness_ = fitness_ * Share(outcome.Counts);
  }

  // A required property scores its share; a forbidden one costs the full
  // weight only when it holds on every tuple.
  void Optional(int slot, const CheckOutcome& outcome, bool forbidden) {
    algebra_.PropertyResults[slot] = outcome.Counts;
    double share = Share(outcome.Counts);
    if (forbidden) share = share == 1.0 ? 0.0 : 1.0;
    Multiply(share);
  }

  void Colourfulness(int slot, const CheckOutcome& outcome, int32_t target) {
    algebra_.PropertyResults[slot] = outcome.Counts;
    Multiply(CappedShare(outcome.Counts.Passed, target));
  }

  double Value() const { return fitness_; }

 private:
  void Multiply(double share) {
    const double w = Settings.OptionalWeight;
    const double factor = (1.0 - w) + w * share;
    fitness_ = fitness_ * factor;
  }

  TEQAlgebra& algebra_;
  double fitness_ = 1.0;
};

// Runs every scored check on tables already built from the algebra.
double FitnessOn(TEQAlgebra& algebra, const LookupTables& tables) {
  VELMORA_ASSERT(ThisThreadHasSettings(), "a worker thread evaluates before installing its settings block");
  const SearchSettings& s = Settings;
  const bool lattice = s.MaximumEnabled && (s.WantLattice || s.WantNonLattice);
  QuadRows& rows = ScratchQuadRows();
  rows.Prepare(tables, lattice);

  FitnessProduct f(algebra);
  f.Axiom(kAssociativeInfimumSlot, CountAssociativeInfimum(tables));
  f.Axiom(kCommutativeInfimumSlot, CountCommutativeInfimum(tables));
  f.Axiom(kNeutralInfimumSlot, CountNeutralInfimum(tables));
  f.Axiom(kIdempotentInfimumSlot, CountIdempotentInfimum(tables));
  f.Axiom(kIsotoneProductSlot, CountIsotoneProduct(tables));
  f.Axiom(kAssociativeProductSlot, CountAssociativeProduct(tables));
  f.Axiom(kNeutralProductSlot, CountNeutralProduct(tables));
  f.Axiom(kReflexiveFEqualitySlot, CountReflexiveFEquality(tables));
  f.Axiom(kSubstitutionSlot, CountSubstitution(tables, rows));
  f.Axiom(kCongruenceSlot, CountCongruence(tables, rows));
  f.Axiom(kMonotoneImplicationSlot, CountMonotoneImplication(tables));
  f.Axiom(kBoundednessSlot, CountBoundedness(tables));

  if (s.ColorfulnessFEq > 0) {
    f.Colourfulness(kColourfulnessSlot, CountColourfulness(tables, s.ColorfulnessFEq), s.ColorfulnessFEq);
  }
  if (s.ColorfulnessProd > 0) {
    f.Colourfulness(kColourfulnessProductSlot, CountColourfulnessProduct(tables, s.ColorfulnessProd),
                    s.ColorfulnessProd);
  }
  if (s.WantGoodness || s.WantNonGoodness) {
    f.Optional(kGoodnessSlot, CountGoodness(tables), s.WantNonGoodness);
  }
  if (s.WantInvolutive || s.WantNonInvolutive) {
    f.Optional(kInvolutiveSlot, CountInvolutive(tables), s.WantNonInvolutive);
  }
  if (s.WantSemiSeparated || s.WantNonSemiSeparated) {
    f.Optional(kSemiseparatedSlot, CountSemiseparated(tables), s.WantNonSemiSeparated);
  }
  if (s.WantSeparated || s.WantNonSeparated) {
    f.Optional(kSeparatedSlot, CountSeparated(tables), s.WantNonSeparated);
  }
  if (s.WantResiduated || s.WantNonResiduated) {
    f.Optional(kResiduatedSlot, CountResiduated(tables), s.WantNonResiduated);
  }
  if (s.WantCommutative || s.WantNonCommutative) {
    f.Optional(kCommutativeSlot, CountCommutative(tables), s.WantNonCommutative);
  }
  if (s.WantLinear || s.WantNonLinear) {
    f.Optional(kLinearSlot, CountLinear(tables), s.WantNonLinear);
  }
  if (lattice) {
    f.Optional(kLatticeSlot, CountLattice(tables, rows), s.WantNonLattice);
  }
  if (s.MaximumEnabled && (s.WantPrelinear || s.WantNonPrelinear)) {
    f.Optional(kPrelinearSlot, CountPrelinear(tables), s.WantNonPrelinear);
  }
  if (s.MaximumEnabled && s.WantSupProdDistributivity) {
    f.Optional(kSupProductDistributivitySlot, CountSupProductDistributivity(tables), false);
  }
  if (s.WantEqualityOverEqProd) {
    f.Optional(kEqualityOverProdEqualitySlot, CountEqualityOverProdEquality(tables), false);
  }
  if (s.DeltaEnabled) {
    f.Optional(kDeltaPropertiesSlot, CountDeltaProperties(tables, s.MaximumEnabled), false);
  }

  algebra.Fitness = f.Value();
  return algebra.Fitness;
}

}  // namespace

double TEQAlgebra::ComputeFitness() {
  LookupTables& tables = ScratchTables();
  tables.Build(*this);
  return FitnessOn(*this, tables);
}

// The maximum is refreshed on the tables of this very evaluation, so the
// tables are built once: the joins read only the infimum, and the maximum
// table alone is rebuilt after the new values are in.
double TEQAlgebra::Evaluate() {
  LookupTables& tables = ScratchTables();
  tables.Build(*this);
  if (Settings.MaximumEnabled) {
    RecomputeMaximumEntries(*this, tables);
    tables.RebuildMaximum(*this);
  }
  return FitnessOn(*this, tables);
}

void TEQAlgebra::UpdateFitness() {
  Fitness = Evaluate();
  if (Settings.RemoveEqualMembers) BuildCanonicalText();
}

int32_t CompareFitness(const TEQAlgebra& a, const TEQAlgebra& b) {
  PumpMessages();
  const double d = b.Fitness - a.Fitness;
  if (d > 0) return 1;
  if (d < 0) return -1;
  return 0;
}
