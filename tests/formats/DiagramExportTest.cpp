// The diagram exports: an SVG that parses as XML, a DOT graph that Graphviz
// draws and a LaTeX document whose TikZ pictures compile with pdflatex (the
// last two skipped when the tool is absent); a meet that is not one is named.

#include <gtest/gtest.h>

#include <cstdlib>

#include "formats/ExchangeFormats.h"
#include "ScratchDirectory.h"
#include "TestAlgebras.h"
#include "WinnerSamples.h"
#include "formats/XmlTree.h"

namespace {

bool Installed(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0; }

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

std::string Export(ExportFormat format, const TEQAlgebra& algebra, bool tables = false) {
  std::string text, fault;
  ExportOptions options;
  options.Tables = tables;
  EXPECT_TRUE(ExportAlgebras(format, {&algebra}, options, text, fault)) << fault;
  return text;
}

const char* const kNotAMeet = "No Hasse diagram: the infimum is not a meet (not associative: (a ^ b) ^ c = 0 but a ^ (b ^ c) = a)";

struct Sample {
  TEQAlgebra algebra;
  size_t covers;  // edges of its diagram
};

std::vector<Sample> Samples() {
  using test_algebras::GoedelChain;
  return {{GoedelChain(2), 1},
          {winner_samples::Product(GoedelChain(3), GoedelChain(3)), 12},
          {winner_samples::Product(GoedelChain(4), GoedelChain(7)), 45}};
}

TEST(DiagramExport, SvgParsesWithOneCirclePerElementAndOnePolylinePerCover) {
  SearchSettings s;
  s.DeltaEnabled = s.MaximumEnabled = s.ShowDerived = true;
  ScopedSettings scoped(s);
  for (Sample& sample : Samples()) {
    // Markup characters, a control character and a byte that is no UTF-8 in the title.
    sample.algebra.Description = "<Alg> & \"1\" \x01 \xE9t\xC3\xA9";
    for (const bool tables : {false, true}) {
      const std::string text = Export(ExportFormat::kSvg, sample.algebra, tables);
      std::string fault;
      ASSERT_NE(ParseXml(text, fault), nullptr) << fault;
      EXPECT_EQ(Count(text, "<circle"), static_cast<size_t>(sample.algebra.Size));
      EXPECT_EQ(Count(text, "<polyline"), sample.covers);
      EXPECT_EQ(Count(text, "<line") > 0, tables);  // the grids of ^ * ~ d m >
      EXPECT_EQ(Count(text, "&lt;Alg&gt; &amp; &quot;1&quot; ? ?t\xC3\xA9"), 2u);  // title and heading
    }
  }
  const std::string text = Export(ExportFormat::kSvg, test_algebras::NotAMeet());
  EXPECT_EQ(Count(text, kNotAMeet), 1u);
  EXPECT_EQ(Count(text, "<circle"), 0u);
}

TEST(DiagramExport, DotHasOneEdgePerCoverAndGraphvizDrawsIt) {
  ScratchDirectory dir;
  for (Sample& sample : Samples()) {
    sample.algebra.Description = "quote \" and \\ backslash";
    const std::string text = Export(ExportFormat::kDot, sample.algebra);
    EXPECT_EQ(Count(text, " -- "), sample.covers);
    EXPECT_EQ(Count(text, "{ rank=same; \"0\"; }"), 1u) << text;
    if (!Installed("dot")) continue;
    WriteWholeFile(dir.File("d.dot"), text);
    const std::string command = "dot -Tsvg '" + dir.File("d.dot") + "' -o '" + dir.File("d.svg") + "' 2>'" + dir.File("err") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("err"));
    std::string fault;
    EXPECT_NE(ParseXml(ReadWholeFile(dir.File("d.svg")), fault), nullptr) << fault;
  }
  TEQAlgebra broken = test_algebras::NotAMeet();
  broken.Description = "Algebra_0003";
  std::string text, fault;
  EXPECT_FALSE(ExportAlgebras(ExportFormat::kDot, {&broken}, {}, text, fault));
  EXPECT_EQ(fault, std::string("Algebra_0003: ") + kNotAMeet);
  if (!Installed("dot")) GTEST_SKIP() << "Graphviz is not installed";
}

TEST(DiagramExport, LatexDiagramsBesideTheTablesCompileWithPdflatex) {
  SearchSettings s;
  ScopedSettings scoped(s);
  const TEQAlgebra wide = winner_samples::Product(test_algebras::GoedelChain(4), test_algebras::GoedelChain(7));
  const TEQAlgebra tall = test_algebras::GoedelChain(28), broken = test_algebras::NotAMeet();
  std::string text, fault;
  ASSERT_TRUE(ExportAlgebras(ExportFormat::kLatex, {&wide, &tall, &broken}, {}, text, fault)) << fault;
  EXPECT_EQ(Count(text, "\\begin{tikzpicture}"), 2u);
  EXPECT_EQ(Count(text, "\\emph{No Hasse diagram: the infimum is not a meet (not associative: (a $\\wedge$ b)"), 1u);
  if (!Installed("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  ScratchDirectory dir;
  WriteWholeFile(dir.File("d.tex"), text);
  const std::string command = "cd '" + dir.Path() + "' && pdflatex -interaction=nonstopmode -halt-on-error d.tex >out 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("out"));
  EXPECT_EQ(Count(ReadWholeFile(dir.File("out")), "Overfull"), 0u);
}

}  // namespace
