// The winners' classes, and collecting one winner per class.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "classes/AlgebraClass.h"
#include "genetic/EQGenerations.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

struct SearchRun {
  std::vector<std::string> trajectory;  // every member of every generation
  std::vector<std::string> winners;     // canonical texts, in winner order
  std::vector<WinnerClass> classes;     // ClassOfWinner of each winner
  int class_count = 0;
};

SearchRun Search(uint32_t seed, int steps, int32_t n, bool one_per_class) {
  Settings.OnePerClass = one_per_class;
  RandSeed(seed);
  TEQGenerations driver(n, Settings.PopulationLimit);
  SearchRun run;
  for (int s = 0; s < steps; ++s) {
    driver.Step();
    const TEQPopulation& current = *driver.FCurrent();
    for (int i = 0; i < current.Count(); ++i) {
      run.trajectory.push_back(std::to_string(current.Get(i)->Fitness) + current.Get(i)->CanonicalText);
    }
  }
  const TEQPopulation& winners = *driver.FWinners();
  for (int i = 0; i < winners.Count(); ++i) {
    run.winners.push_back(winners.Get(i)->CanonicalText);
    run.classes.push_back(*winners.ClassOfWinner(i));
  }
  run.class_count = winners.ClassCount();
  return run;
}

// Off, every distinct winner is collected and each knows the first winner
// of its class; on, the search runs exactly the same and keeps the first of
// each class only.
TEST(WinnerClasses, OnePerClassKeepsTheFirstWinnerOfEachClassAndTheSameRun) {
  // Seeds whose four-element runs meet some class twice.
  for (const auto& [delta, seed] : {std::pair{false, 2u}, std::pair{true, 1u}}) {
    ProcessStateGuard guard;
    Settings.PopulationLimit = 120;
    Settings.DeltaEnabled = delta;
    Settings.UpdateGeneCount();
    const SearchRun all = Search(seed, 60, 4, false);
    const SearchRun one = Search(seed, 60, 4, true);
    EXPECT_EQ(one.trajectory, all.trajectory);

    std::vector<std::string> expected;
    std::set<std::string> ids;
    for (size_t i = 0; i < all.winners.size(); ++i) {
      const int first = all.classes[i].FirstWinner;
      ASSERT_LE(first, static_cast<int>(i));
      EXPECT_EQ(all.classes[static_cast<size_t>(first)].Id, all.classes[i].Id);
      EXPECT_EQ(all.classes[static_cast<size_t>(first)].FirstWinner, first);
      EXPECT_EQ(all.classes[i].Automorphisms, all.classes[static_cast<size_t>(first)].Automorphisms);
      if (first == static_cast<int>(i)) {
        expected.push_back(all.winners[i]);
        EXPECT_TRUE(ids.insert(all.classes[i].Id).second) << "two classes with one id";
      } else {
        EXPECT_EQ(ids.count(all.classes[i].Id), 1u);
      }
    }
    ASSERT_GT(expected.size(), 1u) << "four-element searches find several classes";
    ASSERT_LT(expected.size(), all.winners.size()) << "and some class twice";
    EXPECT_EQ(all.class_count, static_cast<int>(expected.size()));
    EXPECT_EQ(one.winners, expected);
    EXPECT_EQ(one.class_count, static_cast<int>(one.winners.size()));
    for (size_t i = 0; i < one.classes.size(); ++i) EXPECT_EQ(one.classes[i].FirstWinner, static_cast<int>(i));
  }
}

TEST(WinnerClasses, ClassesFollowMembersAddedOtherwise) {
  ProcessStateGuard guard;
  Settings.ElementCount = 4;
  TEQPopulation winners;
  EXPECT_EQ(winners.ClassOfWinner(0), nullptr);
  EXPECT_EQ(winners.ClassCount(), 0);
  auto a = TwoElementAlgebra('0');
  a->CanonicalText = "a";
  winners.AddWinnerCopy(*a);
  auto b = std::make_unique<TEQAlgebra>(*a);
  b->CanonicalText = "b";
  winners.Add(std::move(b));  // not through the collecting calls
  ASSERT_NE(winners.ClassOfWinner(1), nullptr);
  EXPECT_EQ(winners.ClassOfWinner(1)->FirstWinner, 0);
  EXPECT_EQ(winners.ClassOfWinner(1)->Id, ClassifyAlgebra(*a).Id);
  EXPECT_EQ(winners.ClassCount(), 1);
  EXPECT_EQ(winners.ClassOfWinner(2), nullptr);

  Settings.OnePerClass = true;
  auto c = TwoElementAlgebra('0');
  c->CanonicalText = "c";
  EXPECT_FALSE(winners.CollectWinner(*c));
  auto d = TwoElementAlgebra('1');
  d->CanonicalText = "d";
  EXPECT_TRUE(winners.CollectWinner(*d));
  EXPECT_EQ(winners.ClassCount(), 2);
}

}  // namespace
