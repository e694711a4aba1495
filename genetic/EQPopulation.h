#pragma once
// TEQPopulation: an ordered list of member algebras that it owns.
//
// A slot holds one member or is empty; empty slots exist only for a moment
// (while members are carried over or duplicates removed, before Pack). Moving
// a member out (Take) empties its slot; destroying the population frees the
// members it still holds.

#include <cstdint>
#include <memory>
#include <vector>

#include "EQAlgebra.h"

class TEQPopulation {
 public:
  int32_t FElementCount = 0;  // element count of the members

  int Count() const { return static_cast<int>(members_.size()); }
  bool Empty() const { return members_.empty(); }
  // The member in slot i, or nullptr for an empty slot or an index out of range.
  TEQAlgebra* Get(int i) const {
    return i >= 0 && i < Count() ? members_[static_cast<size_t>(i)].get() : nullptr;
  }
  void Add(std::unique_ptr<TEQAlgebra> member) { members_.push_back(std::move(member)); }
  // Moves the member of slot i out, leaving the slot empty.
  std::unique_ptr<TEQAlgebra> Take(int i) { return std::move(members_.at(static_cast<size_t>(i))); }
  // Frees the member of slot i and empties the slot.
  void Free(int i) { members_.at(static_cast<size_t>(i)).reset(); }
  // Removes the empty slots, keeping the order.
  void Pack();
  // Ranks by descending fitness with CompareFitness; members of equal fitness
  // keep their order, so a seed reproduces every run on every platform.
  void Sort();

  // Evaluates every member in order (UpdateFitness) and, while equal members
  // are removed, appends a copy of each new member of fitness exactly 1 whose
  // canonical text the winners do not hold yet. winners may be nullptr.
  void EvaluateMembers(TEQPopulation* winners);

 private:
  std::vector<std::unique_ptr<TEQAlgebra>> members_;
};

// Populations are shared: the search hands them out as shared pointers and a
// holder (the window browsing one) keeps it alive until it lets go.
using PopulationPtr = std::shared_ptr<TEQPopulation>;
