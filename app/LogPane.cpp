// Placeholder: replaced by the full log pane.
#include "LogPane.h"

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent) { setReadOnly(true); }
void LogPane::SetTextColor(const QColor& color) { color_ = color; }
void LogPane::AppendLine(const QString& text) { appendPlainText(text); }
void LogPane::ClearLog() { clear(); }
QStringList LogPane::Lines() const { return toPlainText().split('\n'); }
QColor LogPane::LineColor(int) const { return color_; }
void LogPane::SetRedrawSuspended(bool suspended) { setUpdatesEnabled(!suspended); }
bool LogPane::SaveReport(const QString&, QString*) const { return false; }
