#include "app/FlowLayout.h"

#include <QWidget>
#include <algorithm>

namespace {

// A hidden widget, or a panel whose contents are all hidden, takes no room.
bool Takes(const QLayoutItem* item) { return !item->isEmpty() && !item->sizeHint().isEmpty(); }

}  // namespace

FlowLayout::FlowLayout(QWidget* parent, int spacing) : QLayout(parent), spacing_(spacing) {}

FlowLayout::~FlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* FlowLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index);
}

QSize FlowLayout::minimumSize() const {
  QSize size;
  for (const QLayoutItem* item : items_) {
    if (Takes(item)) size = size.expandedTo(item->sizeHint());
  }
  const QMargins margins = contentsMargins();
  return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int FlowLayout::Arrange(const QRect& rect, bool place) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  int x = area.x();
  int y = area.y();
  int row_height = 0;
  for (QLayoutItem* item : items_) {
    if (!Takes(item)) continue;
    const QSize size = item->sizeHint();
    if (x > area.x() && x + size.width() > area.right() + 1) {  // the row is full
      x = area.x();
      y += row_height + spacing_;
      row_height = 0;
    }
    if (place) item->setGeometry(QRect(QPoint(x, y), size));
    x += size.width() + spacing_;
    row_height = std::max(row_height, size.height());
  }
  return y + row_height - rect.y() + contentsMargins().bottom();
}
