#pragma once
// What a find run cut short leaves behind for the next run of the same part:
// the plan's fingerprint and the units it finished with their counts, as
// fields of its summary line; and reading them back for --resume.

#include <string>

#include "finder/ExactFinder.h"

// ", \"plan\": \"…\", \"units\": N, \"finished\": [[unit, classes, labelled], …]",
// then ", \"partial\": [unit, classes]" when the run stopped within a unit;
// a count then adds ", \"space\": \"…\", \"pieces\": [[lattice, [path], classes,
// labelled], …], \"open\": [[lattice, [path]], …]": every piece of its units,
// done or not, by which the next run may resume under any plan of units.
std::string FinishedUnitsFields(const FinderSummary& summary);

// Reads the last summary line with finished units (and the partial unit and
// the pieces, if any) from a find run's output into the Resumed fields of
// `resumed`. False with a message naming the file and the reason when there
// is none.
bool ReadResumeRecord(const std::string& path, FinderOptions& resumed, std::string& error);

// A stop may come between the finder handing out a class and its line being
// printed (the finder checks the stop before each class, so it is at most the
// last one). That class then belongs to the work still to do: it leaves the
// partial unit, or turns the last finished unit into a partial one.
void SettleUnprintedClass(FinderSummary& summary, int64_t printed);
