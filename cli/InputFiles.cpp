#include "cli/InputFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "model/EQAlgebra.h"
#include "model/RegularFile.h"

namespace {

// An EQA file of 28 elements is about 60 kB; anything far beyond is no EQA file.
constexpr uint64_t kMaxEqaInputBytes = 16u << 20;

bool standard_input_read = false;

bool ReadStandardInput(uint64_t max_bytes, std::string& text, std::string& reason) {
  if (standard_input_read) {
    reason = "standard input can be read only once";
    return false;
  }
  standard_input_read = true;
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      reason = std::strerror(errno);
      return false;
    }
    if (text.size() + static_cast<size_t>(got) > max_bytes) {
      reason = "larger than " + std::to_string(max_bytes) + " bytes";
      return false;
    }
    text.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace

bool IsStandardInput(const std::string& path) { return path == "-"; }

std::string InputLabel(const std::string& path) { return IsStandardInput(path) ? "standard input" : path; }

std::string InputStem(const std::string& path) {
  return IsStandardInput(path) ? "stdin" : std::filesystem::path(path).stem().string();
}

bool ReadInput(const std::string& path, uint64_t max_bytes, std::string& text, std::string& error) {
  std::string reason;
  const bool read = IsStandardInput(path) ? ReadStandardInput(max_bytes, text, reason)
                                          : ReadRegularFile(path, max_bytes, text, reason) == ReadStatus::kRead;
  if (!read) error = "Cannot read " + InputLabel(path) + ": " + reason;
  return read;
}

bool ReadAlgebraInput(const std::string& path, TEQAlgebra& algebra, std::string& error) {
  algebra.FileName = path;
  if (!IsStandardInput(path)) return algebra.ReadEQA(&error);
  std::string text;
  if (!ReadInput(path, kMaxEqaInputBytes, text, error)) return false;
  return algebra.ReadEQAText(text, InputLabel(path), &error);
}
