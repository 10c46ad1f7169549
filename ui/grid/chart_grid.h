#pragma once

// The chart grid: a string grid of 13 x 32 cells whose first row and column stay in place, built on
// QTableView. The model's items are the day cells; its header data fill the fixed row and column.

#include <optional>

#include <QTableView>

#include "chart/year_chart.h"
#include "ui/grid/chart_model.h"
#include "ui/grid/hit_test.h"
#include "ui/spoken_cell.h"

class QProxyStyle;

namespace kolvex {

class ChartGridDrag;

class ChartGrid : public QTableView {
  Q_OBJECT

public:
  explicit ChartGrid(QWidget *parent = nullptr);
  ~ChartGrid() override;

  // The texts on display; replacing them keeps the current cell, selection and scroll position.
  const YearChart &Chart() const { return model_.Chart(); }
  void SetChart(const YearChart &chart);

  // The first visible scrollable column and row, counted as in the chart (1 is the first). The
  // cells are drawn from these, and the hit test counts from them.
  int LeftCol() const;
  int TopRow() const;
  // Makes `row` the first visible row. The row may lie one past where scrolling goes, leaving
  // black space under the last row until the next scroll brings it back. Before the grid first
  // shows it has no scroll range yet, so the row is taken up when it shows.
  void SetTopRow(int row);

  // The current cell in chart positions; making a cell current selects it alone and, once the
  // grid has been shown, scrolls it into full view.
  GridCell CurrentCell() const;
  void SetCurrentCell(int column, int row);

  // The cell under a point of the grid's client area (inside the edge), as drawn.
  GridCell CellAt(QPoint point) const;

  // The number of scrollable columns and rows that show whole.
  int VisibleColCount() const;
  int VisibleRowCount() const;

  // A point of the viewport, a header or the corner in the grid's client coordinates, where
  // CellAt takes it.
  QPoint ClientPoint(const QWidget *from, QPoint point) const;

signals:
  // The pointer moved over the cells, the fixed row or column, or (with a button held after a
  // press in the cells) anywhere; `cell` is the one under it, as CellAt finds it.
  void CellHovered(kolvex::GridCell cell);
  // A key moved the current cell, or the grid took the focus from the keyboard: `cell` is the
  // current cell, for the keyboard's user to read as the pointer's cell is read.
  void CellChosenByKeyboard(kolvex::GridCell cell);
  // The Menu key or Shift+F10 asks for the context menu at the current cell; `point` is in the
  // viewport, where a click's menu is asked for too.
  void ContextMenuKeyPressed(QPoint point);
  // A double click of the left button on a day cell, which it also selects as a click does.
  void CellDoubleClicked(kolvex::GridCell cell);

protected:
  bool event(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;
  void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
  void updateGeometries() override;
  void doItemsLayout() override;
  void showEvent(QShowEvent *event) override;
  void keyboardSearch(const QString &) override {}
  void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
  // The steps of building the grid.
  void UseGridLook();
  void ReportPointerEverywhere();
  void LetRowsPastScrollEndGo();

  // The button in the corner of the headers, which Qt makes and this grid keeps disabled.
  QWidget *CornerButton() const;
  void ApplyPendingTopRow();
  void RequestMenuAtCurrentCell();
  // Puts the headers and cells where LeftCol and TopRow say. Qt lines the last row up with the
  // bottom edge at the end of the scroll range, and not on every path that moves the cells.
  void AlignToTopLeft();

  ChartModel model_;
  // The current cell as a screen reader hears it, when the grid has the focus.
  SpokenCells spokenCells_{*this, QAccessible::Cell};
  QProxyStyle *style_;
  QProxyStyle *scrollBarStyle_;
  ChartGridDrag *drag_;
  std::optional<int> pendingTopRow_;
  // Rows the first visible row lies past the scroll bar's value: 1 while row 22 shows first.
  int rowsPastScrollEnd_ = 0;
  bool shownBefore_ = false;
};

} // namespace kolvex
