#pragma once
// Standard output for the tool's results. Every write is flushed and
// checked: output that does not arrive (a full disk, /dev/full, a closed
// file) is a failure of the command, never a silent success.

#include <string_view>

// Writes `text` and flushes it. On failure reports "velmora-cli: cannot
// write to standard output: REASON" on standard error and returns false;
// the caller stops writing and ends with the exit status for a failed output.
bool WriteToStandardOutput(std::string_view text);
