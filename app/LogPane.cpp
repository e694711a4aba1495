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
  QTextCharFormat format;
  format.setForeground(color_);
  // One edit block: the view lays out and resizes once for the whole text,
  // not once per line. Opened before the cursor moves, so that moving does
  // not lay out the last line just to place the cursor.
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End);
  for (const QStringView line : QStringView(normalised).split(u'\n')) {
    if (has_lines_) {
      cursor.insertBlock(QTextBlockFormat(), format);
    } else {
      cursor.setBlockCharFormat(format);
    }
    // The block's own character format carries the colour, so an empty line
    // keeps it too.
    cursor.insertText(line.toString(), format);
    has_lines_ = true;
  }
  cursor.endEditBlock();
  if (!redraw_suspended_) {
    ScrollToEnd();
  } else {
    scroll_pending_ = true;  // once, when redrawing resumes
  }
}

void LogPane::ScrollToEnd() {
  scroll_pending_ = false;
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
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

void LogPane::SetRedrawSuspended(bool suspended) {
  redraw_suspended_ = suspended;
  setUpdatesEnabled(!suspended);
  if (!suspended && scroll_pending_) ScrollToEnd();
}

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
