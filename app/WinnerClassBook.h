#pragma once
// The isomorphism classes of the winners, in the order the winners were
// found: for each winner its class id and the first winner of its class.
// Winners only ever grow at the end, so each one is classified once.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "EQPopulation.h"

class WinnerClassBook {
 public:
  struct Entry {
    std::string id;          // the class's short id; empty for an empty slot
    int first_of_class = -1; // the index of the first winner of the class (its own when new)
  };

  // Classifies the members not seen yet, under this thread's settings. Another
  // population than last time (a reset made a new one) starts the book over.
  void CatchUp(const PopulationPtr& winners);

  int WinnerCount() const { return static_cast<int>(entries_.size()); }
  int ClassCount() const { return static_cast<int>(first_by_key_.size()); }
  // The entry of winner index, or nullptr when it is not classified.
  const Entry* At(int index) const;

 private:
  std::weak_ptr<TEQPopulation> population_;
  std::vector<Entry> entries_;
  std::unordered_map<std::string, int> first_by_key_;
};
