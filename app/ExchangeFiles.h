#pragma once
// The window's side of the exchange formats: recognising a model finder's or
// UACalc's file in the Open dialog, reading its first model into the shown
// algebra, the Export dialog, and writing the chosen export.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "app/AlgebraFiles.h"
#include "model/EQAlgebra.h"
#include "formats/ExchangeFormats.h"

// What the Export dialog asks for.
struct ExportRequest {
  bool population = false;  // the browsed population rather than the shown algebra
  ExportFormat format = ExportFormat::kLatex;
  ExportOptions options;
  QString path;  // the chosen file name (its extension is replaced by the format's)
};

// The Export dialog, opened on the choices in request (those of the last
// export), then a save dialog filtered by the format's extension; false on cancel.
bool AskExportRequest(QWidget* parent, const QString& directory, ExportRequest& request);

// Whether the file holds LADR interpretations or a UACalc algebra rather
// than an EQA file (read from its content, not its name).
bool IsExchangeFile(const QString& path, ImportFormat& format);

// Reads the file's first model that fits into target (its description,
// elements and operations, and FileName := path; fitness and property slots
// stay for the display to recompute). False when no model fits or the file
// cannot be read; message then says why, naming the file. A message is also
// given when the file held other models too or rejected some.
// The reading lets the window handle its events (the core's message pump),
// so the caller must not pass an algebra those events may free.
bool OpenExchangeFile(const QString& path, ImportFormat format, TEQAlgebra& target, QString& message);

// What opening a file changes in the shown algebra, no more: description,
// elements, operations and FileName.
void TakeOpenedAlgebra(const TEQAlgebra& opened, TEQAlgebra& target);

// Writes the algebras (member index, algebra) as base + extension, or, for a
// format with one algebra per file, as base + NNNN + extension per member.
// Empty descriptions become "Algebra_NNNN". Failures are collected; the
// files written are added to written when given.
void WriteExport(const std::vector<std::pair<int, const TEQAlgebra*>>& algebras, const ExportRequest& request,
                 FailedWrites& failures, QStringList* written = nullptr);
