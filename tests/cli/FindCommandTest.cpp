// velmora-cli find end to end: the lines against the same finder run in this
// process, the modes that end early, parts, files written with --out, Ctrl-C,
// and every kind of bad argument.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "finder/ExactFinder.h"
#include "model/Formatting.h"
#include "ScratchDirectory.h"
#include "model/Settings.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// A settings file of n elements with extra lines in [Algebra properties].
std::string SettingsFile(const ScratchDirectory& dir, int n, const std::string& extra = "") {
  const std::string path = dir.File("find.ini");
  WriteWholeFile(path, "[Algebra properties]\nElements number=" + std::to_string(n) + "\n" + extra);
  return path;
}

std::string Decimal(BigCount value) { return std::to_string(static_cast<unsigned long long>(value)); }

// The class lines the tool must print, from the same finder run in this process.
std::vector<std::string> ExpectedClassLines(int n) {
  FinderOptions options;
  options.Settings.ElementCount = n;
  std::atomic<bool> stop{false};
  std::vector<std::string> lines;
  RunExactFinder(options, [&](const FoundClass& c) {
    lines.push_back("{\"class\": " + std::to_string(c.Index) + ", \"id\": " + JsonString(c.Class.Id) +
                    ", \"canonical\": " +
                    JsonString(c.Algebra->CanonicalText) + ", \"automorphisms\": " +
                    Decimal(c.Class.Automorphisms) + ", \"labelled\": " + Decimal(c.Labelled) + "}");
  }, {}, stop);
  return lines;
}

// Groups: 1 classes, 2 labelled, 3 complete, 4 why incomplete, 5 the space searched.
const std::regex kSummary(
    R"re(\{"classes": (\d+), "labelled": (\d+), "complete": (true|false), (?:"why_incomplete": "((?:[^"\\]|\\.)*)", )?"seconds": [0-9.e-]+, "searched": "([^"]+)"(?:, "plan": .*)?.*"velmora": .*\})re");

}  // namespace

TEST(FindCommand, PrintsOneLinePerClassThenTheSummary) {
  ScratchDirectory dir;
  const CliRun run = RunCli("find --settings " + Quoted(SettingsFile(dir, 4)));
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_FALSE(lines.empty());
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines.back(), m, kSummary)) << lines.back();
  EXPECT_EQ(m[1], "265");
  EXPECT_EQ(m[3], "true");
  lines.pop_back();
  EXPECT_EQ(lines, ExpectedClassLines(4));
  EXPECT_TRUE(run.err.empty()) << "progress only on a terminal: " << run.err;
}

TEST(FindCommand, CountFirstAndLimit) {
  ScratchDirectory dir;
  const std::string settings = "find --settings " + Quoted(SettingsFile(dir, 4)) + " ";
  const std::vector<std::string> expected = ExpectedClassLines(4);
  std::smatch m;

  std::vector<std::string> lines = Lines(RunCli(settings + "--count").out);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_TRUE(std::regex_match(lines[0], m, kSummary));
  EXPECT_EQ(m[1], "265");
  EXPECT_EQ(m[3], "true");

  lines = Lines(RunCli(settings + "--first").out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("{\"class\": 0, \"id\": ", 0), 0u) << lines[0];
  ASSERT_TRUE(std::regex_match(lines[1], m, kSummary));
  EXPECT_EQ(m[1], "1");
  EXPECT_EQ(m[3], "false");
  EXPECT_EQ(m[4], "stopped at the first winner");

  lines = Lines(RunCli(settings + "--limit 3 --threads 1").out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
            std::vector<std::string>(expected.begin(), expected.begin() + 3));
  ASSERT_TRUE(std::regex_match(lines[3], m, kSummary));
  EXPECT_EQ(m[3], "false");
}

TEST(FindCommand, PartsTogetherGiveEveryClassOnce) {
  ScratchDirectory dir;
  const std::string settings = "find --settings " + Quoted(SettingsFile(dir, 5, "Goodness=1\nResiduated=1\n")) + " ";
  std::vector<std::string> whole_lines = Lines(RunCli(settings).out);
  ASSERT_EQ(whole_lines.size(), 30u);  // 29 classes and the summary
  whole_lines.pop_back();
  std::set<std::string> whole;
  for (const std::string& line : whole_lines) whole.insert(line.substr(line.find("\"canonical\"")));
  std::set<std::string> united;
  int64_t classes = 0;
  for (const char* part : {"1/3", "2/3", "3/3"}) {
    const CliRun run = RunCli(settings + "--part " + part);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines.back(), m, kSummary));
    EXPECT_EQ(m[3], "true");
    classes += std::stoll(m[1]);
    lines.pop_back();
    for (const std::string& line : lines) EXPECT_TRUE(united.insert(line.substr(line.find("\"canonical\""))).second);
  }
  EXPECT_EQ(classes, 29);
  EXPECT_TRUE(united == whole);
}

TEST(FindCommand, OutWritesEveryClassAsFilesThatReadBack) {
  ScratchDirectory dir;
  const std::string out = dir.File("classes");
  const CliRun run = RunCli("find --settings " + Quoted(SettingsFile(dir, 3)) + " --out " + Quoted(out));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 14u);  // 13 classes and the summary
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out)) {
    ++files;
    EXPECT_NE(entry.path().filename().string().front(), '.') << "a temporary file is left";
  }
  EXPECT_EQ(files, 27);  // and the run's record
  EXPECT_EQ(Lines(ReadWholeFile(out + "/find.jsonl")).back(), lines.back());
  SearchSettings three_elements;
  three_elements.ElementCount = 3;
  const ScopedSettings scoped(three_elements);
  for (int i = 0; i < 13; ++i) {
    const std::string index = FormatIndex(i);
    TEQAlgebra a;
    a.FileName = out + "/class_" + index + ".eqa";
    std::string error;
    ASSERT_TRUE(a.ReadEQA(&error)) << error;
    EXPECT_EQ(a.Description, "Class_" + index);
    EXPECT_EQ(a.Evaluate(), 1.0);
    EXPECT_NE(lines[i].find(JsonString(a.BuildCanonicalText())), std::string::npos) << lines[i];
    const std::string dump = ReadWholeFile(out + "/class_" + index + ".eqp");
    EXPECT_EQ(dump, a.DumpTables() + "\r\n");
  }
}

TEST(FindCommand, AnUnusableOutputDirectoryIsReported) {
  ScratchDirectory dir;
  const std::string blocker = dir.File("plain-file");
  WriteWholeFile(blocker, "x");
  const CliRun run = RunCli("find --settings " + Quoted(SettingsFile(dir, 3)) + " --out " + Quoted(blocker));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create directory \"" + blocker + "\""), std::string::npos) << run.err;
}

TEST(FindCommand, AFileThatCannotBeWrittenIsNamedAndEndsTheRun) {
  ScratchDirectory dir;
  const std::string out = dir.File("classes");
  std::filesystem::create_directories(out + "/class_0001.eqa/occupied");  // a folder where the file belongs
  const CliRun run = RunCli("find --settings " + Quoted(SettingsFile(dir, 3)) + " --out " + Quoted(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write \"" + out + "/class_0001.eqa\""), std::string::npos) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << "the run stops at the class that cannot be written";
  EXPECT_NE(lines.back().find("\"complete\": false, \"why_incomplete\": \"cannot write \\\"" + out + "/class_0001.eqa"),
            std::string::npos) << lines.back();
  EXPECT_TRUE(std::filesystem::exists(out + "/class_0000.eqp"));
  EXPECT_FALSE(std::filesystem::exists(out + "/class_0002.eqa"));

  // A write that fails part-way, as on a full disk, leaves none of the
  // writer's temporary files (".NAME.tmp-…" beside the target) behind.
  const std::string full = dir.File("full");
  std::filesystem::create_directories(full);
  const CliRun cut = RunCli("find --settings " + Quoted(SettingsFile(dir, 3)) + " --out " + Quoted(full),
                            FaultEnvironment("", 0, full, 10));
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("cannot write \"" + full + "/class_0000.eqa\": No space left on device"), std::string::npos)
      << cut.err;
  for (const auto& entry : std::filesystem::directory_iterator(full)) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << "a temporary file is left: " << entry.path();
  }
}

TEST(FindCommand, InterruptEndsWithTheSummaryAndStatus130) {
  ScratchDirectory dir;
  const std::string command = std::string("'") + VELMORA_CLI + "' find --settings " +
                              Quoted(SettingsFile(dir, 7)) + " > " + Quoted(dir.File("out.txt"));
  const std::string script = command + " & pid=$!; sleep 1; kill -INT $pid; wait $pid; echo $?";
  FILE* pipe = popen(script.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char status[32] = {};
  ASSERT_NE(fgets(status, sizeof status, pipe), nullptr);
  pclose(pipe);
  EXPECT_STREQ(status, "130\n");
  const std::vector<std::string> lines = Lines(ReadWholeFile(dir.File("out.txt")));
  ASSERT_FALSE(lines.empty());
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines.back(), m, kSummary)) << lines.back();
  EXPECT_EQ(m[3], "false");
  EXPECT_EQ(std::stoll(m[1]), static_cast<long long>(lines.size()) - 1);
  EXPECT_NE(lines.back().find("\"finished\": ["), std::string::npos) << "what it finished, for --resume";
}

// --resume reads the finished units of a run cut short (here: the first half
// of this process's own run) and counts only the rest; a foreign or broken
// file is named with the reason.
TEST(FindCommand, ResumeAddsTheFinishedUnitsOfAnEarlierRun) {
  ScratchDirectory dir;
  const std::string settings = SettingsFile(dir, 6, "Goodness=1\nResiduated=1\n");
  FinderOptions options;
  options.Settings.ElementCount = 6;
  options.Settings.WantGoodness = options.Settings.WantResiduated = true;
  options.Mode = FinderMode::Count;
  options.PartCount = 2;
  std::atomic<bool> stop{false};
  FinderSummary earlier = RunExactFinder(options, {}, {}, stop);
  ASSERT_GE(earlier.Finished.size(), 2u);
  const int64_t whole = earlier.Classes;
  earlier.Finished.resize(earlier.Finished.size() / 2);
  char plan[17];
  std::snprintf(plan, sizeof plan, "%016llx", static_cast<unsigned long long>(earlier.Plan));
  std::string finished;
  for (const FinishedUnit& unit : earlier.Finished) {
    finished += (finished.empty() ? "[" : ", [") + std::to_string(unit.Unit) + ", " + std::to_string(unit.Classes) +
                ", " + Decimal(unit.Labelled) + "]";
  }
  const std::string cut = dir.File("cut.jsonl");
  WriteWholeFile(cut, "{\"classes\": 1, \"labelled\": 1, \"complete\": false, \"seconds\": 1, \"plan\": \"" +
                          std::string(plan) + "\", \"units\": 9, \"finished\": [" + finished + "]}\n");
  const CliRun resumed = RunCli("find --count --part 1/2 --settings " + Quoted(settings) + " --resume " + Quoted(cut));
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  std::smatch m;
  const std::string line = Lines(resumed.out).back();
  ASSERT_TRUE(std::regex_match(line, m, kSummary)) << line;
  EXPECT_EQ(std::stoll(m[1]), whole);
  EXPECT_EQ(m[3], "true");

  const CliRun other_part = RunCli("find --count --part 2/2 --settings " + Quoted(settings) + " --resume " + Quoted(cut));
  EXPECT_EQ(other_part.status, 2);
  EXPECT_NE(other_part.err.find(cut + "\" is the output of another run"), std::string::npos) << other_part.err;
  const std::string broken = dir.File("broken.jsonl");
  WriteWholeFile(broken, "{\"plan\": \"" + std::string(plan) + "\", \"finished\": [[1, 2]]}\n");
  const std::string broken_piece = dir.File("broken-piece.jsonl");
  WriteWholeFile(broken_piece, "{\"plan\": \"" + std::string(plan) + "\", \"finished\": [], \"space\": \"" +
                                   std::string(plan) + "\", \"pieces\": [[0, [1, 2], 3]], \"open\": []}\n");
  const std::pair<std::string, std::string> bad[] = {
      {dir.File("absent.jsonl"), "cannot read \"" + dir.File("absent.jsonl") + "\""},
      {settings, "\"" + settings + "\" holds no summary of a run cut short"},
      {broken, "\"" + broken + "\": a finished unit is not [unit, classes, labelled]"},
      {broken_piece, "\"" + broken_piece + "\": a piece is not [lattice, [path], classes, labelled]"},
  };
  for (const auto& [path, message] : bad) {
    const CliRun run = RunCli("find --count --settings " + Quoted(settings) + " --resume " + Quoted(path));
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_NE(run.err.find("velmora-cli find: " + message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << path;
  }
}

// A count cut short by its time limit records its pieces by path; resumed
// from its output, it ends with the count of a run never cut.
// The count of all 6-element algebras takes about ten seconds of one core
// here, so a limit of one second cuts it on much faster machines too.
TEST(FindCommand, ACountCutShortResumesToTheWholeCount) {
  ScratchDirectory dir;
  const std::string settings = SettingsFile(dir, 6);
  const std::string cut = dir.File("cut.jsonl");
  const CliRun first = RunCli("find --count --threads 1 --timeout 1 --settings " + Quoted(settings) + " > " + Quoted(cut));
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string record = ReadWholeFile(cut);
  EXPECT_NE(record.find("\"complete\": false"), std::string::npos) << record;
  EXPECT_NE(record.find("\"space\": \""), std::string::npos) << record;
  const CliRun resumed = RunCli("find --count --threads 2 --settings " + Quoted(settings) + " --resume " + Quoted(cut));
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  std::smatch m;
  const std::string line = Lines(resumed.out).back();
  ASSERT_TRUE(std::regex_match(line, m, kSummary)) << line;
  EXPECT_EQ(m[3], "true");
  // Independent enumerations give the classes; the labelled count is that of
  // an uninterrupted run.
  EXPECT_EQ(m[1], "1627206");
  EXPECT_EQ(m[2], "38949274");
}

// A run stopped within a unit says how many of its classes it printed
// ("partial"); the resumed run prints exactly the classes after them, numbered
// on, and the totals of the whole run.
TEST(FindCommand, ResumeWithinAUnitPrintsOnlyTheRest) {
  ScratchDirectory dir;
  const std::string settings = SettingsFile(dir, 5);
  const CliRun whole = RunCli("find --settings " + Quoted(settings));
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::vector<std::string> all = Lines(whole.out);
  FinderOptions options;
  options.Settings.ElementCount = 5;
  std::atomic<bool> stop{false};
  const FinderSummary plan = RunExactFinder(options, {}, {}, stop);
  size_t j = 0;
  int64_t leading = 0;
  while (j < plan.Finished.size() && (plan.Finished[j].Classes < 2 || leading < 100)) leading += plan.Finished[j++].Classes;
  ASSERT_LT(j, plan.Finished.size());
  const FinishedUnit split = plan.Finished[j];
  const int64_t printed = leading + split.Classes / 2;
  char fingerprint[17];
  std::snprintf(fingerprint, sizeof fingerprint, "%016llx", static_cast<unsigned long long>(plan.Plan));
  std::string finished;
  for (size_t i = 0; i < j; ++i) {
    const FinishedUnit& unit = plan.Finished[i];
    finished += (finished.empty() ? "[" : ", [") + std::to_string(unit.Unit) + ", " + std::to_string(unit.Classes) +
                ", " + Decimal(unit.Labelled) + "]";
  }
  const std::string cut = dir.File("cut.jsonl");
  WriteWholeFile(cut, "{\"classes\": 1, \"complete\": false, \"plan\": \"" + std::string(fingerprint) +
                          "\", \"units\": 9, \"finished\": [" + finished + "], \"partial\": [" +
                          std::to_string(split.Unit) + ", " + std::to_string(split.Classes / 2) + "]}\n");
  const CliRun rest = RunCli("find --settings " + Quoted(settings) + " --resume " + Quoted(cut));
  ASSERT_EQ(rest.status, 0) << rest.err;
  const std::vector<std::string> lines = Lines(rest.out);
  ASSERT_EQ(lines.size(), all.size() - static_cast<size_t>(printed));
  EXPECT_EQ(lines.front(), all[printed]);
  const auto totals = [](const std::string& summary) { return summary.substr(0, summary.find(", \"seconds\"")); };
  EXPECT_EQ(totals(lines.back()), totals(all.back())) << "the same totals as the whole run";

  WriteWholeFile(cut, "{\"plan\": \"" + std::string(fingerprint) + "\", \"finished\": [], \"partial\": [3]}\n");
  const CliRun broken = RunCli("find --settings " + Quoted(settings) + " --resume " + Quoted(cut));
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("\"" + cut + "\": the partial unit is not [unit, classes]"), std::string::npos) << broken.err;
}

// A first winner not found within the time limit is not a proof of none: a
// status of its own, the space named; a proven none keeps status 0.
TEST(FindCommand, FirstAnswersNoneFoundInTheSearchedSpaceApartFromNoneExists) {
  ScratchDirectory dir;
  const CliRun timed = RunCli("find --first --threads 2 --timeout 1 --settings " +
                              Quoted(SettingsFile(dir, 13, "Non-Commutative=1\nInvolutive=1\nNon-Linear=1\nColorfulness=12\n")));
  EXPECT_EQ(timed.status, 3) << timed.err;
  EXPECT_NE(timed.err.find("none found in the searched space (116 lattices of 13 elements made from smaller ones): "
                           "time limit"),
            std::string::npos)
      << timed.err;
  std::smatch m;
  const std::vector<std::string> lines = Lines(timed.out);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_TRUE(std::regex_match(lines[0], m, kSummary)) << lines[0];
  EXPECT_EQ(m[1], "0");
  EXPECT_EQ(m[4], "time limit");

  const CliRun none = RunCli("find --first --settings " + Quoted(SettingsFile(dir, 4, "Max=1\nNon-Lattice=1\n")));
  EXPECT_EQ(none.status, 0) << none.err;
  const std::string summary = Lines(none.out).back();
  ASSERT_TRUE(std::regex_match(summary, m, kSummary)) << summary;
  EXPECT_EQ(m[1], "0");
  EXPECT_EQ(m[3], "true");
  EXPECT_EQ(m[5], "every lattice of 4 elements");

  // Without --first a time limit is no failure either: the summary says so.
  const CliRun all = RunCli("find --count --threads 2 --timeout 1 --settings " + Quoted(SettingsFile(dir, 7)));
  EXPECT_EQ(all.status, 0) << all.err;
  const std::string all_summary = Lines(all.out).back();
  ASSERT_TRUE(std::regex_match(all_summary, m, kSummary)) << all_summary;
  EXPECT_EQ(m[3], "false");
  EXPECT_EQ(m[5], "every lattice of 7 elements");
  EXPECT_EQ(m[4], "time limit");
}

TEST(FindCommand, UsageErrorsExitWithStatusTwo) {
  ScratchDirectory dir;
  const std::string settings = "find --settings " + Quoted(SettingsFile(dir, 3)) + " ";
  const std::pair<std::string, std::string> cases[] = {
      {"--bogus", "unknown option \"--bogus\""},
      {"--threads 0", "--threads needs a whole number from 1 to 1024, not \"0\""},
      {"--threads", "--threads needs a value"},
      {"--limit 0", "--limit needs a whole number of 1 or more, not \"0\""},
      {"--part 3/2", "--part needs K/N with 1 <= K <= N, not \"3/2\""},
      {"--part 2", "--part needs K/N with 1 <= K <= N, not \"2\""},
      {"--first --count", "--first and --count exclude each other"},
      {"--timeout 0", "--timeout needs a whole number of 1 or more, not \"0\""},
  };
  for (const auto& [arguments, message] : cases) {
    const CliRun run = RunCli(settings + arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.err.find("velmora-cli find: " + message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << arguments;
  }
  const CliRun missing = RunCli("find --settings " + Quoted(dir.File("absent.ini")));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(dir.File("absent.ini")), std::string::npos) << missing.err;
}
