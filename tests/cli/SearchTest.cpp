// velmora-cli search end to end: output lines against the same search run in
// this process, reproducibility, the stop rule, files written with --out, and
// every kind of bad argument.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "classes/AlgebraClass.h"
#include "genetic/EQGenerations.h"
#include "model/Formatting.h"
#include "model/Random.h"
#include "CliRunner.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"

namespace {

// The lines without the final line's record of how the run was made
// (completeness, seed, version, settings), which TrustworthyResults checks.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    const size_t record = line.find(", \"complete\": ");
    if (line.rfind("{\"winners\": [", 0) == 0 && record != std::string::npos) line = line.substr(0, record) + "}";
    lines.push_back(line);
  }
  return lines;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The lines the tool must print, from the same search run in this process.
std::vector<std::string> ExpectedLines(uint32_t seed, int steps, int winners_limit) {
  const SearchSettings saved = Settings;
  const GAStatus saved_ga = GA;
  RandSeed(seed);
  GA = GAStatus{};
  TEQGenerations search(Settings.ElementCount, Settings.PopulationLimit);
  const auto state = [&search] {
    return "\"generation\": " + std::to_string(GA.GenerationNumber) +
           ", \"members\": " + std::to_string(search.FCurrent()->Count()) +
           ", \"best\": " + ShortestDouble(GA.BestFitness) + ", \"median\": " + ShortestDouble(GA.MedianFitness) +
           ", \"worst\": " + ShortestDouble(GA.WorstFitness) +
           ", \"winners\": " + std::to_string(search.FWinners()->Count()) + "}";
  };
  std::vector<std::string> lines = {"{\"seed\": " + std::to_string(seed) + ", " + state()};
  for (int i = 0; i < steps; ++i) {
    search.Step();
    std::string line(1, '{');
    lines.push_back(line + state());
    const int winners = search.FWinners()->Count();
    if (winners > 0 && winners_limit < winners) break;
  }
  std::string last = "{\"winners\": [";
  for (int i = 0; i < search.FWinners()->Count(); ++i) {
    if (i > 0) last += ", ";
    last += JsonString(search.FWinners()->Get(i)->CanonicalText);
  }
  last += "], \"classes\": [";
  for (int i = 0; i < search.FWinners()->Count(); ++i) {
    if (i > 0) last += ", ";
    last += JsonString(ClassifyAlgebra(*search.FWinners()->Get(i)).Id);
  }
  lines.push_back(last + "]}");
  Settings = saved;
  GA = saved_ga;
  return lines;
}

TEST(SearchCommand, PrintsTheFirstPopulationEveryStepAndTheWinners) {
  const CliRun run = RunCli("search --seed 42 --steps 5");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");  // no progress line when stderr is no terminal
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines, ExpectedLines(42, 5, 100));
  const std::regex generation_line(
      R"(\{"generation": [1-5], "members": \d+, "best": [0-9.e-]+, "median": [0-9.e-]+, "worst": [0-9.e-]+, "winners": \d+\})");
  EXPECT_EQ(lines[0].rfind("{\"seed\": 42, \"generation\": 0, \"members\": 180, \"best\": ", 0), 0u);
  for (size_t i = 1; i <= 5; ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], generation_line)) << lines[i];
    EXPECT_EQ(lines[i].rfind("{\"generation\": " + std::to_string(i) + ",", 0), 0u);
  }
  EXPECT_EQ(lines[6].rfind("{\"winners\": [", 0), 0u);
}

TEST(SearchCommand, OneSeedGivesTheSameOutputAndAnotherSeedAnother) {
  const CliRun first = RunCli("search --seed 4294967295 --steps 8");
  const CliRun second = RunCli("search --seed 4294967295 --steps 8");
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(Lines(first.out).size(), 10u);
  EXPECT_NE(first.out, RunCli("search --seed 0 --steps 8").out);
}

TEST(SearchCommand, ClockSeedIsShownAndReproducesTheRun) {
  const CliRun run = RunCli("search --steps 3");
  ASSERT_EQ(run.status, 0);
  std::smatch match;
  ASSERT_TRUE(std::regex_search(run.out, match, std::regex(R"(^\{"seed": (\d+), )")));
  const CliRun again = RunCli("search --steps 3 --seed " + match[1].str());
  EXPECT_EQ(run.out, again.out);
}

TEST(SearchCommand, StopsAfterTheStepInWhichTheWinnersExceedTheLimit) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("four.ini"),
                 "[Algebra properties]\r\nElements number=4\r\n[GA properties]\r\nWinners limit=10\r\n"
                 "Steps limit=50\r\n");
  const CliRun run = RunCli("search --seed 9 --settings " + Quoted(dir.File("four.ini")));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  Settings.ElementCount = 4;
  const std::vector<std::string> expected = ExpectedLines(9, 50, 10);
  Settings = SearchSettings{};
  EXPECT_EQ(lines, expected);
  ASSERT_GT(lines.size(), 3u) << "several steps before the limit is passed";
  EXPECT_LT(lines.size(), 52u) << "the winners limit ended the run early";
  std::smatch match;
  const std::regex winners_count(R"("winners": (\d+)\}$)");
  ASSERT_TRUE(std::regex_search(lines[lines.size() - 2], match, winners_count));
  EXPECT_GT(std::stoi(match[1].str()), 10);
  ASSERT_TRUE(std::regex_search(lines[lines.size() - 3], match, winners_count));
  EXPECT_LE(std::stoi(match[1].str()), 10);
}

// The final object's two lists, in winner order.
std::pair<std::vector<std::string>, std::vector<std::string>> WinnersAndClasses(const std::string& line) {
  std::pair<std::vector<std::string>, std::vector<std::string>> lists;
  const size_t classes_at = line.find("\"classes\": [");
  EXPECT_NE(classes_at, std::string::npos) << line;
  const std::regex quoted(R"re("([^"]*)")re");
  const std::string winners_part = line.substr(0, classes_at), classes_part = line.substr(classes_at + 11);
  for (auto it = std::sregex_iterator(winners_part.begin(), winners_part.end(), quoted); it != std::sregex_iterator(); ++it) {
    if ((*it)[1] != "winners") lists.first.push_back((*it)[1]);
  }
  for (auto it = std::sregex_iterator(classes_part.begin(), classes_part.end(), quoted); it != std::sregex_iterator(); ++it) {
    lists.second.push_back((*it)[1]);
  }
  return lists;
}

TEST(SearchCommand, OnePerClassKeepsTheFirstWinnerOfEachClass) {
  ScratchDirectory dir;
  const std::string settings = "[Algebra properties]\r\nElements number=4\r\n[GA properties]\r\nPopulation limit=120\r\n";
  WriteWholeFile(dir.File("all.ini"), settings);
  WriteWholeFile(dir.File("one.ini"), settings + "One per class=1\r\n");
  const CliRun all = RunCli("search --seed 2 --steps 60 --settings " + Quoted(dir.File("all.ini")));
  const CliRun one = RunCli("search --seed 2 --steps 60 --settings " + Quoted(dir.File("one.ini")));
  ASSERT_EQ(all.status, 0) << all.err;
  ASSERT_EQ(one.status, 0) << one.err;
  const auto [all_winners, all_classes] = WinnersAndClasses(Lines(all.out).back());
  const auto [one_winners, one_classes] = WinnersAndClasses(Lines(one.out).back());
  ASSERT_EQ(all_winners.size(), all_classes.size());
  std::vector<std::string> expected_winners, expected_classes;
  for (size_t i = 0; i < all_winners.size(); ++i) {
    if (std::find(expected_classes.begin(), expected_classes.end(), all_classes[i]) != expected_classes.end()) continue;
    expected_winners.push_back(all_winners[i]);
    expected_classes.push_back(all_classes[i]);
  }
  ASSERT_LT(expected_winners.size(), all_winners.size()) << "this run meets some class twice";
  EXPECT_EQ(one_winners, expected_winners);
  EXPECT_EQ(one_classes, expected_classes);
}

// Every file in a directory, by name.
std::map<std::string, std::string> FilesIn(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
  }
  return files;
}

TEST(SearchCommand, EveryThreadCountPrintsAndWritesTheSameSearch) {
  ScratchDirectory dir;
  struct Case {
    const char* name;
    const char* ini;
    uint32_t seed;
    int steps;
  };
  const std::vector<Case> cases = {
      {"defaults", "", 1, 12},
      {"delta and max, non-commutative, limit 10", "[Algebra properties]\r\nElements number=4\r\nDelta=1\r\nMax=1\r\n"
       "Non-Commutative=1\r\n[GA properties]\r\nPopulation limit=10\r\nWinners limit=10000\r\n", 7, 30},
      {"delta, non-goodness, linear", "[Algebra properties]\r\nElements number=5\r\nDelta=1\r\nNon-Goodness=1\r\n"
       "Linear=1\r\n[GA properties]\r\nPopulation limit=400\r\n", 8, 6},
      {"max, lattice, non-residuated, colourful", "[Algebra properties]\r\nElements number=3\r\nMax=1\r\nLattice=1\r\n"
       "Non-Residuated=1\r\nColorfulness=2\r\n[GA properties]\r\nWinners limit=10000\r\n", 9, 10},
      {"limit 10000", "[Algebra properties]\r\nElements number=4\r\n[GA properties]\r\nPopulation limit=10000\r\n"
       "Winners limit=10000\r\n", 10, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string arguments = "search --seed " + std::to_string(c.seed) + " --steps " + std::to_string(c.steps);
    if (*c.ini != '\0') {
      WriteWholeFile(dir.File("case.ini"), c.ini);
      arguments += " --settings " + Quoted(dir.File("case.ini"));
    }
    const std::string one_dir = dir.File(std::string("one_") + std::to_string(c.seed));
    const CliRun one = RunCli(arguments + " --threads 1 --out " + Quoted(one_dir));
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(Lines(one.out).size(), static_cast<size_t>(c.steps) + 2);
    for (const char* threads : {"2", "3"}) {
      const std::string many_dir = dir.File(std::string("many_") + threads + std::to_string(c.seed));
      const CliRun many = RunCli(arguments + " --threads " + threads + " --out " + Quoted(many_dir));
      EXPECT_EQ(many.status, 0) << many.err;
      EXPECT_EQ(many.out, one.out) << threads << " threads";
      EXPECT_EQ(FilesIn(many_dir), FilesIn(one_dir)) << threads << " threads";
    }
  }
  // The default, every core, agrees with one thread too; and one thread with the search in this process.
  EXPECT_EQ(RunCli("search --seed 5 --steps 6").out, RunCli("search --seed 5 --steps 6 --threads 1").out);
  EXPECT_EQ(Lines(RunCli("search --seed 5 --steps 6 --threads 2").out), ExpectedLines(5, 6, 100));
}

TEST(SearchCommand, OutWritesEveryWinnerAsEqaAndTableFiles) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("three.ini"), "[Algebra properties]\r\nElements number=3\r\n");
  const std::string out = dir.File("nested/winners");
  const CliRun run = RunCli("search --seed 3 --steps 2 --settings " + Quoted(dir.File("three.ini")) +
                            " --out " + Quoted(out));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  Settings.ElementCount = 3;
  RandSeed(3);
  GA = GAStatus{};
  TEQGenerations search(3, Settings.PopulationLimit);
  search.Step();
  search.Step();
  const TEQPopulation& winners = *search.FWinners();
  ASSERT_GE(winners.Count(), 1);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 2 * winners.Count());
  for (int i = 0; i < winners.Count(); ++i) {
    const std::string base = out + "/winner_" + FormatIndex(i);
    TEQAlgebra expected = *winners.Get(i);
    expected.Description = "Algebra_" + FormatIndex(i);
    EXPECT_EQ(ReadWholeFile(base + ".eqp"), expected.DumpTables() + "\r\n");
    const std::string eqa = ReadWholeFile(base + ".eqa");
    EXPECT_EQ(eqa.rfind("Algebra_" + FormatIndex(i) + "\r\n", 0), 0u);
    TEQAlgebra read_back;
    read_back.FileName = base + ".eqa";
    ASSERT_TRUE(read_back.ReadEQA());
    read_back.UpdateFitness();
    EXPECT_EQ(read_back.Fitness, 1.0);
    EXPECT_EQ(read_back.CanonicalText, winners.Get(i)->CanonicalText);
  }
  Settings = SearchSettings{};
}

TEST(SearchCommand, OutThatCannotBeCreatedFailsAfterPrintingEverything) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("plain"), "not a directory");
  WriteWholeFile(dir.File("three.ini"), "[Algebra properties]\r\nElements number=3\r\n");
  const std::string out = dir.File("plain/winners");
  const CliRun run = RunCli("search --seed 3 --steps 2 --settings " + Quoted(dir.File("three.ini")) +
                            " --out " + Quoted(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("velmora-cli search: cannot create directory \"" + out + "\": ", 0), 0u) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3].rfind("{\"winners\": [\"", 0), 0u);

  // A directory that exists but holds a directory where a file should go.
  const std::string blocked = dir.File("blocked");
  std::filesystem::create_directories(blocked + "/winner_0000.eqp");
  const CliRun partly = RunCli("search --seed 3 --steps 2 --settings " + Quoted(dir.File("three.ini")) +
                               " --out " + Quoted(blocked));
  EXPECT_EQ(partly.status, 1);
  EXPECT_EQ(partly.err, "velmora-cli search: warning: \"" + blocked +
                           "\" already holds 1 winner_* files from an earlier run; they stay, and this run's files "
                           "replace those of the same name\n"
                           "velmora-cli search: cannot write \"" + blocked + "/winner_0000.eqp\": Is a directory\n");
  EXPECT_TRUE(std::filesystem::is_regular_file(blocked + "/winner_0000.eqa"));
  EXPECT_TRUE(std::filesystem::is_regular_file(blocked + "/winner_0001.eqp")) << "the next winner is still written";
}

TEST(SearchCommand, BadArgumentsAreUsageErrors) {
  const std::string usage =
      "Usage: velmora-cli search [--settings FILE.ini] [--strict] [--seed S] [--steps N] [--out DIR] [--threads T]\n";
  struct Case {
    const char* arguments;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"--seed -1", "--seed needs a whole number from 0 to 4294967295, not \"-1\""},
      {"--seed 4294967296", "--seed needs a whole number from 0 to 4294967295, not \"4294967296\""},
      {"--seed 12ab", "--seed needs a whole number from 0 to 4294967295, not \"12ab\""},
      {"--seed ''", "--seed needs a whole number from 0 to 4294967295, not \"\""},
      {"--seed", "--seed needs a value"},
      {"--steps -3", "--steps needs a whole number of 0 or more, not \"-3\""},
      {"--steps 1.5", "--steps needs a whole number of 0 or more, not \"1.5\""},
      {"--out ''", "--out needs a value"},
      {"--threads 0", "--threads needs a whole number from 1 to 1024, not \"0\""},
      {"--threads 1025", "--threads needs a whole number from 1 to 1024, not \"1025\""},
      {"--threads all", "--threads needs a whole number from 1 to 1024, not \"all\""},
      {"--threads", "--threads needs a value"},
      {"--fast", "unknown option \"--fast\""},
      {"extra", "unknown argument \"extra\""},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(std::string("search ") + c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.err, "velmora-cli search: " + c.message + "\n" + usage) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
  }
  const CliRun missing = RunCli("search --settings /nonexistent/velmora.ini --seed 1");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "velmora-cli search: Settings file not found: /nonexistent/velmora.ini\n");
  EXPECT_EQ(missing.out, "");
}

}  // namespace
