// The diagram exports: an SVG that parses as XML (and passes xmllint where it
// is installed), a DOT graph that Graphviz draws, a LaTeX document whose
// TikZ pictures compile with pdflatex (each skipped when the tool is absent).

#include <gtest/gtest.h>

#include <cstdlib>

#include "ExchangeFormats.h"
#include "ScratchDirectory.h"
#include "Settings.h"
#include "TestAlgebras.h"
#include "WinnerSamples.h"
#include "XmlTree.h"

namespace {

bool Installed(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string Export(ExportFormat format, const TEQAlgebra& algebra, ExportOptions options = {}) {
  std::string text, fault;
  EXPECT_TRUE(ExportAlgebras(format, {&algebra}, options, text, fault)) << fault;
  return text;
}

int CountElements(const XmlElement& element, const std::string& name) {
  int count = element.Name == name;
  for (const auto& child : element.Children) count += CountElements(*child, name);
  return count;
}

// A candidate whose meet is not associative: a < b < c but a ^ c = 0.
TEQAlgebra NotAMeet() {
  TEQAlgebra algebra = test_algebras::GoedelChain(5);
  for (int k = 0; k < algebra.InfimumGene.Count; ++k) {
    PairEntry& e = algebra.InfimumGene.Entries[k];
    if (e.X == 'a' && e.Y == 'c') e.Value = '0';
  }
  return algebra;
}

struct Sample {
  const char* name;
  TEQAlgebra algebra;
  int covers;  // edges of its diagram
};

std::vector<Sample> Samples() {
  using test_algebras::GoedelChain;
  return {
      {"chain 2", GoedelChain(2), 1},
      {"chain 5", test_algebras::LukasiewiczChain(5), 4},
      {"3x3", winner_samples::Product(GoedelChain(3), GoedelChain(3)), 12},
      {"4x7", winner_samples::Product(GoedelChain(4), GoedelChain(7)), 45},
  };
}

TEST(SvgExport, ParsesAsXmlWithOneCirclePerElementAndOneLinePerCover) {
  SearchSettings s;
  s.DeltaEnabled = s.MaximumEnabled = s.ShowDerived = true;
  ScopedSettings scoped(s);
  for (Sample& sample : Samples()) {
    sample.algebra.Evaluate();  // the maximum read off the order, as the tool exports it
    // Every character XML treats specially, a control character and a byte that is not UTF-8.
    sample.algebra.Description = std::string("<Alg> & \"1\" \x01 \xE9t\xC3\xA9");
    for (const bool tables : {false, true}) {
      ExportOptions options;
      options.Tables = tables;
      const std::string text = Export(ExportFormat::kSvg, sample.algebra, options);
      std::string fault;
      const auto root = ParseXml(text, fault);
      ASSERT_NE(root, nullptr) << sample.name << ": " << fault;
      EXPECT_EQ(root->Name, "svg");
      EXPECT_EQ(CountElements(*root, "circle"), sample.algebra.Size) << sample.name;
      EXPECT_EQ(CountElements(*root, "polyline"), sample.covers) << sample.name;
      // The tables: ^ * ~ d m > as grids of lines, none without them.
      EXPECT_EQ(CountElements(*root, "line") > 0, tables) << sample.name;
      EXPECT_NE(text.find("&lt;Alg&gt; &amp; &quot;1&quot; ? ?t\xC3\xA9"), std::string::npos) << sample.name;
      if (Installed("xmllint")) {
        ScratchDirectory dir;
        WriteWholeFile(dir.File("d.svg"), text);
        EXPECT_EQ(std::system(("xmllint --noout '" + dir.File("d.svg") + "' 2>/dev/null").c_str()), 0) << sample.name;
      }
    }
  }
  // Not a meet: the picture says which law fails instead.
  const std::string text = Export(ExportFormat::kSvg, NotAMeet());
  std::string fault;
  ASSERT_NE(ParseXml(text, fault), nullptr) << fault;
  EXPECT_NE(text.find("No Hasse diagram: the infimum is not a meet (not associative: (a ^ b) ^ c = 0 but "
                      "a ^ (b ^ c) = a)"),
            std::string::npos);
  EXPECT_EQ(text.find("<circle"), std::string::npos);
}

TEST(DotExport, GraphvizDrawsTheRankedGraph) {
  SearchSettings s;
  ScopedSettings scoped(s);
  ScratchDirectory dir;
  for (Sample& sample : Samples()) {
    sample.algebra.Description = "quote \" and \\ backslash";
    const std::string text = Export(ExportFormat::kDot, sample.algebra);
    size_t edges = 0;
    for (size_t at = text.find(" -- "); at != std::string::npos; at = text.find(" -- ", at + 1)) ++edges;
    EXPECT_EQ(static_cast<int>(edges), sample.covers) << sample.name;
    EXPECT_NE(text.find("rankdir=BT;"), std::string::npos);
    EXPECT_NE(text.find("{ rank=same; \"0\"; }"), std::string::npos) << text;
    if (!Installed("dot")) continue;
    WriteWholeFile(dir.File("d.dot"), text);
    const std::string command = "dot -Tsvg '" + dir.File("d.dot") + "' -o '" + dir.File("d.svg") + "' 2>'" +
                                dir.File("dot.err") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << sample.name << ": " << ReadWholeFile(dir.File("dot.err"));
    std::string fault;
    EXPECT_NE(ParseXml(ReadWholeFile(dir.File("d.svg")), fault), nullptr) << fault;
  }
  if (!Installed("dot")) GTEST_SKIP() << "Graphviz is not installed";
}

TEST(DotExport, RefusesAnInfimumThatIsNotAMeet) {
  SearchSettings s;
  ScopedSettings scoped(s);
  TEQAlgebra algebra = NotAMeet();
  algebra.Description = "Algebra_0003";
  std::string text, fault;
  EXPECT_FALSE(ExportAlgebras(ExportFormat::kDot, {&algebra}, {}, text, fault));
  EXPECT_EQ(fault, "Algebra_0003: No Hasse diagram: the infimum is not a meet (not associative: (a ^ b) ^ c = 0 "
                   "but a ^ (b ^ c) = a)");
  EXPECT_FALSE(HoldsSeveral(ExportFormat::kDot));
  EXPECT_FALSE(HoldsSeveral(ExportFormat::kSvg));
}

TEST(LatexExport, DiagramsBesideTheTablesCompileWithPdflatex) {
  SearchSettings s;
  ScopedSettings scoped(s);
  const TEQAlgebra wide = winner_samples::Product(test_algebras::GoedelChain(4), test_algebras::GoedelChain(7));
  const TEQAlgebra tall = test_algebras::GoedelChain(28);
  const TEQAlgebra broken = NotAMeet();
  std::string text, fault;
  ASSERT_TRUE(ExportAlgebras(ExportFormat::kLatex, {&wide, &tall, &broken}, {}, text, fault)) << fault;
  size_t pictures = 0;
  for (size_t at = text.find("\\begin{tikzpicture}"); at != std::string::npos; at = text.find("\\begin{tikzpicture}", at + 1))
    ++pictures;
  EXPECT_EQ(pictures, 2u);
  EXPECT_NE(text.find("\\usepackage{tikz}"), std::string::npos);
  EXPECT_NE(text.find("\\emph{No Hasse diagram: the infimum is not a meet (not associative: (a $\\wedge$ b)"),
            std::string::npos);
  if (!Installed("pdflatex")) GTEST_SKIP() << "pdflatex is not installed";
  ScratchDirectory dir;
  WriteWholeFile(dir.File("diagrams.tex"), text);
  const std::string command = "cd '" + dir.Path() +
                              "' && pdflatex -interaction=nonstopmode -halt-on-error diagrams.tex >pdflatex.out 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("pdflatex.out"));
  EXPECT_EQ(ReadWholeFile(dir.File("pdflatex.out")).find("Overfull \\vbox"), std::string::npos);
}

}  // namespace
