// The model finder's cooked and portable forms import as its standard form.

#include "formats/LadrOtherForms.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/ExchangeFormats.h"

namespace {

// The three-element chain in the standard form, and the same two models in
// the two other forms (relations, comments and layout as the model finder writes them).
const char* kStandard =
    "interpretation( 3, [number = 1], [\n"
    "    function(meet(_,_), [0,0,0,0,1,2,0,2,2]),\n"
    "    function(prod(_,_), [0,0,0,0,1,2,0,2,2]),\n"
    "    function(eq(_,_), [1,0,0,0,1,2,0,2,1])]).\n"
    "interpretation( 2, [number = 2], [\n"
    "    function(meet(_,_), [0,0,0,1]),\n"
    "    function(prod(_,_), [0,0,0,1]),\n"
    "    function(eq(_,_), [1,0,0,1])]).\n";

std::string Cooked() {
  std::string text = "% number = 1\n% seconds = 0\n\n% Interpretation of size 3\n\n";
  const char* tables[][2] = {{"meet", "000012022"}, {"prod", "000012022"}, {"eq", "100012021"}};
  for (const auto& table : tables) {
    for (int k = 0; k < 9; ++k) {
      text += std::string(table[0]) + "(" + std::to_string(k / 3) + "," + std::to_string(k % 3) + ") = " +
              table[1][k] + ".\n";
    }
    text += "\n";
  }
  text += "- R(0,1).\nR(1,1).\n\n% Interpretation of size 2\n\n";
  for (const char* name : {"meet", "prod"}) {
    text += std::string(name) + "(0,0) = 0.\n" + name + "(0,1) = 0.\n" + name + "(1,0) = 0.\n" + name + "(1,1) = 1.\n";
  }
  return text + "eq(0,0) = 1.\neq(0,1) = 0.\neq(1,0) = 0.\neq(1,1) = 1.\n";
}

const char* kPortable =
    "[\n  [3,\n    [1, 0],\n    [\n"
    "      [\"function\", \"meet\", 2, [0,0,0,0,1,2,0,2,2]],\n"
    "      [\"function\", \"prod\", 2, [0,0,0,0,1,2,0,2,2]],\n"
    "      [\"relation\", \"R\", 2, [0,1,0,1,1,0,0,0,1]],\n"
    "      [\"function\", \"eq\", 2, [1,0,0,0,1,2,0,2,1]]\n    ]\n  ],\n"
    "  [2, [2, 0], [[\"function\", \"meet\", 2, [0,0,0,1]], [\"function\", \"prod\", 2, [0,0,0,1]],\n"
    "   [\"function\", \"eq\", 2, [1,0,0,1]]]]\n]\n";

TEST(LadrOtherForms, CookedAndPortableImportAsTheStandardForm) {
  const ImportResult standard = ImportModels(ImportFormat::kLadr, kStandard);
  ASSERT_EQ(standard.Models.size(), 2u);
  for (const std::string& text : {Cooked(), std::string(kPortable)}) {
    const ImportResult other = ImportModels(ImportFormat::kLadr, text);
    ASSERT_EQ(other.Models.size(), 2u) << text;
    for (size_t k = 0; k < 2; ++k) {
      ASSERT_TRUE(other.Models[k].Algebra) << other.Models[k].Fault;
      EXPECT_EQ(other.Models[k].Algebra->EQAText(), standard.Models[k].Algebra->EQAText());
    }
  }
  EXPECT_FALSE(LadrStandardForm(kStandard).has_value()) << "the standard form is read as it is";
  EXPECT_FALSE(LadrStandardForm("no models here").has_value());
}

}  // namespace
