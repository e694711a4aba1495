// velmora-cli when its input or output fails: standard output that cannot
// be written, files whose reading fails part-way, special and oversized
// files, output files on a full disk, and an --out folder that already holds
// winners. Reads and writes are made to fail by a preloaded shim.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }
std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/" + name; }

const std::string kOutputFailed = "velmora-cli: cannot write to standard output: No space left on device\n";

// Three elements with a delta that is not the default one (d(a) = a) and the maximum.
const std::string kDeltaMaxText =
    "Algebra_0000\r\n3\r\n0 a 1\r\n3\r\n0 a 0\r\n0 1 0\r\na 1 a\r\n"
    "9\r\n0 0 0\r\n0 a 0\r\n0 1 0\r\na 0 0\r\na a a\r\na 1 a\r\n1 0 0\r\n1 a a\r\n1 1 1\r\n"
    "3\r\n0 a 0\r\n0 1 0\r\na 1 a\r\n"
    "3\r\n0 0\r\na a\r\n1 1\r\n"
    "9\r\n0 0 0\r\n0 a a\r\n0 1 1\r\na 0 a\r\na a a\r\na 1 1\r\n1 0 1\r\n1 a 1\r\n1 1 1\r\n";

std::vector<std::string> FilesIn(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(FailedOutput, StandardOutputThatCannotBeWrittenFailsEveryCommand) {
  const std::vector<std::string> commands = {"search --seed 1 --steps 10", "evaluate " + Quoted(Data("chain3.eqa")),
                                             "--help", "search --help", "evaluate --help"};
  for (const std::string& arguments : commands) {
    const CliRun run = RunCli(arguments + " >/dev/full");
    EXPECT_EQ(run.status, 1) << arguments;
    EXPECT_EQ(run.err, kOutputFailed) << arguments;
  }
  // Without a step limit only the failed output can end the run.
  const CliRun endless = RunCli("search --seed 1 --steps 0 >/dev/full", "timeout 120");
  EXPECT_EQ(endless.status, 1);
  EXPECT_EQ(endless.err, kOutputFailed);
}

TEST(FailedOutput, WinnerFilesOnAFullDiskLeaveNothingBehind) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("three.ini"), "[Algebra properties]\r\nElements number=3\r\n");
  const std::string out = dir.File("winners");
  std::filesystem::create_directory(out);
  const std::string search = "search --seed 3 --steps 2 --settings " + Quoted(dir.File("three.ini")) + " --out " +
                             Quoted(out);
  // Every file fails after its first 100 bytes; a section boundary lies before that.
  const CliRun run = RunCli(search, FaultEnvironment("", 0, out, 100));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("{\"winners\": [\""), std::string::npos) << "the results were still printed";
  EXPECT_EQ(run.err.rfind("velmora-cli search: cannot write \"" + out + "/winner_0000.eqa\": No space left on device\n"
                          "velmora-cli search: cannot write \"" + out + "/winner_0000.eqp\": No space left on device\n",
                          0),
            0u)
      << run.err;
  EXPECT_EQ(FilesIn(out), std::vector<std::string>{}) << "no cut or empty file and no temporary stays";

  // The same run on a disk with room writes every file.
  const CliRun room = RunCli(search, FaultEnvironment("", 0, out, 1 << 20));
  EXPECT_EQ(room.status, 0) << room.err;
  EXPECT_FALSE(FilesIn(out).empty());
}

TEST(FailedOutput, AnOutFolderWithEarlierWinnersIsPointedOutAndKept) {
  ScratchDirectory dir;
  WriteWholeFile(dir.File("three.ini"), "[Algebra properties]\r\nElements number=3\r\n");
  const std::string out = dir.File("winners");
  std::filesystem::create_directory(out);
  WriteWholeFile(out + "/winner_9999.eqa", "an earlier run's");
  WriteWholeFile(out + "/notes.txt", "not a winner");
  const CliRun run = RunCli("search --seed 3 --steps 2 --settings " + Quoted(dir.File("three.ini")) + " --out " +
                            Quoted(out));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "velmora-cli search: warning: \"" + out +
                         "\" already holds 1 winner_* files from an earlier run; they stay, and this run's files "
                         "replace those of the same name\n");
  EXPECT_EQ(ReadWholeFile(out + "/winner_9999.eqa"), "an earlier run's");
  EXPECT_TRUE(std::filesystem::is_regular_file(out + "/winner_0000.eqa"));
}

TEST(FailedInput, AReadErrorInAnEqaFileIsAnErrorWhereverItStrikes) {
  ScratchDirectory dir;
  const std::string path = dir.File("delta_max.eqa");
  WriteWholeFile(path, kDeltaMaxText);
  const std::string settings = dir.File("delta_max.ini");
  WriteWholeFile(settings, "[Algebra properties]\r\nDelta=1\r\nMax=1\r\n");
  const std::string evaluate = "evaluate --settings " + Quoted(settings) + " " + Quoted(path);

  const CliRun whole = RunCli(evaluate, FaultEnvironment(path, 1 << 20));
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_NE(whole.out.find("d[0]=0;d[a]=a;d[1]=1;"), std::string::npos);

  // Exactly before the delta section, then at every few bytes.
  std::vector<size_t> offsets = {kDeltaMaxText.find("3\r\n0 0\r\n"), 0};
  for (size_t offset = 1; offset < kDeltaMaxText.size(); offset += 23) offsets.push_back(offset);
  for (const size_t offset : offsets) {
    const CliRun run = RunCli(evaluate, FaultEnvironment(path, static_cast<long long>(offset)));
    EXPECT_EQ(run.status, 1) << "read error after byte " << offset;
    EXPECT_EQ(run.out, "{\"file\": \"" + path + "\", \"error\": \"Error reading file: " + path +
                           ": Input/output error\"}\n")
        << "read error after byte " << offset;
  }
}

TEST(FailedInput, AReadErrorInTheSettingsFileIsAUsageError) {
  ScratchDirectory dir;
  const std::string settings = dir.File("velmora.ini");
  WriteWholeFile(settings, "[Algebra properties]\r\nElements number=3\r\n[GA properties]\r\nPopulation limit=10\r\n");
  const std::string search = "search --seed 1 --steps 10 --settings " + Quoted(settings);
  ASSERT_EQ(RunCli(search, FaultEnvironment(settings, 1 << 20)).status, 0);
  const CliRun run = RunCli(search, FaultEnvironment(settings, 30));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "velmora-cli search: Error reading file: " + settings + ": Input/output error\n");
}

TEST(FailedInput, SpecialFilesAreRefusedWithoutWaiting) {
  ScratchDirectory dir;
  const std::string fifo = dir.File("pipe.eqa");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Opening a FIFO waits for a writer; the timeout turns a hang into a failure.
  const CliRun evaluate = RunCli("evaluate " + Quoted(fifo), "timeout 60");
  EXPECT_EQ(evaluate.status, 1);
  EXPECT_EQ(evaluate.out,
            "{\"file\": \"" + fifo + "\", \"error\": \"Error reading file: " + fifo + ": not a regular file\"}\n");
  const CliRun settings = RunCli("search --settings " + Quoted(fifo), "timeout 60");
  EXPECT_EQ(settings.status, 2);
  EXPECT_EQ(settings.err, "velmora-cli search: Error reading file: " + fifo + ": not a regular file\n");
  const CliRun device = RunCli("evaluate /dev/zero", "timeout 60");
  EXPECT_EQ(device.status, 1);
  EXPECT_NE(device.out.find("/dev/zero: not a regular file"), std::string::npos);
}

TEST(FailedInput, OversizedFilesAreRefusedAndBadTokensQuotedBriefly) {
  ScratchDirectory dir;
  const std::string huge = dir.File("huge.eqa");
  WriteWholeFile(huge, "x\r\n3\r\n" + std::string((1 << 20) + 1, '7'));
  CliRun run = RunCli("evaluate " + Quoted(huge));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "{\"file\": \"" + huge + "\", \"error\": \"Error reading file: " + huge +
                         ": larger than 1048576 bytes\"}\n");

  const std::string junk = dir.File("junk.eqa");
  WriteWholeFile(junk, "x\r\n" + std::string(100000, 'q') + "\r\n");
  run = RunCli("evaluate " + Quoted(junk));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "{\"file\": \"" + junk + "\", \"error\": \"" + junk + ": line 2: the element count \\\"" +
                         std::string(40, 'q') + "...\\\" is not a number\"}\n");

  const std::string big_ini = dir.File("big.ini");
  WriteWholeFile(big_ini, "[Log]\r\n" + std::string(1 << 20, ';'));
  run = RunCli("search --settings " + Quoted(big_ini));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "velmora-cli search: Error reading file: " + big_ini + ": larger than 1048576 bytes\n");
}

}  // namespace
