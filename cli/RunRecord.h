#pragma once
// How a result was made, in the lines the commands print: the program's
// version, the element count and every setting that differs from its
// default, so that a line quoted in a paper's data can be made again.

#include <string>

#include "model/SettingsFile.h"

// The JSON members, without braces:
// "velmora": "1.0", "elements": 4, "settings": {"Algebra properties": {"Goodness": 1}}
std::string ProvenanceMembers(const FormValues& values);

// The name a part's class files start with: "class" for a whole run,
// "class_p2of4" for part 2 of 4, so that parts can share one folder.
std::string ClassFileStem(int part_index, int part_count);

// The record of a find run written beside its class files (the class lines
// without their tables, then the summary), read by merge.
std::string RunRecordName(int part_index, int part_count);
