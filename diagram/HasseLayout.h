#pragma once
// A layered drawing of the lattice of a meet: each element at the height of
// its rank, the covering pairs as edges, an edge that spans several ranks
// bent at one point per rank it passes (so it never runs through an
// element), the order within each rank chosen to keep crossings few
// (LayerOrdering.h), and horizontal places that pull every element towards
// the middle of its neighbours while keeping the order and a least gap.
// A chain comes out straight; planar lattices such as products of two
// chains, N5 and M3 come out without a crossing. Cost: well under a
// millisecond at 28 elements.

#include <vector>

#include "diagram/MeetOrder.h"

struct HasseEdge {
  int Lower = 0;
  int Upper = 0;
  std::vector<double> BendX;  // where the edge passes the ranks between its ends, upwards
};

struct HasseLayout {
  int Size = 0;
  int Height = 0;          // the greatest rank
  std::vector<int> Rank;   // per element (list position): its layer, 0 at the bottom
  std::vector<double> X;   // per element: horizontal place; neighbouring elements lie at least 1 apart
  std::vector<HasseEdge> Edges;  // one per covering pair
  int Crossings = 0;       // pairs of edge pieces that cross
  double Left = 0;         // the least and greatest horizontal place of any element or bend
  double Right = 0;
};

// The drawing of the meet's lattice. Precondition: MeetFault(table) is empty.
HasseLayout LayoutHasse(const MeetTable& table);

// The least gap between horizontal places: between elements, and between an
// element or a bend and a bend of another edge.
inline constexpr double kElementGap = 1.0;
inline constexpr double kBendGap = 0.5;
