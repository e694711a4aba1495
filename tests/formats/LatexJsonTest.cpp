// The LaTeX document compiles with a plain pdflatex (when one is installed)
// and has one table per operation in play; the JSON object of a small
// algebra is exact.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "classes/AlgebraClass.h"
#include "formats/ExchangeFormats.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

std::string Latex(const TEQAlgebra& algebra) {
  std::string text, fault;
  EXPECT_TRUE(ExportAlgebras(ExportFormat::kLatex, {&algebra}, {}, text, fault)) << fault;
  return text;
}

TEST(LatexExport, OneTablePerOperationInPlayHeadedByItsSymbol) {
  const TEQAlgebra chain = test_algebras::GoedelChain(5);
  for (const bool delta : {false, true}) {
    for (const bool maximum : {false, true}) {
      for (const bool derived : {false, true}) {
        SearchSettings s;
        s.DeltaEnabled = delta;
        s.MaximumEnabled = maximum;
        s.ShowDerived = derived;
        ScopedSettings scoped(s);
        const std::string text = Latex(chain);
        EXPECT_EQ(Count(text, "\\begin{tabular}"), 3u + delta + maximum + derived);
        EXPECT_EQ(Count(text, "$\\wedge$ & $0$ & $a$ & $b$ & $c$ & $1$ \\\\"), 1u);
        EXPECT_EQ(Count(text, "$\\otimes$ &"), 1u);
        EXPECT_EQ(Count(text, "$\\sim$ &"), 1u);
        EXPECT_EQ(Count(text, "$x$ & $\\delta(x)$"), delta ? 1u : 0u);
        EXPECT_EQ(Count(text, "$\\vee$ &"), maximum ? 1u : 0u);
        EXPECT_EQ(Count(text, "$\\rightarrow$ &"), derived ? 1u : 0u);
      }
    }
  }
  // Rows: b ~ c is b in the Goedel chain, b -> a is a.
  SearchSettings s;
  ScopedSettings scoped(s);
  const std::string text = Latex(chain);
  EXPECT_NE(text.find("$b$ & $0$ & $a$ & $b$ & $b$ & $b$ \\\\"), std::string::npos) << text;  // the meet's row b
  EXPECT_NE(text.find("$b$ & $0$ & $a$ & $1$ & $b$ & $b$ \\\\"), std::string::npos) << text;  // the equality's row b
  EXPECT_NE(text.find("$b$ & $0$ & $a$ & $1$ & $1$ & $1$ \\\\"), std::string::npos) << text;  // the implication's row b
}

TEST(LatexExport, FiveElementAlgebraCompilesWithPdflatex) {
  if (std::system("command -v pdflatex >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdflatex is not installed";
  SearchSettings s;
  s.DeltaEnabled = s.MaximumEnabled = s.ShowDerived = true;
  ScopedSettings scoped(s);
  TEQAlgebra algebra = test_algebras::LukasiewiczChain(5);
  algebra.Description = "Algebra_0007 & {x_1} 50% ^~\\ #$";  // every character LaTeX treats specially
  ScratchDirectory dir;
  WriteWholeFile(dir.File("algebra.tex"), Latex(algebra));
  const std::string command = "cd '" + dir.Path() +
                              "' && pdflatex -interaction=nonstopmode -halt-on-error algebra.tex >pdflatex.out 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("pdflatex.out"));
  EXPECT_TRUE(std::filesystem::exists(dir.File("algebra.pdf")));
}

TEST(JsonExport, TwoElementAlgebraIsWrittenExactly) {
  SearchSettings s;
  s.DeltaEnabled = s.MaximumEnabled = true;
  ScopedSettings scoped(s);
  TEQAlgebra algebra = test_algebras::TwoElements('0');
  Settings = s;  // TwoElements sets the element count
  std::string text, fault;
  ASSERT_TRUE(ExportAlgebras(ExportFormat::kJson, {&algebra}, {}, text, fault)) << fault;
  EXPECT_EQ(text,
            "{\"size\": 2, \"elements\": [\"0\", \"1\"], \"operations\": {"
            "\"meet\": [[\"0\", \"0\"], [\"0\", \"1\"]], \"prod\": [[\"0\", \"0\"], [\"0\", \"1\"]], "
            "\"eq\": [[\"1\", \"0\"], [\"0\", \"1\"]], \"delta\": [\"0\", \"1\"], "
            "\"join\": [[\"0\", \"1\"], [\"1\", \"1\"]]}, \"fitness\": 1, \"properties\": {"
            "\"Associative Infimum\": [8, 8], \"Commutative Infimum\": [4, 4], \"Neutral Infimum\": [4, 4], "
            "\"Idempotent Infimum\": [2, 2], \"Associative Product\": [8, 8], \"Neutral Product\": [4, 4], "
            "\"Isotone Product\": [8, 8], \"Reflexive FEQuality\": [2, 2], \"Congruence\": [16, 16], "
            "\"Substitution\": [16, 16], \"Monotone Implication\": [8, 8], \"Boundedness\": [4, 4], "
            "\"Colourfulness\": [1, 0], \"Colourfulness(*)\": [0, 0], \"Goodness\": [2, 2], "
            "\"Involutive\": [2, 2], \"Semiseparated\": [2, 2], \"Separated\": [4, 4], \"Residuated\": [8, 8], "
            "\"Commutative\": [4, 4], \"Linear\": [4, 4], \"Lattice\": [16, 16], \"Prelinear\": [4, 4], "
            "\"Sup-product distributivity\": [8, 8], \"Equality over ProdEquality\": [8, 8], "
            "\"Delta properties\": [18, 18]}, \"class\": \"" + ClassifyAlgebra(algebra).Id + "\"}\n");
  // Several algebras make an array.
  ASSERT_TRUE(ExportAlgebras(ExportFormat::kJson, {&algebra, &algebra}, {}, text, fault));
  EXPECT_EQ(text.substr(0, 2), "[\n");
  EXPECT_EQ(Count(text, "\"size\": 2"), 2u);
  EXPECT_EQ(text.substr(text.size() - 3), "\n]\n");
}

// The class field tells isomorphic algebras (inner elements renamed) from others.
TEST(JsonExport, ClassIsEqualExactlyForIsomorphicAlgebras) {
  SearchSettings s;
  ScopedSettings scoped(s);
  const auto class_of = [](const TEQAlgebra& algebra) {
    std::string text, fault;
    EXPECT_TRUE(ExportAlgebras(ExportFormat::kJson, {&algebra}, {}, text, fault)) << fault;
    const size_t at = text.rfind("\"class\": ");
    return at == std::string::npos ? std::string() : text.substr(at);
  };
  // a and b are the two atoms of the four-element Boolean algebra.
  TEQAlgebra boolean = test_algebras::StandardLayout(4);
  for (PairEntry* e : {&boolean.InfimumGene.Entries[0], &boolean.InfimumGene.Entries[1]}) e->Value = '0';
  boolean.InfimumGene.Entries[2].Value = '0';  // 0 ^ 1
  boolean.InfimumGene.Entries[3].Value = '0';  // a ^ b
  boolean.InfimumGene.Entries[4].Value = 'a';  // a ^ 1
  boolean.InfimumGene.Entries[5].Value = 'b';  // b ^ 1
  for (int k = 0; k < boolean.ProductGene.Count; ++k) {
    PairEntry& e = boolean.ProductGene.Entries[k];
    e.Value = boolean.Infimum(e.X, e.Y);
  }
  for (int k = 0; k < boolean.FEqualityGene.Count; ++k) {
    PairEntry& e = boolean.FEqualityGene.Entries[k];
    // x ~ y is the complement of the symmetric difference: here the same for a and b swapped.
    const bool x_a = e.X == 'a' || e.X == '1', x_b = e.X == 'b' || e.X == '1';
    const bool y_a = e.Y == 'a' || e.Y == '1', y_b = e.Y == 'b' || e.Y == '1';
    const bool same_a = x_a == y_a, same_b = x_b == y_b;
    e.Value = same_a && same_b ? '1' : same_a ? 'a' : same_b ? 'b' : '0';
  }
  TEQAlgebra swapped = boolean;  // a and b exchanged in every entry
  const auto swap = [](char& c) { c = c == 'a' ? 'b' : c == 'b' ? 'a' : c; };
  for (PairGene* g : {&swapped.InfimumGene, &swapped.ProductGene, &swapped.FEqualityGene})
    for (int k = 0; k < g->Count; ++k) {
      swap(g->Entries[k].X);
      swap(g->Entries[k].Y);
      swap(g->Entries[k].Value);
    }
  const std::string boolean_class = class_of(boolean);
  EXPECT_FALSE(boolean_class.empty());
  EXPECT_EQ(class_of(swapped), boolean_class);
  TEQAlgebra changed = boolean;
  changed.ProductGene.Entries[5].Value = '0';  // a * a = 0
  EXPECT_NE(class_of(changed), boolean_class);
  EXPECT_NE(class_of(test_algebras::GoedelChain(4)), class_of(test_algebras::LukasiewiczChain(4)));
}

}  // namespace
