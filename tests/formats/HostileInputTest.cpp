// Files made to hurt the importers: nesting deep enough to exhaust a stack,
// many broken models, runs of one token, tokens of megabytes. Each must be
// read or refused in time linear in the file, with memory in proportion to
// it and messages of bounded length.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <string>

#include "formats/ExchangeFormats.h"
#include "formats/ImportMessages.h"
#include "formats/XmlTree.h"

namespace {

const std::string kGoodModel =
    "interpretation(2, [number = 7], [function(meet(_,_), [0,0,0,1]), function(prod(_,_), [0,0,0,1]),\n"
    "  function(eq(_,_), [1,0,0,1])]).\n";

std::string Repeated(const std::string& piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// The most the process has held in memory so far, in bytes.
int64_t PeakMemory() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
}

struct Outcome {
  std::string file_fault;
  int64_t models = 0;
  int64_t converted = 0;
  std::string longest_fault;
  RefusalReport refusals;
};

// Imports without keeping the models, as the tool and the window do.
Outcome Import(ImportFormat format, const std::string& text) {
  Outcome outcome;
  outcome.file_fault = ImportModels(format, text, {}, [&outcome](ImportedModel& model) {
    ++outcome.models;
    if (model.Algebra) {
      ++outcome.converted;
      outcome.refusals.Converted();
    } else {
      outcome.refusals.Refused(model.Label, model.Fault);
      if (model.Fault.size() > outcome.longest_fault.size()) outcome.longest_fault = model.Fault;
    }
  });
  return outcome;
}

TEST(HostileInput, DeepXmlIsRefusedWithoutExhaustingTheStack) {
  const size_t depth = 100000;
  for (const std::string& closing : {Repeated("</a>", depth), std::string()}) {
    const Outcome outcome = Import(ImportFormat::kUacalc, Repeated("<a>", depth) + closing);
    EXPECT_EQ(outcome.file_fault, "it is not well-formed XML: line 1: elements nested deeper than 256");
  }
  // The limit itself is no fault.
  std::string fault;
  const std::string deepest = Repeated("<a>", kMaxXmlDepth) + Repeated("</a>", kMaxXmlDepth);
  EXPECT_NE(ParseXml(deepest, fault), nullptr) << fault;
}

TEST(HostileInput, ManyBrokenModelsTakeLinearTimeAndAreSummedUp) {
  // Each attribute list is left open: a reader that looks for its end from
  // every term reads the rest of the file once per term.
  const Outcome outcome =
      Import(ImportFormat::kLadr, Repeated("interpretation(2, [number = 1,\n", 32000) + kGoodModel);
  EXPECT_EQ(outcome.file_fault, "");
  EXPECT_EQ(outcome.models, 32001);
  EXPECT_EQ(outcome.converted, 1);
  EXPECT_EQ(outcome.refusals.Summary(), "31980 more models were refused; 1 converted");
}

TEST(HostileInput, MemoryStaysInProportionToTheFile) {
  const size_t megabytes = 8;
  const struct {
    const char* what;
    ImportFormat format;
    std::string text;
  } cases[] = {
      {"commas", ImportFormat::kLadr, "interpretation(2, [" + std::string(megabytes << 20, ',')},
      {"one long value list", ImportFormat::kLadr,
       "interpretation(2, [], [function(meet(_,_), [" + Repeated("1,", megabytes << 19) + "1])]).\n"},
      {"good models", ImportFormat::kLadr, Repeated(kGoodModel, (megabytes << 20) / kGoodModel.size())},
      {"a long row", ImportFormat::kUacalc,
       "<algebra><basicAlgebra><cardinality>2</cardinality><operations><op><opSymbol><opName>meet</opName>"
       "<arity>2</arity></opSymbol><opTable><intArray><row>" +
           Repeated("1,", megabytes << 19) + "1</row></intArray></opTable></op></operations></basicAlgebra></algebra>"},
  };
  for (const auto& c : cases) {
    const int64_t before = PeakMemory();
    const Outcome outcome = Import(c.format, c.text);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory resident
    EXPECT_LT(PeakMemory() - before, static_cast<int64_t>(2 * c.text.size())) << c.what;
#endif
    EXPECT_LT(outcome.longest_fault.size(), 200u) << c.what << ": " << outcome.longest_fault;
  }
}

TEST(HostileInput, LongTokensAreQuotedByTheirFirstCharacters) {
  const std::string huge(1 << 20, '7');
  const std::string word(1 << 20, 'x');
  const struct {
    ImportFormat format;
    std::string text;
    std::string fault;  // the model's fault, or the file's
  } cases[] = {
      {ImportFormat::kLadr, "interpretation(2, [], [" + word + "]).",
       "line 1: expected function(...) or relation(...) but found \"" + std::string(40, 'x') + "…\""},
      {ImportFormat::kLadr, "interpretation(" + huge + ", [number = " + huge + "], []).",
       "its size 999999999 is outside 2..28"},
      {ImportFormat::kUacalc, "<algebra " + word + "/>",
       "it is not well-formed XML: line 1: attribute " + std::string(40, 'x') + "… has no value"},
      {ImportFormat::kUacalc,
       "<algebra><basicAlgebra><cardinality>" + huge + "</cardinality></basicAlgebra></algebra>",
       "its cardinality \"" + std::string(40, '7') + "…\" is not a number"},
  };
  for (const auto& c : cases) {
    std::string fault;
    std::string label;
    const std::string file_fault = ImportModels(c.format, c.text, {}, [&](ImportedModel& model) {
      fault = model.Fault;
      label = model.Label;
    });
    EXPECT_EQ(file_fault.empty() ? fault : file_fault, c.fault);
    EXPECT_LT(label.size(), 100u) << label.substr(0, 100);
  }
  EXPECT_EQ(Shortened("\xC3\xA9" + std::string(45, 'e')), "\xC3\xA9" + std::string(39, 'e') + "…");
}

}  // namespace
