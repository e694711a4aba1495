// Splitting a run: parts planned by estimated work are disjoint and together
// the whole run for every part count, whatever the thread count; a run cut
// short reports the units it finished, and a run resumed from them gives the
// same classes as one never interrupted.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "FinderTestHelpers.h"
#include "finder/Lattices.h"
#include "finder/WorkPlan.h"

using namespace finder_test;

namespace {

SearchSettings DeltaMax(int n) {
  SearchSettings s = SettingsOf(n);
  s.DeltaEnabled = s.MaximumEnabled = true;
  s.UpdateGeneCount();
  return s;
}

Collected Resumed(const SearchSettings& s, FinderMode mode, const std::vector<FinishedUnit>& done, uint64_t plan,
                  int part = 0, int parts = 1, PartialUnit partial = {}) {
  FinderOptions options;
  options.Settings = s;
  options.Mode = mode;
  options.Threads = 2;
  options.PartIndex = part;
  options.PartCount = parts;
  options.Resumed = done;
  options.ResumedPlan = plan;
  options.ResumedPartial = partial;
  return Collect(options);
}

}  // namespace

// The classes of N parts (N = 1, 4) are those of the whole run, once each;
// the counts of N parts (N = 1, 4, 64) add up to the whole.
TEST(FinderParts, UnionOfNPartsIsTheWholeRun) {
  const SearchSettings cases[] = {SettingsOf(5), GoodResiduated(6), DeltaMax(4)};
  for (const SearchSettings& s : cases) {
    const Collected whole = Collect(s, FinderMode::All, 1);
    ASSERT_TRUE(whole.summary.Complete);
    const std::vector<std::string> texts = CanonicalTexts(whole);
    const std::set<std::string> expected(texts.begin(), texts.end());
    for (int parts : {1, 4, 64}) {
      SCOPED_TRACE(std::to_string(s.ElementCount) + " elements, " + std::to_string(parts) + " parts");
      std::set<std::string> united;
      int64_t classes = 0, units = 0;
      BigCount labelled = 0;
      uint64_t plan = 0;
      for (int k = 0; k < parts; ++k) {
        const bool listed = parts < 64;
        const Collected part = Collect(s, listed ? FinderMode::All : FinderMode::Count, 1 + k % 2, k, parts);
        EXPECT_TRUE(part.summary.Complete);
        if (k > 0) {
          EXPECT_EQ(part.summary.Plan, plan) << "every part sees the same plan";
        }
        plan = part.summary.Plan;
        classes += part.summary.Classes;
        labelled += part.summary.Labelled;
        units += part.summary.Units;
        if (!listed) continue;
        EXPECT_EQ(part.summary.Classes, static_cast<int64_t>(part.classes.size()));
        for (const std::string& text : CanonicalTexts(part)) EXPECT_TRUE(united.insert(text).second) << text;
      }
      EXPECT_EQ(classes, whole.summary.Classes);
      EXPECT_EQ(static_cast<uint64_t>(labelled), static_cast<uint64_t>(whole.summary.Labelled));
      EXPECT_GE(units, parts) << "no part is left without work";
      if (parts < 64) {
        EXPECT_TRUE(united == expected);
      }
    }
  }
}

// Resuming from any set of finished units: the classes of the others, in
// the same order, and the same totals.
TEST(FinderParts, AResumedRunAddsUpToTheWholeRun) {
  const SearchSettings s = GoodResiduated(6);
  for (int parts : {1, 3}) {
    for (int k = 0; k < parts; ++k) {
      const Collected whole = Collect(s, FinderMode::All, 2, k, parts);
      ASSERT_EQ(static_cast<int64_t>(whole.summary.Finished.size()), whole.summary.Units);
      std::vector<FinishedUnit> leading, every_other;
      int64_t leading_classes = 0;
      for (size_t i = 0; i < whole.summary.Finished.size(); ++i) {
        if (i < whole.summary.Finished.size() / 2) {
          leading.push_back(whole.summary.Finished[i]);
          leading_classes += whole.summary.Finished[i].Classes;
        }
        if (i % 2 == 1) every_other.push_back(whole.summary.Finished[i]);
      }
      // In order: the classes after the leading units, numbered on from them.
      const Collected rest = Resumed(s, FinderMode::All, leading, whole.summary.Plan, k, parts);
      EXPECT_TRUE(rest.summary.Complete);
      EXPECT_EQ(rest.summary.Classes, whole.summary.Classes);
      ASSERT_EQ(static_cast<int64_t>(rest.classes.size()), whole.summary.Classes - leading_classes);
      for (size_t i = 0; i < rest.classes.size(); ++i) {
        EXPECT_EQ(rest.classes[i].Index, leading_classes + static_cast<int64_t>(i));
        EXPECT_EQ(rest.classes[i].Algebra->CanonicalText, whole.classes[leading_classes + i].Algebra->CanonicalText);
      }
      const Collected counted = Resumed(s, FinderMode::Count, every_other, whole.summary.Plan, k, parts);
      EXPECT_TRUE(counted.summary.Complete);
      EXPECT_EQ(counted.summary.Classes, whole.summary.Classes);
      EXPECT_EQ(static_cast<uint64_t>(counted.summary.Labelled), static_cast<uint64_t>(whole.summary.Labelled));
    }
  }
}

TEST(FinderParts, ARunStoppedThenResumedCountsTheSame) {
  const SearchSettings s = SettingsOf(5);
  const Collected whole = Collect(s, FinderMode::All);
  FinderOptions options;
  options.Settings = s;
  options.Threads = 2;
  std::atomic<bool> stop{false};
  std::vector<FoundClass> seen;
  // Stopped within a unit: the summary tells how many of its classes were
  // handed out, and the resumed run hands out exactly the rest.
  const FinderSummary cut = RunExactFinder(
      options,
      [&](const FoundClass& c) {
        seen.push_back(c);
        stop = seen.size() >= 1000 && c.InUnit >= 1;
      },
      {}, stop);
  ASSERT_FALSE(cut.Complete);
  ASSERT_LT(static_cast<int64_t>(cut.Finished.size()), cut.Units);
  ASSERT_EQ(cut.Partial.Unit, seen.back().Unit);
  EXPECT_EQ(cut.Partial.Classes, seen.back().InUnit + 1);
  int64_t finished_classes = 0;
  for (const FinishedUnit& unit : cut.Finished) finished_classes += unit.Classes;
  EXPECT_EQ(finished_classes + cut.Partial.Classes, static_cast<int64_t>(seen.size()));
  const Collected rest = Resumed(s, FinderMode::All, cut.Finished, cut.Plan, 0, 1, cut.Partial);
  EXPECT_TRUE(rest.summary.Complete);
  EXPECT_EQ(rest.summary.Classes, whole.summary.Classes);
  EXPECT_EQ(static_cast<uint64_t>(rest.summary.Labelled), static_cast<uint64_t>(whole.summary.Labelled));
  ASSERT_EQ(seen.size() + rest.classes.size(), whole.classes.size());
  for (size_t i = 0; i < rest.classes.size(); ++i) {
    ASSERT_EQ(rest.classes[i].Index, static_cast<int64_t>(seen.size() + i));
    EXPECT_EQ(rest.classes[i].Algebra->CanonicalText, whole.classes[seen.size() + i].Algebra->CanonicalText);
  }
  // Counting sums whole units: the finished ones are enough to resume.
  const Collected counted = Resumed(s, FinderMode::Count, cut.Finished, cut.Plan);
  EXPECT_TRUE(counted.summary.Complete);
  EXPECT_EQ(counted.summary.Classes, whole.summary.Classes);
  EXPECT_EQ(static_cast<uint64_t>(counted.summary.Labelled), static_cast<uint64_t>(whole.summary.Labelled));
  // A partial unit that is also finished, or given to a count, is refused.
  std::vector<FinishedUnit> with_partial = cut.Finished;
  with_partial.push_back({cut.Partial.Unit, cut.Partial.Classes, 1});
  EXPECT_TRUE(Resumed(s, FinderMode::All, with_partial, cut.Plan, 0, 1, cut.Partial).summary.ResumeRefused);
  EXPECT_TRUE(Resumed(s, FinderMode::Count, cut.Finished, cut.Plan, 0, 1, cut.Partial).summary.ResumeRefused);
}

TEST(FinderParts, UnitsOfAnotherPlanOrPartAreRefused) {
  const SearchSettings s = GoodResiduated(5);
  const Collected part = Collect(s, FinderMode::Count, 2, 0, 2);
  ASSERT_FALSE(part.summary.Finished.empty());
  const std::vector<FinishedUnit> one = {part.summary.Finished.front()};
  EXPECT_TRUE(Resumed(s, FinderMode::Count, one, part.summary.Plan + 1, 0, 2).summary.ResumeRefused);
  EXPECT_TRUE(Resumed(s, FinderMode::Count, one, part.summary.Plan, 1, 2).summary.ResumeRefused);
  EXPECT_TRUE(Resumed(s, FinderMode::Count, {one[0], one[0]}, part.summary.Plan, 0, 2).summary.ResumeRefused);
  EXPECT_FALSE(Resumed(s, FinderMode::Count, one, part.summary.Plan, 0, 2).summary.ResumeRefused);
}

// A count stopped (at its first progress report, twice) while its units
// split themselves into pieces: the pieces recorded, finished or not, resume
// to the whole count, under the same plan and under another plan (one unit
// per lattice). A record of another search space, or with a piece twice, is
// refused. The count takes seconds here, so that the first stop comes well
// before its end on faster machines too; the second may find it ended.
TEST(FinderParts, ACountResumesFromItsRecordedPiecesUnderAnyPlan) {
  SearchSettings s = SettingsOf(6);
  s.WantCommutative = true;
  const Collected whole = Collect(s, FinderMode::Count);
  FinderOptions options;
  options.Settings = s;
  options.Mode = FinderMode::Count;
  options.Threads = 1;
  options.SplitEvery = 2048;
  FinderSummary cut;
  int cut_within_units = 0;  // beyond the finished units, the record holds pieces of others
  for (int stop_count = 0; stop_count < 2; ++stop_count) {
    std::atomic<bool> stop{false};
    const FinderSummary run = RunExactFinder(options, {}, [&](const FinderProgress&) { stop = true; }, stop);
    if (stop_count > 0 && run.Complete) break;
    ASSERT_FALSE(run.Complete);
    cut = run;
    ASSERT_NE(cut.Space, 0u);
    cut_within_units += cut.Pieces.size() > cut.Finished.size() ? 1 : 0;
    options.ResumedPlan = cut.Plan;
    options.ResumedSpace = cut.Space;
    options.ResumedPieces = cut.Pieces;
  }
  ASSERT_GT(cut_within_units, 0);  // a stop between units, twice, would test nothing new

  options.Threads = 2;
  for (const uint64_t plan : {cut.Plan, cut.Plan + 1}) {
    options.ResumedPlan = plan;
    const Collected rest = Collect(options);
    EXPECT_TRUE(rest.summary.Complete) << plan;
    EXPECT_EQ(rest.summary.Classes, whole.summary.Classes) << plan;
    EXPECT_EQ(static_cast<uint64_t>(rest.summary.Labelled), static_cast<uint64_t>(whole.summary.Labelled)) << plan;
  }
  options.ResumedSpace = cut.Space + 1;
  EXPECT_TRUE(Collect(options).summary.ResumeRefused);
  options.ResumedSpace = cut.Space;
  options.ResumedPieces.push_back(options.ResumedPieces.front());
  EXPECT_TRUE(Collect(options).summary.ResumeRefused);
}

// The estimates run on the run's threads, but every part of a split run must
// see the same units whatever its thread count.
TEST(FinderParts, ThePlanIsTheSameForEveryThreadCount) {
  const std::atomic<bool> stop{false};
  for (const SearchSettings& s : {SettingsOf(6), GoodResiduated(8)}) {
    const std::vector<FiniteLattice> lattices = LatticesUpToIsomorphism(s.ElementCount);
    const std::vector<WorkUnit> one = PlanWork(lattices, s, 1, 256, 1, stop);
    ASSERT_GT(one.size(), lattices.size());  // split below the lattices' roots
    for (const int threads : {2, 3}) {  // 3: more threads than cores
      const std::vector<WorkUnit> many = PlanWork(lattices, s, threads, 256, 1, stop);
      ASSERT_EQ(many.size(), one.size()) << threads;
      for (size_t u = 0; u < one.size(); ++u) {
        ASSERT_EQ(many[u].Lattice, one[u].Lattice) << u;
        ASSERT_EQ(many[u].Path, one[u].Path) << u;
        ASSERT_EQ(many[u].Estimate, one[u].Estimate) << u;
      }
    }
  }
}
