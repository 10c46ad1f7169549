#pragma once

// Selecting a rectangle of the chart grid by dragging, with its autoscroll.

#include <QBasicTimer>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>

namespace kolvex {

class ChartGrid;

// While the left button is held after a press on a cell, the selection runs from the corner
// across from the current cell to the cell under the pointer. While the pointer is beyond the
// scrollable cells that show whole, the far corner moves one cell towards it every 60 ms instead,
// never onto a fixed cell or past the last one, and is scrolled into view.
class ChartGridDrag final : public QObject {
public:
  explicit ChartGridDrag(ChartGrid &grid);

  // The left button was pressed at `viewportPoint`, on a cell that the grid has made current.
  void Press(QPoint viewportPoint);
  // The pointer moved to `viewportPoint` with the left button held.
  void Move(QPoint viewportPoint);
  // The left button was let go.
  void Release();

protected:
  void timerEvent(QTimerEvent *event) override;

private:
  // True when the viewport point lies on a scrollable cell that shows whole.
  bool OnWholeCellInView(QPoint viewportPoint) const;
  void AutoScrollStep();
  void ExtendSelection(const QModelIndex &farCorner);

  ChartGrid &grid_;
  // The selection's fixed corner, the pointer's last viewport position and the timer that moves
  // the far corner while the pointer is beyond the whole cells in view.
  QPersistentModelIndex anchor_;
  QPoint pointer_;
  QBasicTimer autoScroll_;
};

} // namespace kolvex
