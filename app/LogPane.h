#pragma once
// RichEditLog: the log pane, plain text in a fixed-pitch font without word
// wrap, each appended line in the colour current at the time.

#include <QColor>
#include <QPlainTextEdit>
#include <QStringList>

class LogPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit LogPane(QWidget* parent = nullptr);

  void SetTextColor(const QColor& color);  // colour of the lines appended next
  // Appends text in the current colour; a text with line breaks becomes as
  // many lines as it holds (a final line break adds no empty line).
  void AppendLine(const QString& text);
  void ClearLog();
  QStringList Lines() const;
  QColor LineColor(int line) const;  // invalid colour for a line that does not exist
  void SetRedrawSuspended(bool suspended);
  // Writes the lines separated by CR LF; false with the reason in error (an
  // existing file is then left as it was).
  bool SaveReport(const QString& path, QString* error) const;

 private:
  void ScrollToEnd();

  QColor color_;
  // An empty document still has one block, so an empty log and a log of one
  // empty line look alike without this.
  bool has_lines_ = false;
  bool redraw_suspended_ = false;
  bool scroll_pending_ = false;  // lines came while redrawing was suspended
};
