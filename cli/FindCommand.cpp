// velmora-cli find: the exact finder, headless. Prints one JSON object per
// class as it is found, then a summary; optionally writes every class to
// files. Ctrl-C ends the run with the summary of what was found.

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "AtomicFile.h"
#include "CliSettings.h"
#include "Commands.h"
#include "ExactFinder.h"
#include "FindResume.h"
#include "Formatting.h"
#include "Settings.h"
#include "StandardOutput.h"

namespace {

constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

std::atomic<bool> interrupted{false};
// Ends the search: set by Ctrl-C and when standard output fails.
std::atomic<bool> stop_search{false};

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
  stop_search.store(true);
}

struct FindOptions {
  std::string settings_path;
  FinderMode mode = FinderMode::All;
  int64_t limit = 0;
  int threads = 0;
  int part_index = 0;
  int part_count = 1;
  bool has_out = false;
  std::string out_dir;
  std::string resume_path;  // the output of this part's run cut short
};

void PrintFindUsage(std::FILE* to) {
  std::fputs(
      "Usage: velmora-cli find [--settings FILE.ini] [--first | --count] [--limit K] [--threads T] "
      "[--part K/N] [--resume FILE] [--out DIR]\n",
      to);
}

// A decimal number of digits only, from 1 to `maximum`.
bool ParsePositive(const std::string& text, uint64_t maximum, uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  uint64_t result = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<uint64_t>(c - '0');
  }
  if (result < 1 || result > maximum) return false;
  value = result;
  return true;
}

bool ParseOptions(int argc, char** argv, FindOptions& options, bool& help) {
  const auto fail = [](const std::string& message) {
    std::fprintf(stderr, "velmora-cli find: %s\n", message.c_str());
    PrintFindUsage(stderr);
    return false;
  };
  bool first = false, count = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
      return true;
    }
    if (arg == "--first") {
      first = true;
      continue;
    }
    if (arg == "--count") {
      count = true;
      continue;
    }
    const bool takes_value =
        arg == "--settings" || arg == "--limit" || arg == "--threads" || arg == "--part" || arg == "--out" ||
                             arg == "--resume";
    if (!takes_value) return fail("unknown argument \"" + arg + "\"");
    if (i + 1 >= argc) return fail(arg + " needs a value");
    const std::string value = argv[++i];
    uint64_t number = 0;
    if (arg == "--settings") {
      options.settings_path = value;
    } else if (arg == "--limit") {
      if (!ParsePositive(value, INT64_MAX, number)) {
        return fail("--limit needs a whole number of 1 or more, not \"" + value + "\"");
      }
      options.limit = static_cast<int64_t>(number);
    } else if (arg == "--threads") {
      if (!ParsePositive(value, 256, number)) {
        return fail("--threads needs a whole number from 1 to 256, not \"" + value + "\"");
      }
      options.threads = static_cast<int>(number);
    } else if (arg == "--part") {
      const size_t slash = value.find('/');
      uint64_t k = 0, n = 0;
      if (slash == std::string::npos || !ParsePositive(value.substr(0, slash), 1000000, k) ||
          !ParsePositive(value.substr(slash + 1), 1000000, n) || k > n) {
        return fail("--part needs K/N with 1 <= K <= N, not \"" + value + "\"");
      }
      options.part_index = static_cast<int>(k - 1);
      options.part_count = static_cast<int>(n);
    } else if (arg == "--resume") {
      options.resume_path = value;
    } else {
      if (value.empty()) return fail("--out needs a directory name");
      options.has_out = true;
      options.out_dir = value;
    }
  }
  if (first && count) return fail("--first and --count exclude each other");
  if (first) options.mode = FinderMode::First;
  if (count) options.mode = FinderMode::Count;
  return true;
}

// One JSON line, flushed and checked.
bool WriteLine(const std::string& line) { return WriteToStandardOutput(line + "\n"); }

std::string SecondsText(double seconds) { return ShortestDouble(std::round(seconds * 1000.0) / 1000.0); }

// class_NNNN.eqa (description Class_NNNN) and class_NNNN.eqp (its table
// dump), each complete under its name or not there at all.
bool WriteClassFiles(const FoundClass& found, const std::filesystem::path& dir) {
  const std::string index = FormatIndex(found.Index);
  const std::filesystem::path eqa = dir / ("class_" + index + ".eqa");
  const std::filesystem::path eqp = dir / ("class_" + index + ".eqp");
  TEQAlgebra algebra = *found.Algebra;
  algebra.Description = "Class_" + index;
  algebra.FileName = eqa.string();
  bool ok = true;
  std::string reason;
  if (!algebra.WriteEQA(&reason)) {
    std::fprintf(stderr, "velmora-cli find: cannot write \"%s\": %s\n", eqa.string().c_str(), reason.c_str());
    ok = false;
  }
  if (!WriteFileAtomically(eqp.string(), algebra.DumpTables() + "\r\n", &reason)) {
    std::fprintf(stderr, "velmora-cli find: cannot write \"%s\": %s\n", eqp.string().c_str(), reason.c_str());
    ok = false;
  }
  return ok;
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
  bool help = false;
  if (!ParseOptions(argc, argv, options, help)) return kExitUsage;
  if (help) return WriteToStandardOutput(UsageText()) ? kExitOk : kExitInputFailed;
  FormValues values;
  std::string error;
  if (!LoadCliSettings(options.settings_path, values, error)) {
    std::fprintf(stderr, "velmora-cli find: %s\n", error.c_str());
    return kExitUsage;
  }
  if (options.has_out && !PrepareDirectory(options.out_dir)) return kExitInputFailed;

  FinderOptions finder;
  finder.Settings = Settings;
  finder.Mode = options.mode;
  finder.Limit = options.limit;
  finder.Threads = options.threads;
  finder.PartIndex = options.part_index;
  finder.PartCount = options.part_count;
  if (!options.resume_path.empty() &&
      !ReadFinishedUnits(options.resume_path, finder.ResumedPlan, finder.Resumed, error)) {
    std::fprintf(stderr, "velmora-cli find: %s\n", error.c_str());
    return kExitInputFailed;
  }

  interrupted.store(false);
  stop_search.store(false);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);
  struct sigaction previous_term {};  // a batch system's end of wall time
  sigaction(SIGTERM, &action, &previous_term);

  const bool show_progress = isatty(STDERR_FILENO) == 1;
  bool progress_shown = false;
  bool outputs_ok = true;
  bool output_lost = false;  // standard output failed: nobody reads further lines
  const FinderSummary summary = RunExactFinder(
      finder,
      [&](const FoundClass& found) {
        if (output_lost) return;
        if (!WriteLine("{\"class\": " + std::to_string(found.Index) + ", \"canonical\": " +
                  JsonString(found.Algebra->CanonicalText) + ", \"automorphisms\": " +
                  FormatBigCount(found.Class.Automorphisms) + ", \"labelled\": " + FormatBigCount(found.Labelled) + "}")) {
          output_lost = true;
          stop_search.store(true);
          return;
        }
        if (options.has_out && !WriteClassFiles(found, options.out_dir)) outputs_ok = false;
      },
      [&](const FinderProgress& progress) {
        if (!show_progress) return;
        const double share = progress.Total > 0 ? 100.0 * progress.Done / progress.Total : 100.0;
        const double rate = progress.Seconds > 0 ? static_cast<double>(progress.Classes) / progress.Seconds : 0.0;
        std::fprintf(stderr, "\rwork %.0f/%.0f (%.1f%%), %lld classes, %.1f classes/s, %.1f s   ", progress.Done,
                     progress.Total, share, static_cast<long long>(progress.Classes), rate, progress.Seconds);
        progress_shown = true;
      },
      stop_search);
  sigaction(SIGINT, &previous, nullptr);
  sigaction(SIGTERM, &previous_term, nullptr);
  if (progress_shown) std::fputc('\n', stderr);

  if (output_lost) return kExitInputFailed;
  if (summary.ResumeRefused) {
    std::fprintf(stderr, "velmora-cli find: \"%s\" is the output of another run (other settings or parts)\n",
                 options.resume_path.c_str());
    return kExitUsage;
  }
  // A run stopped from outside tells what it finished, for --resume.
  const std::string finished = !summary.Complete && stop_search.load() ? FinishedUnitsFields(summary) : "";
  const bool summary_written = WriteLine("{\"classes\": " + std::to_string(summary.Classes) + ", \"labelled\": " + FormatBigCount(summary.Labelled) +
            ", \"complete\": " + (summary.Complete ? "true" : "false") + ", \"seconds\": " +
            SecondsText(summary.Seconds) + finished + "}");
  if (!summary_written) return kExitInputFailed;
  if (interrupted.load()) return kExitInterrupted;
  return outputs_ok ? kExitOk : kExitInputFailed;
}
