#pragma once
// One element's row and column highlighted in an operation table (the
// element the Lattice tab points at), in the palette's highlight colours.
// The grid remembers what it highlights, so the next call puts the old row
// and column back as the tables draw them.

class QTableWidget;

// index: the element's row and column in the grid (1 for the first element,
// 0 for none). Without columns_too only the row is highlighted (the delta table).
void HighlightGridElement(QTableWidget* grid, int index, bool columns_too);
// The index HighlightGridElement last gave the grid (0 for none).
int HighlightedGridElement(const QTableWidget* grid);
