#pragma once

// Which cell of the chart grid lies under a point of the grid's client area, and which row the
// grid shows first for today.

#include <algorithm>

#include "chart/year_chart.h"

namespace kolvex {

// Every cell is followed by a one-pixel grid line; a line belongs to the cell left of or above it.
inline constexpr int GridColumnPitch = 35; // 34-pixel column + line
inline constexpr int GridRowPitch = 20;    // 19-pixel row + line

// A cell position (column, row); {-1, -1} is no cell.
struct GridCell {
  int column = -1;
  int row = -1;

  friend bool operator==(const GridCell &, const GridCell &) = default;
};

// The cell on one axis: the fixed cell 0 owns everything before the end of its line, negative
// positions included; from there every `pitch` pixels belong to the next scrollable cell, starting
// with `firstVisible`. Not bounded above: positions beyond the view give hidden cells.
constexpr int GridAxisCell(int position, int firstVisible, int pitch) noexcept {
  return position < pitch ? 0 : firstVisible + (position - pitch) / pitch;
}

// The cell under the point (x, y) when `leftCol` and `topRow` are the first visible scrollable
// column and row; a point past the last column or past the last row is no cell.
constexpr GridCell GridCellAt(int x, int y, int leftCol, int topRow) noexcept {
  const int column = GridAxisCell(x, leftCol, GridColumnPitch);
  const int row = GridAxisCell(y, topRow, GridRowPitch);
  if (column >= YearChart::Columns || row >= YearChart::Rows) {
    return {};
  }
  return {column, row};
}

// Today's row is shown this many rows under the first visible one, where the chart goes on far
// enough: from day 27 on the first visible row stays at 22.
inline constexpr int RowsAboveToday = 5;
inline constexpr int LastTopRowForToday = 22;

// The first visible row that puts the row of `day` in view.
constexpr int TopRowForDay(int day) noexcept {
  return std::clamp(day - RowsAboveToday, 1, LastTopRowForToday);
}

} // namespace kolvex
