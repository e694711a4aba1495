// Exported files go through the core's whole-file writer; this adds the
// message the tools and the window show.

#include "formats/ExportFile.h"

#include "model/AtomicFile.h"

bool WriteExportFile(const std::string& path, const std::string& bytes, std::string& error, LinkPolicy links) {
  std::string reason;
  if (WriteFileAtomically(path, bytes, &reason, FileSync::kToDisk, links)) return true;
  error = "Cannot write " + path + ": " + reason;
  return false;
}
