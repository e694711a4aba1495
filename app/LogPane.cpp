#include "app/LogPane.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "app/Colours.h"
#include "app/QtMessagePump.h"
#include "app/ReadableColours.h"

namespace {

// Shows the lines appended since the last one; during a run it waits for the
// next repaint, so the view lays out its last page once per frame.
const QEvent::Type kShowPendingEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// The colour a line was appended in, before ReadableOn adapted it to the theme.
constexpr int kAskedColour = QTextFormat::UserProperty + 1;

}  // namespace

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent), color_(kBlack) {
  setReadOnly(true);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setUndoRedoEnabled(false);  // the log only grows; an undo stack would double its memory
  HoldWithRepaints(kShowPendingEvent);
}

bool LogPane::event(QEvent* event) {
  if (event->type() != kShowPendingEvent) return QPlainTextEdit::event(event);
  ShowPending();
  return true;
}

void LogPane::SetTextColor(const QColor& color) { color_ = color; }

void LogPane::AppendLine(const QString& text) {
  QString normalised = text;
  normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  normalised.replace(u'\r', u'\n');
  if (normalised.endsWith(u'\n')) normalised.chop(1);
  pending_.push_back({std::move(normalised), color_});
  if (!show_posted_) {
    show_posted_ = true;
    QCoreApplication::postEvent(this, new QEvent(kShowPendingEvent));
  }
}

bool LogPane::InsertPending() const {
  if (pending_.empty()) return false;
  // One edit block: the view lays out and resizes once for all the texts.
  // Opened before the cursor moves, so that moving does not lay out the last
  // line just to place the cursor.
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End);
  for (const PendingText& pending : pending_) {
    QTextCharFormat format;
    // Drawn readable on the theme's background; the colour asked for is kept
    // beside it for LineColor.
    format.setForeground(ReadableOn(pending.color, palette().color(QPalette::Base)));
    format.setProperty(kAskedColour, pending.color);
    for (const QStringView line : QStringView(pending.text).split(u'\n')) {
      if (has_lines_) {
        cursor.insertBlock(QTextBlockFormat(), format);
      } else {
        cursor.setBlockCharFormat(format);
      }
      // The block's own character format carries the colour, so an empty
      // line keeps it too.
      cursor.insertText(line.toString(), format);
      has_lines_ = true;
    }
  }
  cursor.endEditBlock();
  pending_.clear();
  return true;
}

void LogPane::ShowPending() {
  show_posted_ = false;
  InsertPending();
  if (redraw_suspended_) {
    scroll_pending_ = true;  // once, when redrawing resumes
  } else {
    ScrollToEnd();
  }
}

void LogPane::ScrollToEnd() {
  scroll_pending_ = false;
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogPane::ClearLog() {
  pending_.clear();
  clear();
  has_lines_ = false;
}

QStringList LogPane::Lines() const {
  InsertPending();
  QStringList lines;
  if (!has_lines_) return lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    lines.append(block.text());
  }
  return lines;
}

QColor LogPane::LineColor(int line) const {
  InsertPending();
  if (!has_lines_ || line < 0) return QColor();
  const QTextBlock block = document()->findBlockByNumber(line);
  if (!block.isValid()) return QColor();
  return block.charFormat().property(kAskedColour).value<QColor>();
}

void LogPane::SetRedrawSuspended(bool suspended) {
  redraw_suspended_ = suspended;
  setUpdatesEnabled(!suspended);
  if (suspended) return;
  if (InsertPending() || scroll_pending_) ScrollToEnd();
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
