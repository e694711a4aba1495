// The meet laws and the covering relation, on bit masks of list positions.

#include "diagram/MeetOrder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <numeric>


namespace {

std::string NameOf(const MeetTable& t, uint8_t position) {
  return position < t.Size ? std::string(1, t.Names[position]) : std::string("no element");
}

std::string MeetText(const MeetTable& t, int x, int y) {
  return NameOf(t, static_cast<uint8_t>(x)) + " ^ " + NameOf(t, static_cast<uint8_t>(y));
}

// below[y]: the elements strictly below y.
std::vector<uint64_t> StrictlyBelow(const MeetTable& t) {
  const int n = t.Size;
  std::vector<uint64_t> below(n, 0);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      if (x != y && t.Meet[x * n + y] == x) below[y] |= uint64_t{1} << x;
  return below;
}

}  // namespace

MeetTable MeetOfAlgebra(const TEQAlgebra& algebra) {
  MeetTable t;
  t.Size = std::clamp(algebra.Size, 0, kMaxElements);
  t.Names.assign(algebra.ElementList.begin(), algebra.ElementList.begin() + t.Size);
  std::array<int, 256> position;
  position.fill(-1);
  for (int p = t.Size - 1; p >= 0; --p) position[static_cast<uint8_t>(t.Names[p])] = p;
  t.Meet.assign(static_cast<size_t>(t.Size) * t.Size, kNoElement);
  for (int x = 0; x < t.Size; ++x)
    for (int y = 0; y < t.Size; ++y) {
      const int p = position[static_cast<uint8_t>(algebra.Infimum(t.Names[x], t.Names[y]))];
      if (p >= 0) t.Meet[x * t.Size + y] = static_cast<uint8_t>(p);
    }
  return t;
}

MeetTable MeetOfPositions(int n, const std::vector<uint8_t>& meet) {
  MeetTable t;
  t.Size = n;
  for (int p = 0; p < n; ++p) t.Names += ElementName(p, n);
  t.Meet = meet;
  return t;
}

std::string MeetFault(const MeetTable& t) {
  const int n = t.Size;
  if (n < 1 || n > kMaxOrderElements) return "the element count " + std::to_string(n) + " is out of range";
  const auto meet = [&t, n](int x, int y) { return t.Meet[x * n + y]; };
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      if (meet(x, y) >= n) return "not closed: " + MeetText(t, x, y) + " is no element";
  for (int x = 0; x < n; ++x)
    if (meet(x, x) != x) return "not idempotent: " + MeetText(t, x, x) + " = " + NameOf(t, meet(x, x));
  for (int x = 0; x < n; ++x)
    for (int y = x + 1; y < n; ++y)
      if (meet(x, y) != meet(y, x)) {
        return "not commutative: " + MeetText(t, x, y) + " = " + NameOf(t, meet(x, y)) + " but " +
               MeetText(t, y, x) + " = " + NameOf(t, meet(y, x));
      }
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      for (int z = 0; z < n; ++z) {
        const uint8_t left = meet(meet(x, y), z), right = meet(x, meet(y, z));
        if (left != right) {
          return "not associative: (" + MeetText(t, x, y) + ") ^ " + NameOf(t, static_cast<uint8_t>(z)) + " = " +
                 NameOf(t, left) + " but " + NameOf(t, static_cast<uint8_t>(x)) + " ^ (" + MeetText(t, y, z) +
                 ") = " + NameOf(t, right);
        }
      }
  return {};
}

std::vector<Cover> CoveringPairs(const MeetTable& t) {
  assert(MeetFault(t).empty());
  const int n = t.Size;
  const std::vector<uint64_t> below = StrictlyBelow(t);
  std::vector<Cover> covers;
  // x is covered by y when x < y and no element below y lies above x.
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) {
      if ((below[y] >> x & 1) == 0) continue;
      bool between = false;
      for (uint64_t rest = below[y] & ~(uint64_t{1} << x); rest != 0 && !between; rest &= rest - 1) {
        const int z = __builtin_ctzll(rest);
        between = (below[z] >> x & 1) != 0;
      }
      if (!between) covers.push_back({x, y});
    }
  return covers;
}

std::vector<int> Ranks(int n, const std::vector<Cover>& covers) {
  // Longest paths in the cover graph, relaxed in an order where every lower
  // element comes first (fewer elements below it).
  std::vector<int> below_count(n, 0);
  std::vector<std::vector<int>> ups(n);
  for (const Cover& c : covers) ups[c.Lower].push_back(c.Upper);
  std::vector<uint64_t> down(n, 0);
  for (int x = 0; x < n; ++x) down[x] = uint64_t{1} << x;
  // Down-sets by repeated propagation (n rounds at most; n <= 64).
  for (bool changed = true; changed;) {
    changed = false;
    for (const Cover& c : covers) {
      const uint64_t merged = down[c.Upper] | down[c.Lower];
      if (merged != down[c.Upper]) {
        down[c.Upper] = merged;
        changed = true;
      }
    }
  }
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&down](int a, int b) { return __builtin_popcountll(down[a]) < __builtin_popcountll(down[b]); });
  std::vector<int> rank(n, 0);
  for (const int x : order)
    for (const int y : ups[x]) rank[y] = std::max(rank[y], rank[x] + 1);
  return rank;
}

std::string NoDiagramText(const std::string& fault) {
  return "No Hasse diagram: the infimum is not a meet (" + fault + ")";
}
