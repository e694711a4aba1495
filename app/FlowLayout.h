#pragma once
// A layout that places its widgets left to right at their preferred sizes and
// starts a new row when the next one would not fit: the operation tables and
// the property panels wrap to the width they are given and are never cut.
// Hidden widgets take no room.

#include <QLayout>
#include <QList>

class FlowLayout : public QLayout {
 public:
  explicit FlowLayout(QWidget* parent = nullptr, int spacing = 12);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override { return items_.value(index); }
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return Arrange(QRect(0, 0, width, 0), false); }
  // The widest item decides the least width: no item is ever cut.
  QSize minimumSize() const override;
  QSize sizeHint() const override { return minimumSize(); }
  void setGeometry(const QRect& rect) override;

 private:
  // Places the items in rows within rect (only measures when place is
  // false); the height used.
  int Arrange(const QRect& rect, bool place) const;

  QList<QLayoutItem*> items_;
  int spacing_;
};
