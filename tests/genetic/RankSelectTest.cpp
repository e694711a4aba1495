// Rank selection: the exact distribution and the one draw per call.

#include <gtest/gtest.h>

#include <vector>

#include "genetic/GeneticEQ.h"
#include "GeneticTestHelpers.h"

namespace {

using namespace genetic_test;

// The selection loop read straight from its definition.
int32_t ReferenceRank(int32_t m, int64_t r) {
  int64_t sum = 0;
  int32_t k = m;
  for (; k >= 1; --k) {
    sum += k;
    if (r < sum) break;
  }
  return m - k;
}

TEST(RankSelect, EveryDrawOfFourGivesTheTriangularCounts) {
  ProcessStateGuard guard;
  // total = 10: the draws 0..3 give rank 0, 4..6 rank 1, 7..8 rank 2, 9 rank 3.
  const std::vector<int32_t> expected = {0, 0, 0, 0, 1, 1, 1, 2, 2, 3};
  std::vector<int> hits(4, 0);
  for (uint32_t r = 0; r < 10; ++r) {
    SeedForInteger(r, 10);
    const int32_t rank = RankSelect(4);
    EXPECT_EQ(rank, expected[r]) << "draw " << r;
    ++hits[static_cast<size_t>(rank)];
  }
  EXPECT_EQ(hits, (std::vector<int>{4, 3, 2, 1}));  // chance (m - i) / total
}

TEST(RankSelect, MatchesTheLoopForEveryDrawUpToFifty) {
  ProcessStateGuard guard;
  for (int32_t m = 1; m <= 50; ++m) {
    const uint32_t total = static_cast<uint32_t>(m * (m + 1) / 2);
    std::vector<int> hits(static_cast<size_t>(m), 0);
    for (uint32_t r = 0; r < total; ++r) {
      SeedForInteger(r, total);
      const int32_t rank = RankSelect(m);
      ASSERT_EQ(rank, ReferenceRank(m, r)) << "m " << m << " draw " << r;
      ++hits[static_cast<size_t>(rank)];
    }
    for (int32_t i = 0; i < m; ++i) EXPECT_EQ(hits[static_cast<size_t>(i)], m - i) << "m " << m;
  }
}

TEST(RankSelect, MatchesTheLoopAtTheEdgesOfLargeRanges) {
  ProcessStateGuard guard;
  for (int32_t m : {171, 162, 1000, 9000, 10000}) {
    const uint32_t total = static_cast<uint32_t>(static_cast<int64_t>(m) * (m + 1) / 2);
    std::vector<uint32_t> draws = {0, 1, 2, total / 3, total / 2, total - 3, total - 2, total - 1};
    for (int32_t i = 0; i < m; i += 97) {
      // The first and last draw of rank i: just at and just below each boundary.
      const int64_t boundary = static_cast<int64_t>(i + 1) * m - static_cast<int64_t>(i) * (i + 1) / 2;
      draws.push_back(static_cast<uint32_t>(boundary - 1));
      if (boundary < total) draws.push_back(static_cast<uint32_t>(boundary));
    }
    for (uint32_t r : draws) {
      SeedForInteger(r, total);
      EXPECT_EQ(RankSelect(m), ReferenceRank(m, r)) << "m " << m << " draw " << r;
    }
  }
}

TEST(RankSelect, EmptyRangeStillDrawsOnceAndGivesZero) {
  ProcessStateGuard guard;
  for (int32_t m : {0, -1, -5}) {
    RandSeed(12345);
    EXPECT_EQ(RankSelect(m), 0);
    EXPECT_EQ(ProcessRandom.State(), StateAfter(12345, 1)) << "m " << m;
  }
  RandSeed(777);
  RankSelect(180);
  EXPECT_EQ(ProcessRandom.State(), StateAfter(777, 1));
}

TEST(RankSelect, StaysInsideTheRange) {
  ProcessStateGuard guard;
  RandSeed(42);
  for (int i = 0; i < 20000; ++i) {
    const int32_t rank = RankSelect(7);
    ASSERT_GE(rank, 0);
    ASSERT_LT(rank, 7);
  }
  EXPECT_EQ(RankSelect(1), 0);
}

}  // namespace
