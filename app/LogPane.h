#pragma once
// RichEditLog: the log pane, plain text in a fixed-pitch font without word
// wrap, each appended line in the colour current at the time.

#include <QColor>
#include <QPlainTextEdit>
#include <QStringList>
#include <vector>

class LogPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit LogPane(QWidget* parent = nullptr);

  void SetTextColor(const QColor& color);  // colour of the lines appended next
  // Appends text in the current colour; a text with line breaks becomes as
  // many lines as it holds (a final line break adds no empty line). The view
  // takes the texts appended in between in one go at the next event pass (in
  // a run, at the next repaint); the readers below see every line at once.
  void AppendLine(const QString& text);
  void ClearLog();
  QStringList Lines() const;
  // The colour the line was appended in (drawn lightened on a dark theme);
  // an invalid colour for a line that does not exist.
  QColor LineColor(int line) const;
  void SetRedrawSuspended(bool suspended);
  // Writes the lines separated by CR LF; false with the reason in error (an
  // existing file is then left as it was).
  bool SaveReport(const QString& path, QString* error) const;

 protected:
  bool event(QEvent* event) override;

 private:
  struct PendingText {
    QString text;  // line breaks as '\n', no final one
    QColor color;
  };

  // Puts the pending texts into the document in one edit block; false when
  // there were none.
  bool InsertPending() const;
  void ShowPending();  // after an append: insert, then follow the last line
  void ScrollToEnd();

  QColor color_;
  // Appended but not yet in the document. Inserting them one at a time would
  // lay out every line; together the view lays out only what it shows.
  mutable std::vector<PendingText> pending_;
  // An empty document still has one block, so an empty log and a log of one
  // empty line look alike without this.
  mutable bool has_lines_ = false;
  bool show_posted_ = false;
  bool redraw_suspended_ = false;
  bool scroll_pending_ = false;  // lines came while redrawing was suspended
};
