#pragma once
// Lattices for the diagram tests, built from their order straight from the
// definitions (slow and obvious): chains, products of chains, M_k, N5,
// Boolean lattices; and the brute-force covering relation and ranks the
// fast ones are compared with.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "diagram/MeetOrder.h"

namespace lattices {

using Leq = std::function<bool(int, int)>;

// The meet of an order on 0 .. n-1 with a least element 0 and greatest n-1:
// the greatest common lower bound, found by trying every element.
inline MeetTable OfOrder(int n, const Leq& leq) {
  std::vector<uint8_t> meet(n * n, kNoElement);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y)
      for (int z = 0; z < n; ++z) {
        if (!leq(z, x) || !leq(z, y)) continue;
        bool greatest = true;
        for (int w = 0; w < n && greatest; ++w) greatest = !(leq(w, x) && leq(w, y)) || leq(w, z);
        if (greatest) meet[x * n + y] = static_cast<uint8_t>(z);
      }
  return MeetOfPositions(n, meet);
}

inline MeetTable Chain(int n) {
  return OfOrder(n, [](int x, int y) { return x <= y; });
}

// The product of a chain of a and one of b elements; (i, j) is element i * b + j.
inline MeetTable ChainProduct(int a, int b) {
  return OfOrder(a * b, [b](int x, int y) { return x / b <= y / b && x % b <= y % b; });
}

// 0, then k pairwise incomparable atoms, then 1.
inline MeetTable M(int k) {
  const int top = k + 1;
  return OfOrder(k + 2, [top](int x, int y) { return x == y || x == 0 || y == top; });
}

// 0 < a < b < 1 and 0 < c < 1 with c incomparable to a and b.
inline MeetTable N5() {
  return OfOrder(5, [](int x, int y) { return x == y || x == 0 || y == 4 || (x == 1 && y == 2); });
}

// The subsets of a k-element set, in binary counting order.
inline MeetTable Boolean(int k) {
  return OfOrder(1 << k, [](int x, int y) { return (x & ~y) == 0; });
}

// x <= y read off the meet.
inline bool Below(const MeetTable& t, int x, int y) { return t.Meet[x * t.Size + y] == x; }

// Every x < y with no z strictly between, by trying every z.
inline std::vector<Cover> BruteCovers(const MeetTable& t) {
  std::vector<Cover> covers;
  for (int x = 0; x < t.Size; ++x)
    for (int y = 0; y < t.Size; ++y) {
      if (x == y || !Below(t, x, y)) continue;
      bool between = false;
      for (int z = 0; z < t.Size; ++z) between |= z != x && z != y && Below(t, x, z) && Below(t, z, y);
      if (!between) covers.push_back({x, y});
    }
  return covers;
}

// The longest chain from the least element to each element, by trying
// chains of every length (relaxing over all pairs n times).
inline std::vector<int> BruteRanks(const MeetTable& t) {
  std::vector<int> rank(t.Size, 0);
  for (int round = 0; round < t.Size; ++round)
    for (int x = 0; x < t.Size; ++x)
      for (int y = 0; y < t.Size; ++y)
        if (x != y && Below(t, x, y)) rank[y] = std::max(rank[y], rank[x] + 1);
  return rank;
}

// The same lattice with its elements renamed by a permutation that keeps
// 0 first and the top last (as a winner's inner elements may lie in any order).
inline MeetTable Relabelled(const MeetTable& t, std::mt19937& rng) {
  const int n = t.Size;
  std::vector<int> image(n);
  for (int i = 0; i < n; ++i) image[i] = i;
  if (n > 3) std::shuffle(image.begin() + 1, image.end() - 1, rng);
  std::vector<uint8_t> meet(n * n);
  for (int x = 0; x < n; ++x)
    for (int y = 0; y < n; ++y) meet[image[x] * n + image[y]] = static_cast<uint8_t>(image[t.Meet[x * n + y]]);
  return MeetOfPositions(n, meet);
}

}  // namespace lattices
