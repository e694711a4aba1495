#pragma once
// The work of a count, recorded so that the next run does only what is left.
// A piece names a node of a lattice's search tree by its path; its region is
// the subtree below it without the subtrees of the other recorded pieces
// below it. A count cut short records every piece it carved out, finished
// (with what it found there) or not, so a stop loses only the pieces under
// way, and the record means the same under any plan of units.

#include <cstdint>
#include <functional>
#include <vector>

#include "classes/AlgebraClass.h"
#include "finder/AlgebraSearch.h"
#include "finder/Lattices.h"
#include "finder/WorkPlan.h"
#include "model/Settings.h"

struct RecordedPiece {
  int Lattice = 0;
  std::vector<uint8_t> Path;
  bool Done = false;
  int64_t Classes = 0;   // found in its region (when done)
  BigCount Labelled = 0;
};

// What a recorded piece depends on: the settings that define a winner and
// every lattice's search order (its cells and their candidate values).
uint64_t SearchSpaceFingerprint(const SearchSettings& settings, const std::vector<FiniteLattice>& lattices);

bool PathStartsWith(const std::vector<uint8_t>& path, const std::vector<uint8_t>& prefix);

// The paths still to search below `root`, given the recorded pieces of its
// lattice at or below it, sorted by path. An open piece with recorded pieces
// below it is searched through its children, so its own region is left
// without a leaf. search_of gives the lattice's search, made only then.
std::vector<std::vector<uint8_t>> RegionsLeft(const std::function<AlgebraSearch&()>& search_of,
                                              const std::vector<uint8_t>& root,
                                              const std::vector<const RecordedPiece*>& recorded);

// A unit's work when a count begins, from the pieces an earlier run
// recorded in it.
struct UnitWork {
  std::vector<std::vector<uint8_t>> items;  // the paths to search
  int64_t classes = 0;                      // found by the earlier run
  BigCount labelled = 0;
  std::vector<RecordedPiece> recorded;      // as the earlier run left them
  std::vector<RecordedPiece> carried;       // kept once the unit starts: the done pieces
};

// The work of each of a part's units (unit_ids: indices into the plan, in
// plan order) given the recorded pieces; false when a piece lies in no unit
// of the part, or is recorded twice.
bool WorkOfUnits(const std::vector<WorkUnit>& plan, const std::vector<int64_t>& unit_ids,
                 std::vector<RecordedPiece> recorded, const std::function<AlgebraSearch&(int lattice)>& search_of,
                 std::vector<UnitWork>& work);
