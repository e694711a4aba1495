// EQA files: the exact written form, reading back (CR LF and LF, defaults
// for missing sections), and every malformed file rejected with its message
// and the algebra left exactly as it was.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/EQAlgebra.h"
#include "ExampleAlgebras.h"
#include "model/Random.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"

namespace {

class EQAlgebraFileTest : public ::testing::Test {
 protected:
  void SetUp() override { Settings = SearchSettings{}; }
  void TearDown() override { Settings = SearchSettings{}; }

  // Reads `text` as a file into a fresh algebra.
  bool ReadText(const std::string& text, TEQAlgebra& algebra, std::string* error = nullptr) {
    const std::string path = dir_.File("in.eqa");
    WriteWholeFile(path, text);
    algebra.FileName = path;
    return algebra.ReadEQA(error);
  }

  ScratchDirectory dir_;
};

std::string WithLf(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

// The lines of a file joined with LF.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST_F(EQAlgebraFileTest, WritesTheChainExampleByteForByte) {
  auto algebra = MakeChainExample();
  algebra->FileName = dir_.File("chain.eqa");
  ASSERT_TRUE(algebra->WriteEQA());
  EXPECT_EQ(ReadWholeFile(algebra->FileName), ChainExampleFile());
}

TEST_F(EQAlgebraFileTest, ReadsTheChainExampleWithCrLfAndWithLf) {
  const auto expected = MakeChainExample();
  for (const std::string& text : {ChainExampleFile(), WithLf(ChainExampleFile())}) {
    TEQAlgebra algebra;
    algebra.Fitness = 0.5;
    algebra.CanonicalText = "kept";
    ASSERT_TRUE(ReadText(text, algebra));
    EXPECT_EQ(algebra.Description, "Algebra_0000");
    EXPECT_EQ(algebra.Size, 3);
    EXPECT_EQ(std::string(algebra.ElementList.data(), 3), "0a1");
    for (int k = 0; k < 9; ++k) {
      EXPECT_EQ(algebra.ProductGene.Entries[k].X, expected->ProductGene.Entries[k].X);
      EXPECT_EQ(algebra.ProductGene.Entries[k].Y, expected->ProductGene.Entries[k].Y);
      EXPECT_EQ(algebra.ProductGene.Entries[k].Value, expected->ProductGene.Entries[k].Value);
    }
    EXPECT_EQ(algebra.InfimumGene.Entries[2].Value, 'a');
    EXPECT_EQ(algebra.FEqualityGene.Entries[2].Value, 'a');
    EXPECT_EQ(algebra.Fitness, 0.5);
    EXPECT_EQ(algebra.CanonicalText, "kept");
    // The missing sections get the defaults: d(1) = 1, 0 otherwise, and
    // placeholder maximum entries.
    ASSERT_EQ(algebra.DeltaGene.Count, 3);
    EXPECT_EQ(algebra.DeltaGene.Entries[0].X, '0');
    EXPECT_EQ(algebra.DeltaGene.Entries[0].Value, '0');
    EXPECT_EQ(algebra.DeltaGene.Entries[1].Value, '0');
    EXPECT_EQ(algebra.DeltaGene.Entries[2].Value, '1');
    ASSERT_EQ(algebra.MaximumGene.Count, 9);
    std::string maximum;
    for (int k = 0; k < 9; ++k) {
      const PairEntry& e = algebra.MaximumGene.Entries[k];
      maximum += std::string{e.X, e.Y, e.Value} + " ";
    }
    EXPECT_EQ(maximum, "000 0aa 011 a00 aaa a10 101 1a1 111 ");
  }
}

TEST_F(EQAlgebraFileTest, RoundTripKeepsEveryWrittenEntry) {
  for (const auto& [delta, maximum] : {std::pair<bool, bool>{false, false}, {true, false}, {false, true}, {true, true}}) {
    Settings.DeltaEnabled = delta;
    Settings.MaximumEnabled = maximum;
    for (int n : {2, 5, 28}) {
      RandSeed(static_cast<uint32_t>(n * 10 + delta * 2 + maximum));
      TEQAlgebra written;
      written.BuildRandom(n);
      written.Description = "round trip " + std::to_string(n);
      written.FileName = dir_.File("round.eqa");
      ASSERT_TRUE(written.WriteEQA());
      TEQAlgebra read;
      read.FileName = written.FileName;
      ASSERT_TRUE(read.ReadEQA());
      TEQAlgebra expected = written;
      if (!delta && !maximum) {  // not written: read back as the default
        expected.DeltaGene.Count = n;
        for (int k = 0; k < n; ++k) expected.DeltaGene.Entries[k] = {written.ElementList[k], k == n - 1 ? '1' : '0'};
      }
      if (!maximum) {  // not written: placeholders
        int k = 0;
        for (int i = 0; i < n; ++i) {
          for (int j = 0; j < n; ++j) {
            const char x = written.ElementList[i], y = written.ElementList[j];
            expected.MaximumGene.Entries[k++] = {x, y, x == '1' ? '1' : (x == '0' ? y : (i == j ? x : '0'))};
          }
        }
      }
      EXPECT_TRUE(SameReadFields(read, expected)) << "n=" << n << " delta=" << delta << " max=" << maximum;
    }
  }
}

TEST_F(EQAlgebraFileTest, SectionsWrittenFollowTheSettings) {
  auto algebra = MakeChainExample();
  SetSingleGene(algebra->DeltaGene, {"00", "a0", "11"});
  algebra->FileName = dir_.File("a.eqa");
  Settings.DeltaEnabled = true;
  ASSERT_TRUE(algebra->WriteEQA());
  EXPECT_EQ(ReadWholeFile(algebra->FileName), ChainExampleFile() + "3\r\n0 0\r\na 0\r\n1 1\r\n");
  Settings.DeltaEnabled = false;
  Settings.MaximumEnabled = true;
  SetPairGene(algebra->MaximumGene, {"0aa"});
  ASSERT_TRUE(algebra->WriteEQA());
  EXPECT_EQ(ReadWholeFile(algebra->FileName), ChainExampleFile() + "3\r\n0 0\r\na 0\r\n1 1\r\n1\r\n0 a a\r\n");
}

TEST_F(EQAlgebraFileTest, ChildCopiedUnderMaximumOnlyWritesTheDefaultDelta) {
  Settings.MaximumEnabled = true;
  RandSeed(77);
  TEQAlgebra parent;
  parent.BuildRandom(4);
  TEQAlgebra child;  // a fresh algebra: its delta entries hold character 0
  child.CopyFrom(&parent);
  child.FileName = dir_.File("child.eqa");
  ASSERT_TRUE(child.WriteEQA());
  const std::string text = ReadWholeFile(child.FileName);
  EXPECT_NE(text.find("\r\n4\r\n0 0\r\na 0\r\nb 0\r\n1 1\r\n16\r\n"), std::string::npos);
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(EQAlgebraFileTest, DeltaCountZeroGivesTheDefaultDeltaAndStillReadsMaximum) {
  TEQAlgebra algebra;
  const std::string text = WithLf(ChainExampleFile()) + "0\n9\n0 0 a\n0 a a\n0 1 1\na 0 a\na a a\na 1 1\n1 0 1\n1 a 1\n1 1 1\n";
  ASSERT_TRUE(ReadText(text, algebra));
  EXPECT_EQ(algebra.DeltaGene.Count, 3);
  EXPECT_EQ(algebra.DeltaGene.Entries[1].X, 'a');
  EXPECT_EQ(algebra.DeltaGene.Entries[1].Value, '0');
  EXPECT_EQ(algebra.MaximumGene.Count, 9);
  EXPECT_EQ(algebra.MaximumGene.Entries[0].Value, 'a');
}

TEST_F(EQAlgebraFileTest, CharactersAreTakenAsTheyStand) {
  TEQAlgebra algebra;
  const std::string text = Lines({"", "  2  trailing words", "x\ty", "", "1", "x\ty\t\xE9", "4", "x x x", "x y y",
                                  "y x \x01", "y y #", "1", "x y z"});
  ASSERT_TRUE(ReadText(text, algebra));
  EXPECT_EQ(algebra.Description, "");
  EXPECT_EQ(algebra.Size, 2);
  EXPECT_EQ(algebra.ElementList[0], 'x');
  EXPECT_EQ(algebra.ElementList[1], 'y');
  EXPECT_EQ(algebra.InfimumGene.Entries[0].Value, '\xE9');
  EXPECT_EQ(algebra.ProductGene.Entries[2].Value, '\x01');
  EXPECT_EQ(algebra.FEqualityGene.Entries[0].Value, 'z');
  // The default delta compares with "1" as a character: none here.
  EXPECT_EQ(algebra.DeltaGene.Entries[1].Value, '0');
}

TEST_F(EQAlgebraFileTest, EmptyDescriptionRoundTrips) {
  auto algebra = MakeChainExample();
  algebra->Description.clear();
  algebra->FileName = dir_.File("empty.eqa");
  ASSERT_TRUE(algebra->WriteEQA());
  TEQAlgebra read;
  read.Description = "old";
  read.FileName = algebra->FileName;
  ASSERT_TRUE(read.ReadEQA());
  EXPECT_EQ(read.Description, "");
}

TEST_F(EQAlgebraFileTest, WriteReportsAFileThatCannotBeCreatedWithItsReason) {
  auto algebra = MakeChainExample();
  algebra->FileName = dir_.File("missing/dir/a.eqa");
  EXPECT_FALSE(algebra->WriteEQA());
  std::string reason;
  EXPECT_FALSE(algebra->WriteEQA(&reason));
  EXPECT_EQ(reason, "No such file or directory");
  algebra->FileName = dir_.Path();  // a directory
  EXPECT_FALSE(algebra->WriteEQA(&reason));
  EXPECT_EQ(reason, "Is a directory");
}

TEST_F(EQAlgebraFileTest, FilesUpToTheSizeLimitAreReadAndLargerOnesRefused) {
  // The chain example behind a description that fills the file to the limit.
  const std::string body = ChainExampleFile().substr(ChainExampleFile().find("\r\n"));
  const std::string description(kMaxEqaFileBytes - body.size(), 'd');
  TEQAlgebra algebra;
  std::string error;
  ASSERT_TRUE(ReadText(description + body, algebra, &error)) << error;
  EXPECT_EQ(algebra.Description, description);
  auto kept = MakeChainExample();
  const TEQAlgebra before = *kept;
  EXPECT_FALSE(ReadText("d" + description + body, *kept, &error));
  EXPECT_EQ(error, "Error reading file: " + dir_.File("in.eqa") + ": larger than 1048576 bytes");
  EXPECT_TRUE(SameReadFields(*kept, before));
}

struct MalformedCase {
  const char* name;
  std::string text;
  std::string message;  // after "<file>"
};

TEST_F(EQAlgebraFileTest, MalformedFilesAreRejectedAndChangeNothing) {
  const std::string chain = WithLf(ChainExampleFile());
  const std::string head = "Algebra_0000\n3\n0 a 1\n";
  const std::string infimum = "3\n0 a 0\n0 1 0\na 1 a\n";
  const std::string product = "9\n0 0 0\n0 a 0\n0 1 0\na 0 0\na a a\na 1 a\n1 0 0\n1 a a\n1 1 1\n";
  const std::vector<MalformedCase> cases = {
      {"empty file", "", ": the element count is missing"},
      {"one element", "x\n1\n0\n", ": line 2: the element count 1 is outside 2..28"},
      {"too many elements", "x\n29\n", ": line 2: the element count 29 is outside 2..28"},
      {"huge element count", "x\n123456789012345678901234567890\n",
       ": line 2: the element count 123456789012345678901234567890 is outside 2..28"},
      {"element count not a number", "x\n3a\n", ": line 2: the element count \"3a\" is not a number"},
      {"a line of junk is quoted by its start", "x\n" + std::string(100000, 'q') + "\n",
       ": line 2: the element count \"" + std::string(40, 'q') + "...\" is not a number"},
      {"a long count is shown by its start", head + std::string(41, '9') + "\n",
       ": line 4: the infimum count is " + std::string(40, '9') + "..., expected 3 for 3 elements"},
      {"negative element count", "x\n-3\n", ": line 2: the element count \"-3\" is not a number"},
      {"no element line", "x\n3\n", ": the element line is missing"},
      {"short element line", "x\n3\n0 a\n" + infimum, ": line 3: the element line is too short for 3 elements"},
      {"infimum count wrong", head + "4\n", ": line 4: the infimum count is 4, expected 3 for 3 elements"},
      {"infimum count huge", head + "99999999999\n",
       ": line 4: the infimum count is 99999999999, expected 3 for 3 elements"},
      {"infimum count missing", head, ": the infimum count is missing"},
      {"infimum count not a number", head + "three\n", ": line 4: the infimum count \"three\" is not a number"},
      {"truncated infimum entry", head + "3\n0 a 0\n0 1\na 1 a\n", ": line 6: the infimum entry 2 is truncated"},
      {"empty infimum entry", head + "3\n0 a 0\n\na 1 a\n", ": line 6: the infimum entry 2 is truncated"},
      {"file ends in the infimum entries", head + "3\n0 a 0\n",
       ": the file ends inside the infimum entries (entry 2 of 3)"},
      {"product count missing", head + infimum, ": the product count is missing"},
      {"product count zero", head + infimum + "0\n", ": line 8: the product count is 0, expected 9 for 3 elements"},
      {"file ends in the product entries", head + infimum + "9\n0 0 0\n0 a 0\n0 1 0\na 0 0\n",
       ": the file ends inside the product entries (entry 5 of 9)"},
      {"equality count missing", head + infimum + product, ": the fuzzy equality count is missing"},
      {"equality count wrong", head + infimum + product + "9\n",
       ": line 18: the fuzzy equality count is 9, expected 3 for 3 elements"},
      {"delta count wrong", chain + "2\n0 0\n1 1\n", ": line 22: the delta count is 2, expected 0 or 3 for 3 elements"},
      {"delta count not a number", chain + "x\n", ": line 22: the delta count \"x\" is not a number"},
      {"truncated delta entry", chain + "3\n0 0\na\n1 1\n", ": line 24: the delta entry 2 is truncated"},
      {"file ends in the delta entries", chain + "3\n0 0\n", ": the file ends inside the delta entries (entry 2 of 3)"},
      {"maximum count wrong", chain + "0\n3\n", ": line 23: the maximum count is 3, expected 0 or 9 for 3 elements"},
      {"maximum count not a number", chain + "3\n0 0\na 0\n1 1\n9x\n",
       ": line 26: the maximum count \"9x\" is not a number"},
      {"file ends in the maximum entries", chain + "0\n9\n0 0 0\n", ": the file ends inside the maximum entries (entry 2 of 9)"},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto algebra = MakeChainExample();
    SetSingleGene(algebra->DeltaGene, {"0#", "a#", "1#"});
    algebra->Fitness = 0.25;
    const TEQAlgebra before = *algebra;
    std::string error;
    EXPECT_FALSE(ReadText(c.text, *algebra, &error));
    EXPECT_EQ(error, dir_.File("in.eqa") + c.message);
    EXPECT_TRUE(SameReadFields(*algebra, before));
    EXPECT_EQ(algebra->Fitness, 0.25);
  }
}

TEST_F(EQAlgebraFileTest, AFileThatCannotBeOpenedIsReported) {
  auto algebra = MakeChainExample();
  const TEQAlgebra before = *algebra;
  std::string error;
  algebra->FileName = dir_.File("absent.eqa");
  EXPECT_FALSE(algebra->ReadEQA(&error));
  EXPECT_EQ(error, "Error reading file: " + dir_.File("absent.eqa") + ": No such file or directory");
  algebra->FileName = dir_.Path();
  EXPECT_FALSE(algebra->ReadEQA(&error));
  EXPECT_EQ(error, "Error reading file: " + dir_.Path() + ": Is a directory");
  algebra->FileName = "/proc/self/mem";  // a regular file whose first read fails
  EXPECT_FALSE(algebra->ReadEQA(&error));
  EXPECT_EQ(error, "Error reading file: /proc/self/mem: Input/output error");
  EXPECT_FALSE(algebra->ReadEQA());  // without a message
  EXPECT_TRUE(SameReadFields(*algebra, before));
}

TEST_F(EQAlgebraFileTest, BlankLinesBeforeACountAreSkipped) {
  TEQAlgebra algebra;
  const std::string text = "d\n\n  3\r\n0 a 1\n3\n0 a 0\n0 1 0\na 1 a\n\n\n9\n0 0 0\n0 a 0\n0 1 0\na 0 0\na a a\na 1 a\n1 0 0\n1 a a\n1 1 1\n 3 \n0 a 0\n0 1 0\na 1 a";
  ASSERT_TRUE(ReadText(text, algebra));
  EXPECT_EQ(algebra.Size, 3);
  EXPECT_EQ(algebra.FEqualityGene.Entries[2].Value, 'a');  // last line without a line end
}

}  // namespace
