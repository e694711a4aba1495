#include "finder/RecordedWork.h"

#include <algorithm>

#include "finder/AxiomJudge.h"

namespace {

using Pieces = std::vector<const RecordedPiece*>;

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
  uint64_t hash = WinnerSettingsFingerprint(s);
  const auto mix = [&](uint64_t v) { hash = (hash ^ v) * 1099511628211ull; };
  mix(lattices.size());
  for (const FiniteLattice& lattice : lattices) mix(SearchOrderFingerprint(lattice, s));
  return hash;
}

std::vector<std::vector<uint8_t>> RegionsLeft(const std::function<AlgebraSearch&()>& search_of,
                                              const std::vector<uint8_t>& root, const Pieces& recorded) {
  std::vector<std::vector<uint8_t>> left;
  Walk(search_of, root, recorded, 0, recorded.size(), left);
  return left;
}
