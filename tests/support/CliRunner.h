#pragma once
// Runs velmora-cli with arguments (a shell fragment), optionally with
// environment assignments before it, and captures its standard output,
// standard error and exit status.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "ScratchDirectory.h"

struct CliRun {
  std::string out;
  std::string err;
  int status = -1;
};

inline CliRun RunCli(const std::string& arguments, const std::string& environment = std::string()) {
  ScratchDirectory dir;
  const std::string err_path = dir.File("stderr.txt");
  const std::string command =
      environment + " '" + std::string(VELMORA_CLI) + "' " + arguments + " 2>'" + err_path + "'";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.err = ReadWholeFile(err_path);
  return run;
}

// Environment assignments that preload the fault shim (tests/support/IoFaultShim.cpp):
// reads of `read_path` fail after `read_after` bytes, writes into
// `write_dir` after `write_after` bytes. An empty path leaves that side alone.
inline std::string FaultEnvironment(const std::string& read_path, long long read_after,
                                    const std::string& write_dir = std::string(), long long write_after = 0) {
  // A sanitizer runtime wants to come first among the libraries; the shim
  // only forwards to it.
  std::string environment = std::string("LD_PRELOAD='") + VELMORA_IO_FAULT_SHIM +
                            "' ASAN_OPTIONS=\"${ASAN_OPTIONS}:verify_asan_link_order=0\"";
  if (!read_path.empty()) {
    environment += " VELMORA_FAIL_READ_PATH='" + read_path + "' VELMORA_FAIL_READ_AFTER=" + std::to_string(read_after);
  }
  if (!write_dir.empty()) {
    environment +=
        " VELMORA_FAIL_WRITE_DIR='" + write_dir + "' VELMORA_FAIL_WRITE_AFTER=" + std::to_string(write_after);
  }
  return environment;
}
