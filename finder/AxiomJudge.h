#pragma once
// The twelve axioms judged on the finder's complete index tables, stopping at
// the first failing instance. A failing axiom gives a share below 1 and so a
// fitness below 1 whatever else is asked; when nothing beyond the axioms
// counts in the fitness, their holding is exactly a fitness of 1.

#include <cstdint>

#include "finder/Lattices.h"
#include "model/Settings.h"

// prod and eq hold x * y and x ~ y at x * n + y for every pair. The infimum
// laws, the neutral product and reflexivity hold by construction and are not
// judged.
bool TwelveAxiomsHold(const FiniteLattice& lattice, const uint8_t* prod, const uint8_t* eq);

// The optional factors that count in the fitness under the settings, as a
// bit per property slot above the axioms' (colourfulness, the properties,
// delta's laws); 0 when none counts (or their weight is 0).
uint32_t OptionalFactorsThatCount(const SearchSettings& settings);

// True when the fitness is the product of the twelve axiom shares alone.
inline bool OnlyAxiomsCount(const SearchSettings& settings) { return OptionalFactorsThatCount(settings) == 0; }

// A fingerprint of the settings that define a winner: the element count,
// delta and the maximum, the weight, both colourfulness targets and every
// required or forbidden property.
uint64_t WinnerSettingsFingerprint(const SearchSettings& settings);
