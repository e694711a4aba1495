// The one place a failed assertion ends the program.

#include "model/Assert.h"

#include <cstdio>
#include <cstdlib>

void AssertionFailed(const char* condition, const char* message, const char* file, int line) {
  std::fprintf(stderr, "velmora: assertion failed at %s:%d: %s (%s)\n", file, line, condition, message);
  std::fflush(stderr);
  std::abort();
}
