// Worker threads and the settings block: a worker evaluates under the block
// it installed, and one that installed none is stopped where assertions are on.

#include <gtest/gtest.h>

#include <thread>

#include "model/Assert.h"
#include "model/EQAlgebra.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

SearchSettings SevenElementsRequiringGoodness() {
  SearchSettings block;
  block.ElementCount = 7;
  block.WantGoodness = true;
  return block;
}

TEST(SettingsThread, AWorkerEvaluatesUnderTheBlockItInstalled) {
  const ScopedSettings scoped(SevenElementsRequiringGoodness());
  TEQAlgebra algebra = test_algebras::GoedelChain(7);
  const double on_main = algebra.ComputeFitness();
  const int64_t goodness_total = algebra.PropertyResults[kGoodnessSlot].Total;
  ASSERT_GT(goodness_total, 0);
  for (const bool scoped_install : {true, false}) {
    TEQAlgebra copy = algebra;
    copy.PropertyResults[kGoodnessSlot] = {};
    std::thread worker([&] {
      if (scoped_install) {
        const ScopedSettings worker_block(SevenElementsRequiringGoodness());
        copy.ComputeFitness();
      } else {
        InstallSettings(SevenElementsRequiringGoodness());  // as the evaluation pool's workers do
        copy.ComputeFitness();
      }
    });
    worker.join();
    EXPECT_EQ(copy.Fitness, on_main) << scoped_install;
    EXPECT_EQ(copy.PropertyResults[kGoodnessSlot].Total, goodness_total) << scoped_install;
  }
}

TEST(SettingsThreadDeathTest, AWorkerWithoutItsBlockStopsAtOnce) {
  if (!kAssertionsOn) GTEST_SKIP() << "assertions are off in this build";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ScopedSettings scoped(SevenElementsRequiringGoodness());
  TEQAlgebra algebra = test_algebras::GoedelChain(7);
  EXPECT_DEATH(std::thread([&] { algebra.ComputeFitness(); }).join(),
               "assertion failed at .*before installing its settings block");
  EXPECT_DEATH(std::thread([] { TEQAlgebra sized_by_defaults; }).join(), "before installing its settings block");
}

}  // namespace
