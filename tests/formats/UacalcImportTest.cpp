// Reading UACalc files: written by hand or by UACalc, with comments,
// entities and rows in any order; faults named per algebra or per file.

#include <gtest/gtest.h>

#include "formats/ExchangeTables.h"
#include "model/Settings.h"
#include "formats/UacalcFormat.h"
#include "formats/XmlTree.h"

namespace {

// The chain 0 < 1 < 2 (list order 0, a, 1) with a comment, an entity in the
// name and the meet's rows out of order.
const char* kChain = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- hand-written -->
<algebra>
  <basicAlgebra>
    <algName>chain &amp; co</algName>
    <cardinality> 3 </cardinality>
    <operations>
      <op><opSymbol><opName>meet</opName><arity>2</arity></opSymbol>
        <opTable><intArray>
          <row r="[2]">0,1,2</row>
          <row r="[0]">0,0,0</row>
          <row r="[1]">0,1,1</row>
        </intArray></opTable></op>
      <op><opSymbol><opName>prod</opName><arity>2</arity></opSymbol>
        <opTable><intArray><row r="[0]">0,0,0</row><row r="[1]">0,1,1</row><row r="[2]">0,1,2</row></intArray></opTable></op>
      <op><opSymbol><opName>eq</opName><arity>2</arity></opSymbol>
        <opTable><intArray><row r="[0]">2,0,0</row><row r="[1]">0,2,1</row><row r="[2]">0,1,2</row></intArray></opTable></op>
      <op><opSymbol><opName>d</opName><arity>1</arity></opSymbol>
        <opTable><intArray><row>0,0,2</row></intArray></opTable></op>
    </operations>
  </basicAlgebra>
</algebra>
)";

TEST(UacalcImport, HandWrittenFileReadsInListOrder) {
  SearchSettings settings;
  settings.DeltaEnabled = true;
  ScopedSettings scoped(settings);
  const ImportResult result = ReadUacalcModels(kChain);
  ASSERT_EQ(result.Models.size(), 1u);
  const ImportedModel& model = result.Models[0];
  ASSERT_TRUE(model.Algebra) << model.Fault;
  EXPECT_EQ(model.Label, "algebra 1 (\"chain & co\", line 4)");
  EXPECT_EQ(model.Algebra->Description, "chain & co");
  EXPECT_TRUE(model.HasDelta);
  EXPECT_FALSE(model.HasJoin);
  EXPECT_EQ(model.Algebra->Infimum('a', '0'), '0');
  EXPECT_EQ(model.Algebra->Equality('a', '1'), 'a');
  EXPECT_EQ(model.Algebra->Delta('a'), '0');
}

TEST(UacalcImport, ModelFaultsNameTheAlgebraAndTheCause) {
  const auto fault = [](const std::string& from, const std::string& to) {
    std::string text = kChain;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    const ImportResult result = ReadUacalcModels(text);
    return result.FileFault.empty() ? result.Models.at(0).Fault : "file: " + result.FileFault;
  };
  EXPECT_EQ(fault("<cardinality> 3 </cardinality>", "<cardinality>three</cardinality>"),
            "its cardinality \"three\" is not a number");
  EXPECT_EQ(fault("<cardinality> 3 </cardinality>", "<cardinality>30</cardinality>"), "its size 30 is outside 2..28");
  EXPECT_EQ(fault("<row r=\"[1]\">0,1,1</row>\n        </intArray>", "</intArray>"), "meet: row [1] has 0 values, not 3");
  EXPECT_EQ(fault("<row r=\"[1]\">0,2,1</row>", "<row r=\"[1]\">0,2,x</row>"),
            "eq: \"x\" in the row of line 17 is not a number");
  EXPECT_EQ(fault("<opName>prod</opName>", "<opName>times</opName>"), "it has no operation prod");
  EXPECT_EQ(fault("<row r=\"[1]\">0,2,1</row>", "<row r=\"[1]\">0,2,0</row>"),
            "eq is not symmetric: a ~ 1 differs from 1 ~ a");
  EXPECT_EQ(fault("</basicAlgebra>", "</basic>"), "file: it is not well-formed XML: line 21: </basic> closes <basicAlgebra>");
  EXPECT_EQ(fault("&amp;", "&nbsp;"), "file: it is not well-formed XML: line 5: an unknown entity \"&nbsp;\"");
}

TEST(UacalcExport, WrittenFileHasTheStructureUacalcReads) {
  ExchangeTables t;
  t.Size = 2;
  t.Meet = {0, 0, 0, 1};
  t.Prod = {0, 0, 0, 1};
  t.Eq = {1, 0, 0, 1};
  t.Delta = {0, 1};
  std::string fault;
  const std::string text = UacalcAlgebra(t, "two <elements>");
  const std::unique_ptr<XmlElement> root = ParseXml(text, fault);
  ASSERT_TRUE(root) << fault;
  EXPECT_EQ(root->Name, "algebra");
  const XmlElement* basic = root->Child("basicAlgebra");
  ASSERT_NE(basic, nullptr);
  EXPECT_EQ(basic->Child("algName")->Text, "two <elements>");
  EXPECT_EQ(basic->Child("cardinality")->Text, "2");
  const XmlElement* ops = basic->Child("operations");
  ASSERT_EQ(ops->Children.size(), 4u);
  const XmlElement* delta = ops->Children[3].get();
  EXPECT_EQ(delta->Child("opSymbol")->Child("opName")->Text, "d");
  EXPECT_EQ(delta->Child("opSymbol")->Child("arity")->Text, "1");
  const XmlElement* rows = delta->Child("opTable")->Child("intArray");
  ASSERT_EQ(rows->Children.size(), 1u);
  EXPECT_EQ(rows->Children[0]->Text, "0,1");
  EXPECT_TRUE(rows->Children[0]->Attributes.empty());
  const XmlElement* eq_rows = ops->Children[2]->Child("opTable")->Child("intArray");
  ASSERT_EQ(eq_rows->Children.size(), 2u);
  EXPECT_EQ(eq_rows->Children[1]->Attributes.at(0).second, "[1]");
  EXPECT_EQ(eq_rows->Children[1]->Text, "0,1");
}

// A name becomes the first line of an EQA file: line breaks and control
// characters in it must not let the file say something else. Bytes that are
// not UTF-8 are written so that XML tools read the file.
TEST(UacalcNames, ANameStaysOneLineAndTheXmlStaysWellFormed) {
  std::string text = kChain;
  text.replace(text.find("chain &amp; co"), 14, "x&#13;&#10;2\n0 1\t\x01");
  const ImportResult result = ReadUacalcModels(text);
  ASSERT_EQ(result.Models.size(), 1u);
  ASSERT_TRUE(result.Models[0].Algebra) << result.Models[0].Fault;
  TEQAlgebra& algebra = *result.Models[0].Algebra;
  EXPECT_EQ(algebra.Description, "x  2 0 1");
  const std::string canonical = algebra.BuildCanonicalText();
  TEQAlgebra read;
  std::string error;
  ASSERT_TRUE(read.ReadEQAText(algebra.EQAText(), "name.eqa", &error)) << error;
  EXPECT_EQ(read.BuildCanonicalText(), canonical);
  EXPECT_EQ(read.Description, algebra.Description);

  ExchangeTables t;
  t.Size = 2;
  t.Meet = {0, 0, 0, 1};
  t.Prod = {0, 0, 0, 1};
  t.Eq = {1, 0, 0, 1};
  std::string fault;
  // Latin-1 "café", a lone continuation byte and a valid "é" in UTF-8.
  const auto root = ParseXml(UacalcAlgebra(t, "caf\xE9 \x80 \xC3\xA9"), fault);
  ASSERT_NE(root, nullptr) << fault;
  EXPECT_EQ(root->Child("basicAlgebra")->Child("algName")->Text, "caf\xC3\xA9 \xC2\x80 \xC3\xA9");
}

// Character references become UTF-8 in every plane; one beyond Unicode is a fault.
TEST(XmlTree, CharacterReferencesBecomeUtf8) {
  std::string fault;
  const auto root = ParseXml("<a>&#x41;&#xE9;&#x20AC;&#x1F600;</a>", fault);
  ASSERT_NE(root, nullptr) << fault;
  EXPECT_EQ(root->Text, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(ParseXml("<a>&#x110000;</a>", fault), nullptr);
  EXPECT_NE(fault.find("beyond Unicode"), std::string::npos) << fault;
}

}  // namespace
