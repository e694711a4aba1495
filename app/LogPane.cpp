#include "LogPane.h"

#include <QFontDatabase>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "Colours.h"

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent), color_(kBlack) {
  setReadOnly(true);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setUndoRedoEnabled(false);  // the log only grows; an undo stack would double its memory
}

void LogPane::SetTextColor(const QColor& color) { color_ = color; }

void LogPane::AppendLine(const QString& text) {
  QString normalised = text;
  normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  normalised.replace(u'\r', u'\n');
  if (normalised.endsWith(u'\n')) normalised.chop(1);
  const QStringList lines = normalised.split(u'\n');
  for (const QString& line : lines) AppendOneLine(line);
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogPane::AppendOneLine(const QString& line) {
  QTextCharFormat format;
  format.setForeground(color_);
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (has_lines_) {
    cursor.insertBlock(QTextBlockFormat(), format);
  } else {
    cursor.setBlockCharFormat(format);
  }
  // The block's own character format carries the colour, so an empty line
  // keeps it too.
  cursor.insertText(line, format);
  has_lines_ = true;
}

void LogPane::ClearLog() {
  clear();
  has_lines_ = false;
}

QStringList LogPane::Lines() const {
  QStringList lines;
  if (!has_lines_) return lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    lines.append(block.text());
  }
  return lines;
}

QColor LogPane::LineColor(int line) const {
  if (!has_lines_ || line < 0) return QColor();
  const QTextBlock block = document()->findBlockByNumber(line);
  if (!block.isValid()) return QColor();
  return block.charFormat().foreground().color();
}

void LogPane::SetRedrawSuspended(bool suspended) { setUpdatesEnabled(!suspended); }

bool LogPane::SaveReport(const QString& path, QString* error) const {
  // The report is 8-bit text like the algebras it holds.
  const QByteArray bytes = Lines().join(QStringLiteral("\r\n")).toLatin1();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}
