#pragma once
// The message box for files a save could not write. A save into an
// unwritable folder can fail for every member of a population, so the box
// shows a short summary (how many, the first few with their reasons) and the
// whole list as expandable details: it fits a small screen however long the
// list is.

#include <QString>
#include <memory>

#include "app/AlgebraFiles.h"

class QMessageBox;
class QWidget;

// How many failures the summary names before it refers to the details.
inline constexpr int kFailuresInSummary = 3;

// "2 files were not written:" and up to kFailuresInSummary "path: reason" lines.
QString FailedWritesSummary(const FailedWrites& failures);

// The box, not yet shown: warning icon, the summary as its text and the
// whole list (FailedWritesMessage) as its detailed text.
std::unique_ptr<QMessageBox> MakeFailedWritesBox(QWidget* parent, const QString& title, const FailedWrites& failures);

// Shows the box modally; nothing for an empty list.
void ShowFailedWritesBox(QWidget* parent, const QString& title, const FailedWrites& failures);
