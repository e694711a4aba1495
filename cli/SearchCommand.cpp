// velmora-cli search: the window's start-up and one Run, headless. Prints one
// JSON object per generation (the first population included), then the
// canonical texts and class ids of the winners; optionally writes every winner to files.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/AtomicFile.h"
#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "genetic/EQGenerations.h"
#include "model/Formatting.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "cli/RunRecord.h"
#include "cli/StandardOutput.h"
#include "cli/StopSignals.h"
#include "model/SettingsFile.h"

namespace {

struct SearchOptions {
  std::string settings_path;
  bool has_seed = false;
  uint32_t seed = 0;
  bool has_steps = false;
  int64_t steps = 0;  // 0: no limit
  bool has_out = false;
  std::string out_dir;
  int32_t threads = 0;  // 0: every core
};


// Reads the options through the shared table; on a usage error returns its status.
int ParseOptions(int argc, char** argv, SearchOptions& options) {
  CommandLine line;
  const CommandSpec& command = *FindCommand("search");
  if (const int exit = line.Parse(command, argc, argv); exit >= 0) return exit;
  if (!line.Operands().empty()) return UsageError(command, "unknown argument \"" + line.Operands().front() + "\"");
  options.settings_path = line.Text("--settings");
  options.has_seed = line.Has("--seed");
  options.seed = static_cast<uint32_t>(line.Number("--seed", 0));
  options.has_steps = line.Has("--steps");
  options.steps = line.Number("--steps", 0);
  options.threads = static_cast<int32_t>(line.Number("--threads", 0));
  options.has_out = line.Has("--out");
  options.out_dir = line.Text("--out");
  return -1;
}

uint32_t ClockSeed() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ticks) ^ (static_cast<uint64_t>(ticks) >> 32));
}

bool WriteLine(std::string line) {
  line += '\n';
  return WriteToStandardOutput(line);
}

// The object for the current population: generation, size, the three
// statistics and the number of winners.
std::string GenerationLine(const TEQGenerations& search) {
  return "\"generation\": " + std::to_string(GA.GenerationNumber) +
         ", \"members\": " + std::to_string(search.FCurrent() ? search.FCurrent()->Count() : 0) +
         ", \"best\": " + ShortestDouble(GA.BestFitness) + ", \"median\": " + ShortestDouble(GA.MedianFitness) +
         ", \"worst\": " + ShortestDouble(GA.WorstFitness) +
         ", \"winners\": " + std::to_string(search.FWinners() ? search.FWinners()->Count() : 0) + "}";
}

// A progress line for a watching user, rewritten in place (stderr is a terminal).
class Progress {
 public:
  explicit Progress(bool enabled) : enabled_(enabled), start_(Clock::now()), last_(start_) {}

  void Update(int64_t steps_done, bool force) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(steps_done) / seconds : 0.0;
    std::fprintf(stderr, "\rgeneration %d, best %.7f, winners %d, %.1f steps/s   ", GA.GenerationNumber,
                 GA.BestFitness, winners_, rate);
    shown_ = true;
  }
  void SetWinners(int winners) { winners_ = winners; }
  void Finish() {
    if (enabled_ && shown_) std::fputc('\n', stderr);
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool shown_ = false;
  int winners_ = 0;
  Clock::time_point start_;
  Clock::time_point last_;
};

bool IsWinnerFileName(const std::string& name) { return name.rfind("winner_", 0) == 0; }

// Files of an earlier run would mix with this run's unnoticed: say so. They
// stay; this run replaces only the ones whose names it writes.
void WarnOfEarlierWinners(const std::string& out_dir) {
  std::error_code error;
  std::filesystem::directory_iterator entries(out_dir, error);
  if (error) return;  // a missing directory holds nothing
  int64_t earlier = 0;
  for (const auto& entry : entries) {
    if (IsWinnerFileName(entry.path().filename().string())) ++earlier;
  }
  if (earlier == 0) return;
  std::fprintf(stderr,
               "velmora-cli search: warning: \"%s\" already holds %lld winner_* files from an earlier run; "
               "they stay, and this run's files replace those of the same name\n",
               out_dir.c_str(), static_cast<long long>(earlier));
}

// One output file, complete under its name or not there at all.
bool WriteOutputFile(const std::filesystem::path& path, const std::string& text) {
  std::string reason;
  if (WriteFileAtomically(path.string(), text, &reason)) return true;
  std::fprintf(stderr, "velmora-cli search: cannot write \"%s\": %s\n", path.string().c_str(), reason.c_str());
  return false;
}

// Writes winner_NNNN.eqa (description Algebra_NNNN) and winner_NNNN.eqp (its
// table dump, as the window's autosave writes it) for every winner. Reports
// every failure on stderr and goes on with the next file; false if any failed.
bool WriteWinners(const TEQPopulation& winners, const std::string& out_dir) {
  const std::filesystem::path dir(out_dir);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    const std::string reason = error ? error.message() : "a file of that name exists";
    std::fprintf(stderr, "velmora-cli search: cannot create directory \"%s\": %s\n", out_dir.c_str(),
                 reason.c_str());
    return false;
  }
  bool ok = true;
  for (int i = 0; i < winners.Count(); ++i) {
    const TEQAlgebra* winner = winners.Get(i);
    if (winner == nullptr) continue;
    const std::string index = FormatIndex(i);
    const std::filesystem::path eqa = dir / ("winner_" + index + ".eqa");
    const std::filesystem::path eqp = dir / ("winner_" + index + ".eqp");
    TEQAlgebra algebra = *winner;
    algebra.Description = "Algebra_" + index;
    ok = WriteOutputFile(eqa, algebra.EQAText()) && ok;
    ok = WriteOutputFile(eqp, algebra.DumpTables() + "\r\n") && ok;
  }
  return ok;
}

}  // namespace

int RunSearch(int argc, char** argv) {
  SearchOptions options;
  if (const int exit = ParseOptions(argc, argv, options); exit >= 0) return exit;
  FormValues values;
  std::string error;
  if (!LoadCliSettings(options.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli search: %s\n", error.c_str());
    return kExitUsage;
  }
  const int64_t steps = options.has_steps ? options.steps : values.Get(Control::StepsLimit);
  const int32_t winners_limit = values.Get(Control::WinnersLimit);
  const uint32_t seed = options.has_seed ? options.seed : ClockSeed();

  if (options.has_out) WarnOfEarlierWinners(options.out_dir);

  // The threads change how fast the search goes, never what it finds.
  Settings.Threads = options.threads > 0 ? options.threads : EveryCore();
  RandSeed(seed);
  GA = GAStatus{};
  TEQGenerations search(Settings.ElementCount, Settings.PopulationLimit);
  // Output that cannot be written ends the run (there is no one to read
  // it); the winners found so far still go to --out.
  bool output_ok = WriteLine("{\"seed\": " + std::to_string(seed) + ", " + GenerationLine(search));

  Progress progress(isatty(STDERR_FILENO) == 1);
  int64_t done = 0;
  // Ctrl-C or SIGTERM ends the run after the step under way; the winners
  // found so far are still printed and written.
  std::atomic<bool> stop{false};
  const StopSignals signals(stop);
  while (output_ok && !stop.load() && (steps == 0 || done < steps)) {
    search.Step();
    ++done;
    std::string step_line(1, '{');
    step_line += GenerationLine(search);
    output_ok = WriteLine(std::move(step_line));
    const int winners = search.FWinners()->Count();
    progress.SetWinners(winners);
    progress.Update(done, false);
    if (winners > 0 && winners_limit < winners) break;
  }
  progress.Update(done, true);
  progress.Finish();

  const TEQPopulation& winners = *search.FWinners();
  std::string line = "{\"winners\": [";
  for (int i = 0; i < winners.Count(); ++i) {
    if (i > 0) line += ", ";
    line += JsonString(winners.Get(i)->CanonicalText);
  }
  line += "], \"classes\": [";
  for (int i = 0; i < winners.Count(); ++i) {
    if (i > 0) line += ", ";
    line += JsonString(winners.ClassOfWinner(i)->Id);
  }
  const bool interrupted = StopSignals::Received();
  line += "], \"complete\": ";
  line += interrupted ? "false, \"why_incomplete\": \"interrupted\"" : "true";
  line += ", \"seed\": " + std::to_string(seed) + ", \"steps\": " + std::to_string(done) + ", " +
          ProvenanceMembers(values) + "}";
  if (output_ok) output_ok = WriteLine(std::move(line));

  const bool files_ok = !options.has_out || WriteWinners(winners, options.out_dir);
  if (!output_ok || !files_ok) return kExitInputFailed;
  return interrupted ? kExitInterrupted : kExitOk;
}
