#pragma once
// Runs velmora-cli with arguments (a shell fragment) and captures its
// standard output, standard error and exit status.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "ScratchDirectory.h"

struct CliRun {
  std::string out;
  std::string err;
  int status = -1;
};

inline CliRun RunCli(const std::string& arguments) {
  ScratchDirectory dir;
  const std::string err_path = dir.File("stderr.txt");
  const std::string command = std::string("'") + VELMORA_CLI + "' " + arguments + " 2>'" + err_path + "'";
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
