#include "WinnerClassBook.h"

#include "AlgebraClass.h"

void WinnerClassBook::CatchUp(const PopulationPtr& winners) {
  // A freed population's address may come back for its successor; the weak
  // reference tells them apart.
  const PopulationPtr known = population_.lock();
  if (known != winners || (winners && winners->Count() < WinnerCount())) {
    population_ = winners;
    entries_.clear();
    first_by_key_.clear();
  }
  if (!winners) return;
  for (int i = WinnerCount(); i < winners->Count(); ++i) {
    Entry entry;
    if (const TEQAlgebra* winner = winners->Get(i)) {
      AlgebraClass algebra_class = ClassifyAlgebra(*winner);
      entry.id = std::move(algebra_class.Id);
      entry.first_of_class = first_by_key_.try_emplace(std::move(algebra_class.Key), i).first->second;
    }
    entries_.push_back(std::move(entry));
  }
}

const WinnerClassBook::Entry* WinnerClassBook::At(int index) const {
  return index >= 0 && index < WinnerCount() ? &entries_[static_cast<size_t>(index)] : nullptr;
}
