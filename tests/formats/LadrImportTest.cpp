// Reading interpretations: model-finder output raw and filtered, several
// models per file, renamed operations, renumbered domains, and models that
// are not of the program's shape rejected one by one.

#include <gtest/gtest.h>

#include "formats/ExchangeFormats.h"
#include "formats/LadrFormat.h"
#include "model/Settings.h"

namespace {

// The three-element chain 0 < a < 1 (domain 0, 2, 1) with product the
// minimum and a ~ 1 = a, as a model finder prints it.
const char* kChain =
    "interpretation( 3, [number = 1,seconds = 0], [\n"
    "    function(eq(_,_), [1,0,0,0,1,2,0,2,1]),\n"
    "    function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
    "    function(prod(_,_), [0,0,0,0,1,2,0,2,2])]).\n";

std::string Canonical(const ImportedModel& model) {
  EXPECT_TRUE(model.Algebra) << model.Fault;
  return model.Algebra ? model.Algebra->BuildCanonicalText() : std::string();
}

const std::string kChainCanonical =
    "^[0,0]=0;^[0,a]=0;^[0,1]=0;^[a,0]=0;^[a,a]=a;^[a,1]=a;^[1,0]=0;^[1,a]=a;^[1,1]=1;"
    "*[0,0]=0;*[0,a]=0;*[0,1]=0;*[a,0]=0;*[a,a]=a;*[a,1]=a;*[1,0]=0;*[1,a]=a;*[1,1]=1;"
    "~[0,0]=1;~[0,a]=0;~[0,1]=0;~[a,0]=0;~[a,a]=1;~[a,1]=a;~[1,0]=0;~[1,a]=a;~[1,1]=1;";

TEST(LadrImport, StandardFormMapsZeroToBottomOneToTopAndTheRestToLetters) {
  ScopedSettings scoped(SearchSettings{});
  const ImportResult result = ReadLadrModels(kChain);
  ASSERT_EQ(result.Models.size(), 1u);
  EXPECT_EQ(result.Models[0].Label, "model 1 (number = 1, line 1)");
  EXPECT_FALSE(result.Models[0].HasDelta);
  EXPECT_EQ(Canonical(result.Models[0]), kChainCanonical);
}

TEST(LadrImport, RawOutputWithCommentsAndSeveralModelsKeepsEveryGoodOne) {
  ScopedSettings scoped(SearchSettings{});
  const std::string raw =
      "============================== Mace4 =================================\n"
      "% Reading from file eqa.in\n"
      "assign(domain_size, 3).\n"
      "============================== MODEL =================================\n"
      "\n"
      "interpretation( 3, [number=1, seconds=0], [\n"
      "        function(eq(_,_), [\n 1,0,0,\n 0,1,2,\n 0,2,1 ]),  % a comment\n"
      "        function(c1, [2]),\n"
      "        function(meet(_,_), [ 0,0,0, 0,1,2, 0,2,2 ]),\n"
      "        relation(le(_,_), [ 1,1,1, 0,1,0, 0,1,1 ]),\n"
      "        function(prod(_,_), [ 0,0,0, 0,1,2, 0,2,2 ])\n"
      "]).\n"
      "============================== end of model ==========================\n"
      // eq not symmetric: 2 ~ 1 differs from 1 ~ 2.
      "interpretation( 3, [number=2, seconds=0], [\n"
      "        function(eq(_,_), [1,0,0,0,1,2,0,0,1]),\n"
      "        function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
      "        function(prod(_,_), [0,0,0,0,1,2,0,2,2])]).\n"
      // Broken syntax: a missing value list.
      "interpretation( 3, [number=3], [ function(meet(_,_), ]).\n"
      // No prod.
      "interpretation( 3, [number=4], [ function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
      "  function(eq(_,_), [1,0,0,0,1,2,0,2,1])]).\n"
      "interpretation( 29, [number=5], [ function(meet(_,_), [0])]).\n"
      + std::string(kChain) + "Exiting with 2 models.\n";
  const ImportResult result = ReadLadrModels(raw);
  EXPECT_EQ(result.FileFault, "");
  ASSERT_EQ(result.Models.size(), 6u);
  EXPECT_EQ(Canonical(result.Models[0]), kChainCanonical);
  EXPECT_EQ(result.Models[1].Label, "model 2 (number = 2, line 17)");
  EXPECT_EQ(result.Models[1].Fault, "eq is not symmetric: a ~ 1 differs from 1 ~ a");
  EXPECT_EQ(result.Models[2].Fault, "line 21: expected \"[\" but found \"]\"");
  EXPECT_EQ(result.Models[3].Fault, "it has no operation prod");
  EXPECT_EQ(result.Models[4].Fault, "its size 29 is outside 2..28");
  EXPECT_EQ(result.Models[5].Label, "model 6 (number = 1, line 25)");
  EXPECT_EQ(Canonical(result.Models[5]), kChainCanonical);
  for (int k : {1, 2, 3, 4}) EXPECT_FALSE(result.Models[k].Algebra) << k;
}

TEST(LadrImport, ValuesAndTablesAreChecked) {
  const auto fault = [](const std::string& meet) {
    const std::string text = "interpretation(2, [], [function(meet(_,_), [" + meet +
                             "]), function(prod(_,_), [0,0,0,1]), function(eq(_,_), [1,0,0,1])]).";
    const ImportResult result = ReadLadrModels(text);
    return result.Models.size() == 1 ? result.Models[0].Fault : std::string("no single model");
  };
  EXPECT_EQ(fault("0,0,0,1"), "");
  EXPECT_EQ(fault("0,0,0"), "meet has 3 values, not 4");
  EXPECT_EQ(fault("0,0,0,2"), "meet holds 2, outside the domain 0..1");
  EXPECT_EQ(fault("0,1,0,1"), "meet is not commutative: 0 ^ 1 differs from 1 ^ 0");
  // Neither element is the unit of meet, so there is no top.
  EXPECT_EQ(fault("0,0,0,0"), "meet has no unit, so no element can be the top");
}

TEST(LadrImport, RenamedOperationsAndDeltaAndJoinAreTaken) {
  OperationNames names;
  std::string error;
  ASSERT_TRUE(ParseOperationNames("meet=m,prod=p,eq=e,delta=D,join=j", names, error)) << error;
  const std::string text =
      "interpretation(3, [number = 4], [function(m(_,_), [0,0,0,0,1,2,0,2,2]),\n"
      "function(p(_,_), [0,0,0,0,1,2,0,2,2]), function(e(_,_), [1,0,0,0,1,2,0,2,1]),\n"
      "function(D(_), [0,1,0]), function(j(_,_), [0,1,2,1,1,1,2,1,2])]).";
  const ImportResult result = ReadLadrModels(text, names);
  ASSERT_EQ(result.Models.size(), 1u);
  ASSERT_TRUE(result.Models[0].Algebra) << result.Models[0].Fault;
  EXPECT_TRUE(result.Models[0].HasDelta);
  EXPECT_TRUE(result.Models[0].HasJoin);
  const TEQAlgebra& a = *result.Models[0].Algebra;
  EXPECT_EQ(a.Delta('a'), '0');
  EXPECT_EQ(a.Maximum('0', 'a'), 'a');
  EXPECT_EQ(a.Product('a', 'a'), 'a');
  // Under the default names nothing is found.
  EXPECT_EQ(ReadLadrModels(text).Models[0].Fault, "it has no operation meet");
}

TEST(LadrImport, DomainWithTheTopElsewhereIsRenumbered) {
  ScopedSettings scoped(SearchSettings{});
  // The chain with the bottom at 1, the middle at 2 and the top at 0.
  const std::string text =
      "interpretation(3, [], [function(meet(_,_), [0,1,2,1,1,1,2,1,2]),\n"
      "function(prod(_,_), [0,1,2,1,1,1,2,1,2]), function(eq(_,_), [0,1,2,1,0,1,2,1,0])]).";
  const ImportResult result = ReadLadrModels(text);
  ASSERT_EQ(result.Models.size(), 1u);
  EXPECT_EQ(Canonical(result.Models[0]), kChainCanonical);
}

TEST(LadrImport, TextWithoutInterpretationIsAFileFault) {
  EXPECT_EQ(ReadLadrModels("% nothing here\nformulas(assumptions).\nend_of_list.\n").FileFault,
            "it holds no interpretation(...) term");
}

TEST(OperationNames, MalformedListsAreRejectedAndLeaveTheNamesAlone) {
  OperationNames names;
  std::string error;
  EXPECT_FALSE(ParseOperationNames("meet=m,star=s", names, error));
  EXPECT_EQ(error, "unknown operation \"star\" (known: meet, prod, eq, delta, join)");
  EXPECT_FALSE(ParseOperationNames("meet", names, error));
  EXPECT_EQ(error, "\"meet\" is not of the form operation=name");
  EXPECT_FALSE(ParseOperationNames("meet=", names, error));
  EXPECT_EQ(names.Meet, "meet");
}

}  // namespace
