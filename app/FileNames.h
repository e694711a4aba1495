#pragma once
// Names of the files the window writes: extensions, time stamps and the
// quick-save directory.

#include <QDateTime>
#include <QFile>
#include <QString>
#include <string>

// The name without the extension of its last path component ("pop.txt" gives
// "pop"; "/a.b/pop" stays as it is: the dot of a directory is no extension).
QString StripExtension(const QString& name);

// The time as "yymmdd-hhnnsszzz" (always 16 characters).
QString TimeStamp(const QDateTime& time);

// A directory path with the separator appended unless it ends in one.
QString WithTrailingSeparator(const QString& directory);

// Creates the directory with all missing parents. False with the reason when
// it cannot be created; an empty path is an error, never the current directory.
bool CreateDirectory(const QString& directory, QString* error);

struct QuickDir {
  QString directory;  // ends in '/', or empty when the text was empty
  QString error;      // empty when the directory exists
  bool Ok() const { return error.isEmpty(); }
};

// The quick-save directory from the text of the edit box: blanks and control
// characters trimmed at both ends, '/' appended unless present, the directory
// created with all missing parents.
QuickDir PrepareQuickDir(const QString& edit_text);

// Whether an existing folder may receive the statistics file at start-up:
// one that is empty or already holds what the program writes there
// ("stats.txt", EQA or table files). A folder the program made for itself
// qualifies anyway; any other (a settings file naming "/etc") does not.
bool HoldsQuickSaves(const QString& directory);

// Opens the file as a fresh, empty file of the program's own (a link under
// its name is replaced, never written through) for appending. False with
// the reason.
bool OpenFreshFile(QFile& file, const QString& path, QString* reason);

// Converts between window paths and the 8-bit paths the algebra files use.
std::string ToFilePath(const QString& path);
QString FromFilePath(const std::string& path);
