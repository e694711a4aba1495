#include "app/StatusPanel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

StatusPanel::StatusPanel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setFrameShape(QFrame::StyledPanel);
}

QString StatusPanel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

QSize StatusPanel::minimumSizeHint() const {
  // Room for a few characters and the ellipsis; the minimum width the window
  // sets stays the floor.
  QSize hint = QLabel::minimumSizeHint();
  hint.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("Mm…")) + 2 * frameWidth());
  return hint;
}

void StatusPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);  // the frame; the text is drawn here, elided when it must be
  QPainter painter(this);
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

bool StatusPanel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && Elided()) {
    // The whole text first, then what the panel's own tooltip explains.
    const QString tip = toolTip().isEmpty() ? text() : text() + QStringLiteral("\n") + toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
    return true;
  }
  return QLabel::event(event);
}
