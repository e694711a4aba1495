#pragma once
// StatusPanel: one field of the status bar. When the bar is too narrow for
// its whole text it shows the text cut with an ellipsis ("Generations: 1…")
// and gives the whole text as its tooltip, rather than cutting digits off
// unseen.

#include <QLabel>

class StatusPanel : public QLabel {
  Q_OBJECT

 public:
  explicit StatusPanel(const QString& text, QWidget* parent = nullptr);

  // The text as painted: the whole text, or its elided form when it does not fit.
  QString ShownText() const;
  bool Elided() const { return ShownText() != text(); }

  // May shrink below its text (the bar then elides); asks for the whole text otherwise.
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;  // when elided, the tooltip begins with the whole text
};
