#pragma once
// Writing algebras and populations to files, and the report lines of one
// algebra in the log. Every writer carries on after a failed file and
// collects what went wrong, so the caller can tell the user once.

#include <QString>
#include <vector>

#include "model/AtomicFile.h"
#include "model/EQAlgebra.h"
#include "genetic/EQPopulation.h"

class LogPane;

struct FailedWrite {
  QString path;
  QString reason;
};
using FailedWrites = std::vector<FailedWrite>;

// The message that lists the files not written, one "path: reason" a line.
QString FailedWritesMessage(const FailedWrites& failures);

// The table dumps of the non-empty members in slot order, each followed by
// CR LF. An absent population or one without members creates no file. Every
// writer here goes through a temporary beside the file, so a failed write
// leaves the previous file (or none) under the name.
// False (and one entry in failures) when the file could not be written.
// A symbolic link under a name the program made up is replaced, not
// followed; kFollow is for a file the user chose in a dialog.
bool SavePopulationFile(const QString& path, const TEQPopulation* population, FailedWrites& failures,
                        LinkPolicy links = LinkPolicy::kReplace);

// FileName := path, then the algebra writes its EQA file.
bool WriteAlgebraFile(TEQAlgebra& algebra, const QString& path, FailedWrites& failures,
                      LinkPolicy links = LinkPolicy::kReplace);

// base ".eqp" (the table dump and CR LF) and base ".eqa"; the second is
// written even when the first fails. Nothing for an absent algebra. Meant for
// the autosave's new files: each is complete under its name or absent, and
// none is synced to disk on its own.
bool SaveAlgebraFiles(const QString& base, TEQAlgebra* algebra, FailedWrites& failures);

// A fitness as the log shows it: general form, at most 15 significant
// digits, the user's decimal separator.
QString FitnessText(double fitness);

// Appends "NNNN: fitness" (and the note, when one is given, on the same line)
// and the table dump, green for a winner (fitness exactly 1) and red
// otherwise; the colour stays set.
void AppendMemberReport(LogPane& log, int index, const TEQAlgebra& member, const QString& note = QString());

// One line per property slot in slot order ("Lattice" and "Prelinear"
// skipped while the maximum is off), then 60 dashes in the colour of the
// last line.
void DumpPropertyLines(LogPane& log, const TEQAlgebra& algebra);
