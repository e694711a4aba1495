// EQA -> exchange format -> EQA keeps the canonical text, on random
// algebras of every size, with delta and maximum on and off.

#include <gtest/gtest.h>

#include <random>

#include "formats/ExchangeFormats.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

struct Mode {
  bool delta;
  bool maximum;
};

class RoundTrip : public ::testing::TestWithParam<ExportFormat> {};

// Exports the algebra, imports the text and returns the single model read.
TEQAlgebra ThroughFormat(ExportFormat format, const TEQAlgebra& algebra) {
  std::string text, fault;
  EXPECT_TRUE(ExportAlgebras(format, {&algebra}, {}, text, fault)) << fault;
  const ImportResult result =
      ImportModels(format == ExportFormat::kLadr ? ImportFormat::kLadr : ImportFormat::kUacalc, text);
  EXPECT_EQ(result.FileFault, "");
  EXPECT_EQ(result.Models.size(), 1u);
  if (result.Models.size() != 1 || !result.Models[0].Algebra) {
    ADD_FAILURE() << (result.Models.empty() ? "no model" : result.Models[0].Fault) << "\n" << text;
    return TEQAlgebra();
  }
  EXPECT_EQ(result.Models[0].HasDelta, Settings.DeltaEnabled);
  EXPECT_EQ(result.Models[0].HasJoin, Settings.MaximumEnabled);
  return *result.Models[0].Algebra;
}

TEST_P(RoundTrip, RandomAlgebrasOfEverySizeKeepTheirCanonicalText) {
  std::mt19937 rng(1234);
  for (const Mode mode : {Mode{false, false}, Mode{true, false}, Mode{false, true}, Mode{true, true}}) {
    SearchSettings settings;
    settings.DeltaEnabled = mode.delta;
    settings.MaximumEnabled = mode.maximum;
    settings.UpdateGeneCount();
    ScopedSettings scoped(settings);
    for (int n = 2; n <= kMaxElements; ++n) {
      TEQAlgebra original = test_algebras::RandomStandard(n, rng);
      const std::string expected = original.BuildCanonicalText();
      TEQAlgebra back = ThroughFormat(GetParam(), original);
      ASSERT_EQ(back.BuildCanonicalText(), expected) << "n = " << n << ", delta " << mode.delta << ", max " << mode.maximum;
    }
  }
}

// The imported algebra written as an EQA file and read back is the same
// algebra: the file keeps the delta and join it was given.
TEST_P(RoundTrip, ImportedAlgebraSurvivesItsEqaFile) {
  std::mt19937 rng(99);
  SearchSettings settings;
  settings.DeltaEnabled = true;
  settings.MaximumEnabled = true;
  ScopedSettings scoped(settings);
  TEQAlgebra original = test_algebras::RandomStandard(9, rng);
  const std::string expected = original.BuildCanonicalText();
  std::string text, fault;
  ASSERT_TRUE(ExportAlgebras(GetParam(), {&original}, {}, text, fault)) << fault;
  ImportResult result =
      ImportModels(GetParam() == ExportFormat::kLadr ? ImportFormat::kLadr : ImportFormat::kUacalc, text);
  ASSERT_EQ(result.Models.size(), 1u);
  ASSERT_TRUE(result.Models[0].Algebra);
  ScratchDirectory dir;
  TEQAlgebra& imported = *result.Models[0].Algebra;
  imported.FileName = dir.File("model.eqa");
  {
    // Written under the defaults (delta and maximum off) the file would lose them.
    ScopedSettings writing(SettingsForImported(result.Models[0], SearchSettings{}));
    ASSERT_TRUE(imported.WriteEQA());
  }
  TEQAlgebra read;
  read.FileName = imported.FileName;
  ASSERT_TRUE(read.ReadEQA());
  EXPECT_EQ(read.BuildCanonicalText(), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::Values(ExportFormat::kLadr, ExportFormat::kUacalc),
                         [](const auto& row) { return row.param == ExportFormat::kLadr ? "Ladr" : "Uacalc"; });

TEST(ExportAlgebras, CellWithoutValueIsReportedWithTheAlgebra) {
  TEQAlgebra algebra = test_algebras::StandardLayout(3);  // every value character 0
  algebra.Description = "broken";
  std::string text, fault;
  EXPECT_FALSE(ExportAlgebras(ExportFormat::kLadr, {&algebra}, {}, text, fault));
  EXPECT_EQ(fault, "broken: the cell 0 ^ a has no value");
  EXPECT_EQ(text, "");
}

TEST(ExportAlgebras, UacalcHoldsOneAlgebraPerFile) {
  std::mt19937 rng(5);
  const TEQAlgebra a = test_algebras::RandomStandard(3, rng), b = test_algebras::RandomStandard(3, rng);
  std::string text, fault;
  EXPECT_FALSE(ExportAlgebras(ExportFormat::kUacalc, {&a, &b}, {}, text, fault));
  EXPECT_EQ(fault, "this format holds one algebra per file");
  ASSERT_TRUE(ExportAlgebras(ExportFormat::kLadr, {&a, &b}, {}, text, fault));
  const ImportResult result = ImportModels(ImportFormat::kLadr, text);
  ASSERT_EQ(result.Models.size(), 2u);
  EXPECT_EQ(result.Models[1].Label, "model 2 (number = 2, line 5)");
}

}  // namespace
