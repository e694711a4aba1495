#pragma once
// TEQPopulation: an ordered list of member algebras that it owns.
//
// A slot holds one member or is empty; empty slots exist only for a moment
// (while members are carried over or duplicates removed, before Pack). Moving
// a member out (Take) empties its slot; destroying the population frees the
// members it still holds.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "classes/AlgebraClass.h"
#include "model/EQAlgebra.h"

// The isomorphism class of a winner, recorded when it is collected.
struct WinnerClass {
  std::string Id;              // the class's short id
  BigCount Automorphisms = 1;  // order of its automorphism group
  int FirstWinner = 0;         // index of the first winner of the class (its own index when it opened it)
};

class EvaluationPool;

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
  // Moves the member of slot i out, leaving the slot empty (i must be in range).
  std::unique_ptr<TEQAlgebra> Take(int i) { return std::move(members_.at(static_cast<size_t>(i))); }
  // Frees the member of slot i and empties the slot (i must be in range).
  void Free(int i) { members_.at(static_cast<size_t>(i)).reset(); }
  // Removes the empty slots, keeping the order.
  void Pack();
  // Ranks by descending fitness; members of equal fitness keep their order,
  // so a seed reproduces every run on every platform. The order is decided on
  // the fitness values held when the sort starts, so a member re-evaluated
  // from the message pump mid-sort cannot upset it; the pump runs once per
  // comparison, as CompareFitness does.
  void Sort();

  // Evaluates every member and, while equal members are removed, appends to
  // winners a copy of each member of fitness exactly 1 whose canonical text
  // the winners do not hold yet, in member order. winners may be nullptr; it
  // must not be this population.
  //
  // On one thread (Settings.Threads 1, no pool, or a pool already busy
  // further up the stack) each member is evaluated in turn, with a message
  // pump after each. On more, the members go to the pool in batches, each
  // under a copy of the settings block taken when it starts; the pump runs
  // while a batch is evaluated and between batches. Either way every member
  // gets exactly the fitness and canonical text one thread would give it.
  void EvaluateMembers(TEQPopulation* winners, EvaluationPool* pool = nullptr);
  // Members evaluated so far by the evaluation under way (or the last one).
  int EvaluatedCount() const { return evaluated_; }

  // --- The winners' side -------------------------------------------------
  // A population of winners grows only through CollectWinner and
  // AddWinnerCopy, which keep a hash index of the canonical texts and the
  // class of every member beside the members, so looking a text or a class
  // up costs no scan. Members' canonical texts never change in place.

  // Whether a member with exactly this canonical text is held.
  bool HoldsCanonicalText(const std::string& text);
  // Appends a copy of member (CopyFrom plus its canonical text) and records its class.
  void AddWinnerCopy(const TEQAlgebra& member);
  // Offers a winner whose canonical text is not held: appended as by
  // AddWinnerCopy, except that while Settings.OnePerClass is on a winner of
  // a class already held is left out. Returns whether it was appended.
  bool CollectWinner(const TEQAlgebra& member);
  // The class of member i, or nullptr for an empty slot or an index out of range.
  const WinnerClass* ClassOfWinner(int i) const;
  // The number of distinct classes among the members.
  int ClassCount() const;

 private:
  void RebuildCanonicalIndex();
  void AppendWinner(const TEQAlgebra& member, const AlgebraClass& algebra_class);
  void RecordClass(const AlgebraClass& algebra_class) const;
  // Classifies the members again when they changed other than through the
  // two collecting calls.
  void RebuildClassIndex() const;
  // Offers member to winners (CollectWinner) when it is a winner whose
  // canonical text they do not hold yet.
  void OfferWinner(const TEQAlgebra& member, bool remove_equal, TEQPopulation* winners) const;
  void EvaluateInBatches(TEQPopulation* winners, EvaluationPool& pool, int threads);
  // Whether the evaluation of these members is shared out among threads.
  bool WorthSharing() const;

  std::vector<std::unique_ptr<TEQAlgebra>> members_;
  std::unordered_set<std::string> canonical_index_;  // canonical texts of the members
  int indexed_count_ = 0;  // Count() when the index was last made complete

  mutable std::vector<WinnerClass> classes_;                     // class of member i at i
  mutable std::unordered_map<std::string, int> first_of_class_;  // class key -> first member of the class
  mutable int classified_count_ = 0;                             // Count() when classes_ was last complete
  std::unordered_set<std::string> left_out_;  // canonical texts of winners left out as of a held class
  int evaluated_ = 0;
};

// Populations are shared: the search hands them out as shared pointers and a
// holder (the window browsing one) keeps it alive until it lets go.
using PopulationPtr = std::shared_ptr<TEQPopulation>;
