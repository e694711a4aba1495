#pragma once
// The Hasse diagram of an algebra's meet as a Graphviz graph: one node per
// element, one edge per covering pair, the elements of each rank in one
// "rank=same" group (drawn bottom to top), and every node's place in
// Velmora's own drawing as a pinned "pos" (so `neato -n2` reproduces it,
// while `dot` lays it out by the ranks itself).

#include <string>

#include "formats/ExchangeTables.h"

// False, with the law that fails, when ^ is not a meet.
bool DotGraph(const std::string& title, const ExchangeTables& tables, std::string& text, std::string& fault);
