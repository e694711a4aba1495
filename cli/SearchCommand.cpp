// Placeholder until the search command lands.
#include <cstdio>

int RunSearch(int /*argc*/, char** /*argv*/) {
  std::fprintf(stderr, "velmora-cli: search is not available in this build\n");
  return 2;
}
