#pragma once
// What a find run cut short leaves behind for the next run of the same part:
// the plan's fingerprint and the units it finished with their counts, as
// fields of its summary line; and reading them back for --resume.

#include <string>

#include "finder/ExactFinder.h"

// ", \"plan\": \"…\", \"units\": N, \"finished\": [[unit, classes, labelled], …]"
std::string FinishedUnitsFields(const FinderSummary& summary);

// Reads the last summary line with finished units from a find run's output.
// False with a message naming the file and the reason when there is none.
bool ReadFinishedUnits(const std::string& path, uint64_t& plan, std::vector<FinishedUnit>& units, std::string& error);
