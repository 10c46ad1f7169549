#include "ui/grid/chart_grid_drag.h"

#include <algorithm>

#include <QTimerEvent>

#include "ui/grid/chart_grid.h"

namespace kolvex {
namespace {

constexpr int AutoScrollInterval = 60; // milliseconds per cell

// One step of `from` towards `to`.
int StepTowards(int from, int to) {
  return from + (to > from) - (to < from);
}

} // namespace

ChartGridDrag::ChartGridDrag(ChartGrid &grid) : QObject(&grid), grid_(grid) {}

void ChartGridDrag::Press(QPoint viewportPoint) {
  // The selection is one rectangle with the current cell at a corner; the corner across from it
  // stays put while dragging.
  const QModelIndex current = grid_.currentIndex();
  int row = current.row();
  int column = current.column();
  const QItemSelection selection = grid_.selectionModel()->selection();
  if (!selection.isEmpty()) {
    const QItemSelectionRange range = selection.first();
    row = current.row() == range.top() ? range.bottom() : range.top();
    column = current.column() == range.left() ? range.right() : range.left();
  }
  anchor_ = grid_.model()->index(row, column);
  pointer_ = viewportPoint;
}

void ChartGridDrag::Move(QPoint viewportPoint) {
  if (!anchor_.isValid()) {
    return; // the press was not on a cell
  }
  pointer_ = viewportPoint;
  if (OnWholeCellInView(pointer_)) {
    autoScroll_.stop();
    ExtendSelection(grid_.indexAt(pointer_));
  } else if (!autoScroll_.isActive()) {
    autoScroll_.start(AutoScrollInterval, this);
  }
}

void ChartGridDrag::Release() {
  autoScroll_.stop();
  anchor_ = QPersistentModelIndex();
}

void ChartGridDrag::timerEvent(QTimerEvent *event) {
  if (event->timerId() == autoScroll_.timerId()) {
    AutoScrollStep();
  }
}

bool ChartGridDrag::OnWholeCellInView(QPoint viewportPoint) const {
  return viewportPoint.x() >= 0 && viewportPoint.x() < grid_.VisibleColCount() * GridColumnPitch &&
         viewportPoint.y() >= 0 && viewportPoint.y() < grid_.VisibleRowCount() * GridRowPitch;
}

void ChartGridDrag::AutoScrollStep() {
  const QModelIndex far = grid_.currentIndex();
  if (!anchor_.isValid() || !far.isValid()) {
    autoScroll_.stop();
    return;
  }
  // The cell under the pointer on each axis, kept to the scrollable cells.
  const QPoint pointer = grid_.ClientPoint(grid_.viewport(), pointer_);
  const int column = std::clamp(GridAxisCell(pointer.x(), grid_.LeftCol(), GridColumnPitch), 1,
                                ChartModel::MonthColumns);
  const int row =
      std::clamp(GridAxisCell(pointer.y(), grid_.TopRow(), GridRowPitch), 1, ChartModel::DayRows);
  ExtendSelection(
      grid_.model()->index(StepTowards(far.row(), row - 1), StepTowards(far.column(), column - 1)));
}

void ChartGridDrag::ExtendSelection(const QModelIndex &farCorner) {
  if (!farCorner.isValid()) {
    return;
  }
  grid_.selectionModel()->select(QItemSelection(anchor_, farCorner),
                                 QItemSelectionModel::ClearAndSelect);
  // Making it current scrolls it into view.
  grid_.selectionModel()->setCurrentIndex(farCorner, QItemSelectionModel::NoUpdate);
}

} // namespace kolvex
