#pragma once
// The order behind an algebra's infimum. In a winner `^` is a meet
// (idempotent, commutative, associative), so x <= y when x ^ y = x makes the
// elements a finite lattice; a member of a search that is not a winner may
// break any of these laws, and then there is no order to draw. Elements are
// list positions 0 .. n-1 ("0", "a", ..., "1"); sets of elements are bit
// masks, so everything here is O(n^2) words (O(n^3) for associativity).

#include <cstdint>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"

inline constexpr uint8_t kNoElement = 0xFF;  // a cell whose value is no element of the algebra
inline constexpr int kMaxOrderElements = 64;  // the masks are 64-bit words

struct MeetTable {
  int Size = 0;
  std::string Names;          // the element characters, by list position
  std::vector<uint8_t> Meet;  // x ^ y at x * Size + y: a list position, or kNoElement
};

struct Cover {
  int Lower = 0;
  int Upper = 0;
  bool operator==(const Cover&) const = default;
};

// The infimum as the algebra's lookups read it.
MeetTable MeetOfAlgebra(const TEQAlgebra& algebra);
// A table of positions (as the exchange tables hold them), elements named "0", "a", ..., "1".
MeetTable MeetOfPositions(int n, const std::vector<uint8_t>& meet);

// The first law by which ^ is not a meet, naming the elements that break it
// ("not idempotent: a ^ a = b"), or an empty text when it is a meet.
std::string MeetFault(const MeetTable& table);

// Every pair x < y with nothing strictly between, ordered by lower then upper
// element. Precondition: MeetFault(table) is empty.
std::vector<Cover> CoveringPairs(const MeetTable& table);

// The rank of each element: the length of the longest chain from the least
// element up to it. Precondition: the covers of an order on n elements.
std::vector<int> Ranks(int n, const std::vector<Cover>& covers);

// What a drawing shows instead of the diagram when ^ is not a meet.
std::string NoDiagramText(const std::string& fault);
