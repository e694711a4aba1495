// End to end: results a researcher can trust and keep. A misspelt setting is
// told, Ctrl-C keeps what was found, parts share a folder without loss, "-"
// reads standard input, and parts merge into the whole run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Cli() { return Quoted(VELMORA_CLI); }

// Runs a shell script and returns what it prints.
std::string Shell(const std::string& script) {
  std::string out;
  FILE* pipe = popen(script.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  pclose(pipe);
  return out;
}

std::string LastLine(const std::string& text) {
  const size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos) return std::string();
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

size_t CountFiles(const std::string& dir, const std::string& extension) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) count += entry.path().extension() == extension;
  return count;
}

std::string Settings(const ScratchDirectory& dir, int n) {
  const std::string path = dir.File(std::to_string(n) + "-elements.ini");
  WriteWholeFile(path, "[Algebra properties]\nElements number=" + std::to_string(n) + "\n");
  return path;
}

TEST(TrustworthyResults, AMisspeltSettingIsToldAndStrictRefusesIt) {
  ScratchDirectory dir;
  const std::string ini = dir.File("Velmora.ini");
  WriteWholeFile(ini, "[Algebra properties]\nElements number=4\nGoodnes=1\n");
  for (const std::string& command : {std::string("find --count"), "evaluate " + std::string(VELMORA_TEST_DATA) + "/chain3.eqa"}) {
    const CliRun warned = RunCli(command + " --settings " + Quoted(ini));
    EXPECT_EQ(warned.status, 0) << command;
    EXPECT_NE(warned.err.find(ini + ":3: unknown key \"Goodnes\" in [Algebra properties] (ignored; did you mean "
                                    "\"Goodness\"?)"),
              std::string::npos)
        << warned.err;
    const CliRun strict = RunCli(command + " --strict --settings " + Quoted(ini));
    EXPECT_EQ(strict.status, 2) << command;
    EXPECT_TRUE(strict.out.empty()) << strict.out;
  }
}

// Four parts into one folder lose nothing, and merge checks that they make
// the whole run: every part there, complete, of the same settings.
TEST(TrustworthyResults, PartsShareAFolderAndMergeIntoTheWholeRun) {
  ScratchDirectory dir;
  const std::string out = dir.File("classes");
  const std::string ini = Settings(dir, 4);
  for (int k = 1; k <= 4; ++k) {
    const std::string part = "find --threads 1 --part " + std::to_string(k) + "/4 --settings " + Quoted(ini);
    ASSERT_EQ(RunCli(part + " --out " + Quoted(out)).status, 0);
    ASSERT_EQ(RunCli(part + " > " + Quoted(dir.File("part" + std::to_string(k) + ".jsonl"))).status, 0);
  }
  EXPECT_EQ(CountFiles(out, ".eqa"), 265u);
  EXPECT_EQ(CountFiles(out, ".jsonl"), 4u);

  const std::string whole = LastLine(RunCli("find --count --settings " + Quoted(ini)).out);
  const std::string counts = whole.substr(0, whole.find(", \"seconds\""));  // classes, labelled, complete
  const CliRun merged = RunCli("merge " + Quoted(out));
  EXPECT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(merged.out.rfind(counts + ", \"parts\": 4, \"velmora\": ", 0), 0u) << merged.out << whole;
  const std::string parts = Quoted(dir.File("part1.jsonl")) + " " + Quoted(dir.File("part2.jsonl")) + " " +
                            Quoted(dir.File("part3.jsonl")) + " ";
  EXPECT_EQ(RunCli("merge " + parts + Quoted(dir.File("part4.jsonl"))).out, merged.out);

  const CliRun missing = RunCli("merge " + parts);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("part 4/4 is missing"), std::string::npos) << missing.err;
  const std::string foreign = dir.File("foreign.jsonl");
  ASSERT_EQ(RunCli("find --part 4/4 --settings " + Quoted(Settings(dir, 3)) + " > " + Quoted(foreign)).status, 0);
  const CliRun mixed = RunCli("merge " + parts + Quoted(foreign));
  EXPECT_EQ(mixed.status, 1);
  EXPECT_TRUE(mixed.out.empty());
  EXPECT_NE(mixed.err.find("made with other settings"), std::string::npos) << mixed.err;
}

// "-" reads standard input, so that one tool's output pipes into the next.
TEST(TrustworthyResults, ADashReadsStandardInput) {
  ScratchDirectory dir;
  const std::string chain = std::string(VELMORA_TEST_DATA) + "/chain3.eqa";
  for (const std::string command : {"evaluate", "classes", "export --format json"}) {
    const CliRun from_file = RunCli(command + " " + Quoted(chain));
    const CliRun piped = RunCli(command + " - < " + Quoted(chain));
    EXPECT_EQ(piped.status, 0) << command << piped.err;
    std::string expected;  // the file's output with "-" for its name
    size_t from = 0;
    for (size_t at; (at = from_file.out.find(chain, from)) != std::string::npos; from = at + chain.size()) {
      expected.append(from_file.out, from, at - from);
      expected.push_back('-');
    }
    expected.append(from_file.out, from);
    EXPECT_EQ(piped.out, expected) << command;
  }
  const std::string out = dir.File("imported");
  const CliRun imported = RunCli("export --format ladr " + Quoted(chain) + " | " + Cli() + " import --format ladr - --out " + Quoted(out));
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, out + "/stdin_0001.eqa\n");
}

// A format that holds one algebra never gets several in one stream.
TEST(TrustworthyResults, SeveralAlgebrasToAOneAlgebraStreamAreRefused) {
  const std::string chain = Quoted(std::string(VELMORA_TEST_DATA) + "/chain3.eqa");
  for (const std::string format : {"latex", "uacalc", "ladr --theory"}) {
    const CliRun run = RunCli("export --format " + format + " " + chain + " " + chain);
    EXPECT_EQ(run.status, 2) << format;
    EXPECT_TRUE(run.out.empty()) << format;
    EXPECT_NE(run.err.find("give --out DIR"), std::string::npos) << run.err;
  }
  const CliRun json = RunCli("export --format json " + chain + " " + chain);
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 2) << "JSON Lines";
}

// A full disk ends find at the first failed write, and the summary says why.
TEST(TrustworthyResults, AFullDiskEndsFindHonestly) {
  ScratchDirectory dir;
  const std::string out = dir.File("classes");
  std::filesystem::create_directory(out);
  const CliRun run =
      RunCli("find --settings " + Quoted(Settings(dir, 3)) + " --out " + Quoted(out), FaultEnvironment("", 0, out, 100));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  const std::string summary = LastLine(run.out);
  std::string reason = "\"complete\": false, \"why_incomplete\": \"cannot write \\\"";
  reason += out;
  reason += "/class_0000.eqa\\\": No space left on device\"";
  EXPECT_NE(summary.find(reason), std::string::npos) << summary;
  EXPECT_EQ(CountFiles(out, ".eqa") + CountFiles(out, ".eqp"), 0u);
}

// Ctrl-C during a run keeps what was found: search writes its winners and
// its final line, find --out stops at once with its summary, both exit 130.
TEST(TrustworthyResults, AnInterruptedRunKeepsWhatItFound) {
  ScratchDirectory dir;
  const std::string ini = dir.File("search.ini");
  WriteWholeFile(ini, "[Algebra properties]\nElements number=4\n[GA properties]\nWinners limit=10000\n");
  const std::string search = Cli() + " search --seed 7 --steps 0 --settings " + Quoted(ini) + " --out " +
                             Quoted(dir.File("winners")) + " > " + Quoted(dir.File("search.txt"));
  const std::string find = Cli() + " find --settings " + Quoted(Settings(dir, 5)) + " --out " +
                           Quoted(dir.File("classes")) + " > " + Quoted(dir.File("find.txt"));
  for (const std::string& run : {search, find}) {
    EXPECT_EQ(Shell(run + " & pid=$!; sleep 1; kill -INT $pid; wait $pid; echo $?"), "130\n") << run;
  }
  const std::string winners = LastLine(ReadWholeFile(dir.File("search.txt")));
  EXPECT_NE(winners.find("\"complete\": false, \"why_incomplete\": \"interrupted\", \"seed\": 7"),
            std::string::npos) << winners;
  const size_t kept = CountFiles(dir.File("winners"), ".eqa");
  EXPECT_GT(kept, 0u);
  EXPECT_EQ(kept, static_cast<size_t>(std::count(winners.begin(), winners.end(), '^') / 16)) << "one file per winner";

  const std::string summary = LastLine(ReadWholeFile(dir.File("find.txt")));
  EXPECT_NE(summary.find("\"complete\": false, \"why_incomplete\": \"interrupted\""), std::string::npos);
  const size_t classes = std::stoul(summary.substr(summary.find(':') + 1));
  EXPECT_LT(classes, 12959u) << "stopped before the end";
  EXPECT_EQ(CountFiles(dir.File("classes"), ".eqa"), classes);
}

// Ctrl-C while a full pipe blocks the output: the write is carried on once
// the reader reads, and the run ends as on any Ctrl-C.
TEST(TrustworthyResults, AnInterruptWhileThePipeIsFullEndsWithTheSummary) {
  ScratchDirectory dir;
  const std::string fifo = dir.File("pipe");
  const std::string script = "mkfifo " + Quoted(fifo) + "; " + Cli() + " find --settings " + Quoted(Settings(dir, 5)) +
                             " > " + Quoted(fifo) + " 2> " + Quoted(dir.File("err.txt")) + " & pid=$!; exec 3< " +
                             Quoted(fifo) + "; sleep 1; kill -INT $pid; cat <&3 > " + Quoted(dir.File("out.txt")) +
                             "; wait $pid; echo $?";
  EXPECT_EQ(Shell(script), "130\n") << ReadWholeFile(dir.File("err.txt"));
  EXPECT_NE(LastLine(ReadWholeFile(dir.File("out.txt"))).find("\"why_incomplete\": \"interrupted\""),
            std::string::npos);
}

}  // namespace
