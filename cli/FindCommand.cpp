// velmora-cli find: the exact finder, headless. Prints one JSON object per
// class as it is found, then a summary; optionally writes every class to
// files. Ctrl-C ends the run with the summary of what was found.

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/AtomicFile.h"
#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "finder/ExactFinder.h"
#include "cli/FindResume.h"
#include "model/Formatting.h"
#include "model/Settings.h"
#include "cli/RunRecord.h"
#include "cli/StandardOutput.h"
#include "cli/StopSignals.h"

namespace {

// --first found nothing in a space that does not hold every winner (a time
// limit, or lattices not all searched): distinct from a proven "none" (0).
constexpr int kExitNoneFoundInSearched = 3;

// Ends the search: set by Ctrl-C or SIGTERM, and when an output fails.
std::atomic<bool> stop_search{false};

struct FindOptions {
  std::string settings_path;
  FinderMode mode = FinderMode::All;
  int64_t limit = 0;
  int threads = 0;
  int part_index = 0;
  int part_count = 1;
  double timeout = 0;
  bool has_out = false;
  std::string out_dir;
  std::string resume_path;  // the output of this part's run cut short
};

// "K/N" with 1 <= K <= N <= 1000000 into a 0-based index and a count.
bool ParsePart(const std::string& text, int& index, int& count) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 >= text.size() || slash > 7 || text.size() - slash > 8) {
    return false;
  }
  int64_t k = 0, n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == slash) continue;
    if (text[i] < '0' || text[i] > '9') return false;
    int64_t& number = i < slash ? k : n;
    number = number * 10 + (text[i] - '0');
  }
  if (k < 1 || k > n || n > 1000000) return false;
  index = static_cast<int>(k - 1);
  count = static_cast<int>(n);
  return true;
}

// Reads the options through the shared table; on a usage error returns its status.
int ParseOptions(int argc, char** argv, FindOptions& options) {
  CommandLine line;
  const CommandSpec& command = *FindCommand("find");
  if (const int exit = line.Parse(command, argc, argv); exit >= 0) return exit;
  if (!line.Operands().empty()) return UsageError(command, "unknown argument \"" + line.Operands().front() + "\"");
  if (line.Has("--first") && line.Has("--count")) return UsageError(command, "--first and --count exclude each other");
  if (line.Has("--part") && !ParsePart(line.Text("--part"), options.part_index, options.part_count)) {
    return UsageError(command, "--part needs K/N with 1 <= K <= N, not \"" + line.Text("--part") + "\"");
  }
  options.settings_path = line.Text("--settings");
  if (line.Has("--first")) options.mode = FinderMode::First;
  if (line.Has("--count")) options.mode = FinderMode::Count;
  options.limit = line.Number("--limit", 0);
  options.threads = static_cast<int>(line.Number("--threads", 0));
  options.timeout = static_cast<double>(line.Number("--timeout", 0));
  options.resume_path = line.Text("--resume");
  options.has_out = line.Has("--out");
  options.out_dir = line.Text("--out");
  return -1;
}

// One JSON line, flushed and checked.
bool WriteLine(const std::string& line) { return WriteToStandardOutput(line + "\n"); }

std::string SecondsText(double seconds) { return ShortestDouble(std::round(seconds * 1000.0) / 1000.0); }

// STEM_NNNN.eqa (description Class_NNNN) and STEM_NNNN.eqp (its table
// dump), each complete under its name or not there at all. On failure
// `reason` names the file and why.
bool WriteClassFiles(const FoundClass& found, const std::filesystem::path& dir, const std::string& stem,
                     std::string& reason) {
  const std::string index = FormatIndex(found.Index);
  const std::filesystem::path eqa = dir / (stem + "_" + index + ".eqa");
  const std::filesystem::path eqp = dir / (stem + "_" + index + ".eqp");
  TEQAlgebra algebra = *found.Algebra;
  algebra.Description = "Class_" + index;
  algebra.FileName = eqa.string();
  std::string why;
  if (!algebra.WriteEQA(&why)) {
    reason = "cannot write \"" + eqa.string() + "\": " + why;
    return false;
  }
  if (!WriteFileAtomically(eqp.string(), algebra.DumpTables() + "\r\n", &why)) {
    reason = "cannot write \"" + eqp.string() + "\": " + why;
    return false;
  }
  return true;
}

// Class files of an earlier run under the same names would mix with this
// run's unnoticed: say so. Parts have names of their own and never meet.
void WarnOfEarlierClasses(const std::string& out_dir, const std::string& stem) {
  std::error_code error;
  std::filesystem::directory_iterator entries(out_dir, error);
  if (error) return;
  int64_t earlier = 0;
  const std::string prefix = stem + "_";
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        name[prefix.size()] >= '0' && name[prefix.size()] <= '9') {
      ++earlier;
    }
  }
  if (earlier == 0) return;
  std::fprintf(stderr,
               "velmora-cli find: warning: \"%s\" already holds %lld %s_* files from an earlier run; this run "
               "replaces those of the same name\n",
               out_dir.c_str(), static_cast<long long>(earlier), stem.c_str());
}

bool PrepareDirectory(const std::string& out_dir) {
  const std::filesystem::path dir(out_dir);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    const std::string reason = error ? error.message() : "a file of that name exists";
    std::fprintf(stderr, "velmora-cli find: cannot create directory \"%s\": %s\n", out_dir.c_str(), reason.c_str());
    return false;
  }
  return true;
}

}  // namespace

int RunFind(int argc, char** argv) {
  FindOptions options;
  if (const int exit = ParseOptions(argc, argv, options); exit >= 0) return exit;
  FormValues values;
  std::string error;
  if (!LoadCliSettings(options.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli find: %s\n", error.c_str());
    return kExitUsage;
  }
  if (options.has_out && !PrepareDirectory(options.out_dir)) return kExitInputFailed;
  const std::string stem = ClassFileStem(options.part_index, options.part_count);
  if (options.has_out) WarnOfEarlierClasses(options.out_dir, stem);

  FinderOptions finder;
  finder.Settings = Settings;
  finder.Mode = options.mode;
  finder.Limit = options.limit;
  finder.Threads = options.threads;
  finder.PartIndex = options.part_index;
  finder.PartCount = options.part_count;
  finder.TimeLimit = options.timeout;
  if (!options.resume_path.empty() &&
      !ReadResumeRecord(options.resume_path, finder, error)) {
    std::fprintf(stderr, "velmora-cli find: %s\n", error.c_str());
    return kExitInputFailed;
  }

  stop_search.store(false);
  const bool show_progress = isatty(STDERR_FILENO) == 1;
  bool progress_shown = false;
  bool output_lost = false;  // standard output failed: nobody reads further lines
  std::string failed_write;  // the first class file that could not be written
  std::string record;        // the run's record beside its files, for merge
  // The classes handed out: a stop may come between the finder's count and
  // the line, and the summary tells what was printed.
  int64_t reported = 0;
  BigCount reported_labelled = 0;
  for (const FinishedUnit& unit : finder.Resumed) {  // told by the run that is resumed
    reported += unit.Classes;
    reported_labelled += unit.Labelled;
  }
  FinderSummary summary;
  {
    const StopSignals signals(stop_search);
    summary = RunExactFinder(
        finder,
        [&](const FoundClass& found) {
          if (stop_search.load()) return;
          const std::string head = "{\"class\": " + std::to_string(found.Index) + ", \"id\": " +
                                   JsonString(found.Class.Id);
          const std::string tail = ", \"automorphisms\": " + FormatBigCount(found.Class.Automorphisms) +
                                   ", \"labelled\": " + FormatBigCount(found.Labelled) + "}";
          if (!WriteLine(head + ", \"canonical\": " + JsonString(found.Algebra->CanonicalText) + tail)) {
            output_lost = true;
            stop_search.store(true);
            return;
          }
          ++reported;
          reported_labelled += found.Labelled;
          if (!options.has_out) return;
          // A failed write ends the run: the next would fail the same way.
          if (!WriteClassFiles(found, options.out_dir, stem, failed_write)) {
            std::fprintf(stderr, "velmora-cli find: %s\n", failed_write.c_str());
            stop_search.store(true);
            return;
          }
          record += head + tail + "\n";
        },
        [&](const FinderProgress& progress) {
          if (!show_progress) return;
          if (!progress.Note.empty()) {
            std::fprintf(stderr, "\r%s, %.1f s   ", progress.Note.c_str(), progress.Seconds);
            progress_shown = true;
            return;
          }
          const double share = progress.Total > 0 ? 100.0 * progress.Done / progress.Total : 100.0;
          const double rate = progress.Seconds > 0 ? static_cast<double>(progress.Classes) / progress.Seconds : 0.0;
          std::fprintf(stderr, "\rwork %.0f/%.0f (%.1f%%), %lld classes, %.1f classes/s, %.1f s   ", progress.Done,
                       progress.Total, share, static_cast<long long>(progress.Classes), rate, progress.Seconds);
          progress_shown = true;
        },
        stop_search);
  }
  if (progress_shown) std::fputc('\n', stderr);

  if (output_lost) return kExitInputFailed;
  if (summary.ResumeRefused) {
    std::fprintf(stderr, "velmora-cli find: \"%s\" is the output of another run (other settings or parts)\n",
                 options.resume_path.c_str());
    return kExitUsage;
  }
  const bool interrupted = StopSignals::Received();
  if (options.mode != FinderMode::Count) {
    reported += summary.SkippedClasses;  // printed by the run this one resumes
    reported_labelled += summary.SkippedLabelled;
    SettleUnprintedClass(summary, reported);
    summary.Complete = summary.Complete && reported == summary.Classes;
    summary.Classes = reported;
    summary.Labelled = reported_labelled;
  }
  std::string line = "{\"classes\": " + std::to_string(summary.Classes) + ", \"labelled\": " +
                     FormatBigCount(summary.Labelled) + ", \"complete\": " +
                     (summary.Complete && failed_write.empty() ? "true" : "false");
  if (!failed_write.empty()) {
    line += ", \"why_incomplete\": " + JsonString(failed_write);
  } else if (interrupted) {
    line += ", \"why_incomplete\": \"interrupted\"";
  } else if (!summary.Complete) {
    line += ", \"why_incomplete\": " + JsonString(summary.WhyIncomplete);
  }
  line += ", \"seconds\": " + SecondsText(summary.Seconds) + ", \"searched\": " + JsonString(summary.Searched);
  // A run stopped from outside or by its time limit tells what it finished, for --resume.
  if (!summary.Complete && (stop_search.load() || summary.WhyIncomplete == "time limit")) {
    line += FinishedUnitsFields(summary);
  }
  if (options.part_count > 1) {
    line += ", \"part\": \"" + std::to_string(options.part_index + 1) + "/" + std::to_string(options.part_count) + "\"";
  }
  line += ", " + ProvenanceMembers(values) + "}";
  if (options.has_out && failed_write.empty()) {
    const std::string record_path =
        (std::filesystem::path(options.out_dir) / RunRecordName(options.part_index, options.part_count)).string();
    std::string reason;
    if (!WriteFileAtomically(record_path, record + line + "\n", &reason)) {
      std::fprintf(stderr, "velmora-cli find: cannot write \"%s\": %s\n", record_path.c_str(), reason.c_str());
      failed_write = record_path;
    }
  }
  if (!WriteLine(line)) return kExitInputFailed;
  if (interrupted) return kExitInterrupted;
  if (!failed_write.empty()) return kExitInputFailed;
  if (options.mode == FinderMode::First && summary.Classes == 0 && !summary.Complete) {
    std::fprintf(stderr, "velmora-cli find: none found in the searched space (%s): %s\n", summary.Searched.c_str(),
                 summary.WhyIncomplete.c_str());
    return kExitNoneFoundInSearched;
  }
  return kExitOk;
}
