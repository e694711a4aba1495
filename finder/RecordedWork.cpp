#include "finder/RecordedWork.h"

#include <algorithm>

#include "finder/AxiomJudge.h"
#include "finder/Fingerprint.h"

namespace {

using Pieces = std::vector<const RecordedPiece*>;

bool Before(const RecordedPiece& a, const RecordedPiece& b) {
  return a.Lattice != b.Lattice ? a.Lattice < b.Lattice : a.Path < b.Path;
}

// The unit that holds a piece: the last unit not after it in search order.
size_t UnitHolding(const std::vector<WorkUnit>& plan, const RecordedPiece& piece) {
  const auto after = std::upper_bound(plan.begin(), plan.end(), piece, [](const RecordedPiece& p, const WorkUnit& u) {
    return p.Lattice != u.Lattice ? p.Lattice < u.Lattice : p.Path < u.Path;
  });
  if (after == plan.begin()) return plan.size();
  const size_t u = static_cast<size_t>(after - plan.begin()) - 1;
  return plan[u].Lattice == piece.Lattice && PathStartsWith(piece.Path, plan[u].Path) ? u : plan.size();
}

// The end of the run of pieces from `begin` on that lie at or below `path`
// (sorted paths keep a subtree's pieces together).
size_t EndOfSubtree(const Pieces& recorded, size_t begin, size_t end, const std::vector<uint8_t>& path) {
  while (begin < end && PathStartsWith(recorded[begin]->Path, path)) ++begin;
  return begin;
}

void Walk(const std::function<AlgebraSearch&()>& search, const std::vector<uint8_t>& node, const Pieces& recorded, size_t begin, size_t end,
          std::vector<std::vector<uint8_t>>& left) {
  const RecordedPiece* self = begin < end && recorded[begin]->Path == node ? recorded[begin] : nullptr;
  const size_t below = self ? begin + 1 : begin;
  if (below == end) {
    if (!self || !self->Done) left.push_back(node);
    return;
  }
  if (self && self->Done) {  // done but for the pieces below it: each is a region of its own
    for (size_t i = below; i < end;) {
      const size_t j = EndOfSubtree(recorded, i, end, recorded[i]->Path);
      Walk(search, recorded[i]->Path, recorded, i, j, left);
      i = j;
    }
    return;
  }
  // Open, or not recorded, with pieces below: searched through its children,
  // so every leaf below it falls in a recorded piece or a new one. Children
  // the search prunes hold no leaf, nor do the pieces below them.
  size_t i = below;
  for (const std::vector<uint8_t>& child : search().ChildPaths(node)) {
    while (i < end && recorded[i]->Path < child) ++i;
    const size_t j = EndOfSubtree(recorded, i, end, child);
    Walk(search, child, recorded, i, j, left);
    i = j;
  }
}

}  // namespace

bool PathStartsWith(const std::vector<uint8_t>& path, const std::vector<uint8_t>& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

uint64_t SearchSpaceFingerprint(const SearchSettings& s, const std::vector<FiniteLattice>& lattices) {
  Fingerprint space = Fingerprint::Continuing(WinnerSettingsFingerprint(s));
  space.Mix(lattices.size());
  for (const FiniteLattice& lattice : lattices) space.Mix(SearchOrderFingerprint(lattice, s));
  return space.Value();
}

std::vector<std::vector<uint8_t>> RegionsLeft(const std::function<AlgebraSearch&()>& search_of,
                                              const std::vector<uint8_t>& root, const Pieces& recorded) {
  std::vector<std::vector<uint8_t>> left;
  Walk(search_of, root, recorded, 0, recorded.size(), left);
  return left;
}

bool WorkOfUnits(const std::vector<WorkUnit>& plan, const std::vector<int64_t>& unit_ids,
                 std::vector<RecordedPiece> recorded, const std::function<AlgebraSearch&(int lattice)>& search_of,
                 std::vector<UnitWork>& work) {
  work.assign(unit_ids.size(), UnitWork{});
  std::sort(recorded.begin(), recorded.end(), Before);
  std::vector<size_t> position(plan.size(), unit_ids.size());
  for (size_t k = 0; k < unit_ids.size(); ++k) position[unit_ids[k]] = k;
  std::vector<size_t> holder(recorded.size());
  for (size_t i = 0; i < recorded.size(); ++i) {
    const size_t u = UnitHolding(plan, recorded[i]);
    if (u == plan.size() || position[u] == unit_ids.size() || (i > 0 && !Before(recorded[i - 1], recorded[i]))) {
      return false;
    }
    holder[i] = position[u];
  }
  for (size_t i = 0; i < recorded.size(); ++i) work[holder[i]].recorded.push_back(std::move(recorded[i]));
  for (size_t k = 0; k < unit_ids.size(); ++k) {
    UnitWork& unit_work = work[k];
    const WorkUnit& unit = plan[unit_ids[k]];
    Pieces pieces;
    for (const RecordedPiece& piece : unit_work.recorded) pieces.push_back(&piece);
    unit_work.items = RegionsLeft([&]() -> AlgebraSearch& { return search_of(unit.Lattice); }, unit.Path, pieces);
    for (const RecordedPiece& piece : unit_work.recorded) {
      if (!piece.Done) continue;
      unit_work.classes += piece.Classes;
      unit_work.labelled += piece.Labelled;
      unit_work.carried.push_back(piece);
    }
  }
  return true;
}
