#include "app/TableHighlight.h"

#include <QTableWidget>

namespace {

constexpr const char* kProperty = "highlightedElement";

// Colours a row (or a column) of the grid: highlighted, or as the tables draw
// it (headers in the button colour, the body plain).
void Paint(QTableWidget* grid, int index, bool row, bool highlighted) {
  const int count = row ? grid->columnCount() : grid->rowCount();
  if (index <= 0 || index >= (row ? grid->rowCount() : grid->columnCount())) return;
  const QPalette& palette = grid->palette();
  for (int k = 0; k < count; ++k) {
    QTableWidgetItem* item = row ? grid->item(index, k) : grid->item(k, index);
    if (item == nullptr) continue;
    const bool header = k == 0;
    if (highlighted) {
      item->setBackground(palette.color(QPalette::Highlight));
      item->setForeground(palette.color(QPalette::HighlightedText));
    } else {
      item->setBackground(header ? QBrush(palette.color(QPalette::Button)) : QBrush());
      item->setForeground(QBrush());
    }
  }
}

}  // namespace

int HighlightedGridElement(const QTableWidget* grid) { return grid->property(kProperty).toInt(); }

void HighlightGridElement(QTableWidget* grid, int index, bool columns_too) {
  const int before = HighlightedGridElement(grid);
  if (before == index) return;
  Paint(grid, before, true, false);
  Paint(grid, before, false, false);
  Paint(grid, index, true, true);
  if (columns_too) Paint(grid, index, false, true);
  grid->setProperty(kProperty, index);
}
