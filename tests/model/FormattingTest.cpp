#include "model/Formatting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Formatting, IndexHasAtLeastFourDigits) {
  EXPECT_EQ(FormatIndex(0), "0000");
  EXPECT_EQ(FormatIndex(12), "0012");
  EXPECT_EQ(FormatIndex(9999), "9999");
  EXPECT_EQ(FormatIndex(12345), "12345");
  EXPECT_EQ(FormatIndex(-12), "-0012");
}

TEST(Formatting, ShortestDoubleReadsBackToTheSameValue) {
  EXPECT_EQ(ShortestDouble(1.0), "1");
  EXPECT_EQ(ShortestDouble(0.0), "0");
  EXPECT_EQ(ShortestDouble(0.96), "0.96");
  EXPECT_EQ(ShortestDouble(1e-05), "1e-05");
  EXPECT_EQ(ShortestDouble(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(ShortestDouble(0.9 + 0.1 * 0.5), "0.9500000000000001");
  EXPECT_EQ(ShortestDouble(95 / 100.0), "0.95");
  for (double value : {0.123456789012345678, 1.0 / 3.0, 5e-324, 0.9999999999999999}) {
    EXPECT_EQ(std::strtod(ShortestDouble(value).c_str(), nullptr), value);
  }
}

TEST(Formatting, JsonStringMapsEveryByteToItsCodePoint) {
  EXPECT_EQ(JsonString(""), "\"\"");
  EXPECT_EQ(JsonString("^[0,a]=0;"), "\"^[0,a]=0;\"");
  EXPECT_EQ(JsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
  EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
  EXPECT_EQ(JsonString("\n\r\t\x1f"), "\"\\u000a\\u000d\\u0009\\u001f\"");
  EXPECT_EQ(JsonString("\x7f/"), "\"\x7f/\"");
  EXPECT_EQ(JsonString("\x80\xE9\xFF"), "\"\xC2\x80\xC3\xA9\xC3\xBF\"");
}

}  // namespace
