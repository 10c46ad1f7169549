#include "ui/grid/chart_grid.h"

#include <algorithm>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/grid/chart_grid_delegate.h"
#include "ui/grid/chart_grid_drag.h"
#include "ui/grid/chart_grid_header.h"
#include "ui/grid/chart_grid_style.h"
#include "ui/look.h"

namespace kolvex {

ChartGrid::ChartGrid(QWidget *parent)
    : QTableView(parent), style_(new ChartGridStyle), scrollBarStyle_(new ChartGridScrollBarStyle),
      drag_(new ChartGridDrag(*this)) {
  style_->setParent(this);
  scrollBarStyle_->setParent(this);
  setHorizontalHeader(new ChartGridHeader(Qt::Horizontal, GridColumnPitch, GridRowPitch, this));
  setVerticalHeader(new ChartGridHeader(Qt::Vertical, GridRowPitch, GridColumnPitch, this));
  setModel(&model_);
  setItemDelegate(new ChartGridDelegate(this));
  UseGridLook();

  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollMode(ScrollPerItem);
  setVerticalScrollMode(ScrollPerItem);
  // A scroll bar's thumb takes effect when it is let go.
  horizontalScrollBar()->setTracking(false);
  verticalScrollBar()->setTracking(false);

  setEditTriggers(NoEditTriggers);
  setSelectionMode(ContiguousSelection);
  setTabKeyNavigation(false);
  setCornerButtonEnabled(false);

  ReportPointerEverywhere();
  LetRowsPastScrollEndGo();
  SetCurrentCell(1, 1);
}

// The grid's style on the grid, its scroll bars and its headers; the cell font; black beyond the
// cells, while the scroll bars keep the desktop's colours; a sunken edge.
void ChartGrid::UseGridLook() {
  setStyle(style_);
  for (QWidget *part : std::initializer_list<QWidget *>{horizontalHeader(), verticalHeader()}) {
    part->setStyle(style_);
  }
  for (QWidget *bar :
       std::initializer_list<QWidget *>{horizontalScrollBar(), verticalScrollBar()}) {
    bar->setStyle(scrollBarStyle_);
  }
  if (QWidget *corner = CornerButton()) {
    corner->setStyle(style_);
  }
  setFont(CellFont());
  QPalette black = viewport()->palette();
  black.setColor(QPalette::Base, grid_look::CellColor);
  viewport()->setPalette(black);
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

QWidget *ChartGrid::CornerButton() const {
  return findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
}

// The pointer over the cells, the headers and the corner is reported as CellHovered, and a
// click anywhere on the grid, scroll bars included, makes it the active control (eventFilter).
void ChartGrid::ReportPointerEverywhere() {
  QList<QWidget *> tracked{viewport(), horizontalHeader()->viewport(),
                           verticalHeader()->viewport()};
  if (QWidget *corner = CornerButton()) {
    tracked.append(corner);
  }
  for (QWidget *widget : tracked) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
  }
  horizontalScrollBar()->installEventFilter(this);
  verticalScrollBar()->installEventFilter(this);
}

// Any use of the vertical scroll bar, even one that leaves its value, ends a first visible row
// past the scroll range (row 22 for today late in a month); a step counts from that row.
void ChartGrid::LetRowsPastScrollEndGo() {
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    QScrollBar &bar = *verticalScrollBar();
    if (action == QAbstractSlider::SliderSingleStepAdd ||
        action == QAbstractSlider::SliderSingleStepSub ||
        action == QAbstractSlider::SliderPageStepAdd ||
        action == QAbstractSlider::SliderPageStepSub) {
      bar.setSliderPosition(bar.sliderPosition() + rowsPastScrollEnd_);
    }
    rowsPastScrollEnd_ = 0;
    AlignToTopLeft();
  });
}

ChartGrid::~ChartGrid() = default;

void ChartGrid::SetChart(const YearChart &chart) {
  model_.SetChart(chart);
}

int ChartGrid::LeftCol() const {
  return horizontalScrollBar()->value() + 1;
}

int ChartGrid::TopRow() const {
  return verticalScrollBar()->value() + 1 + rowsPastScrollEnd_;
}

void ChartGrid::SetTopRow(int row) {
  pendingTopRow_ = row;
  if (shownBefore_) {
    ApplyPendingTopRow();
  }
}

void ChartGrid::ApplyPendingTopRow() {
  if (!pendingTopRow_) {
    return;
  }
  QScrollBar &bar = *verticalScrollBar();
  bar.setValue(*pendingTopRow_ - 1);
  rowsPastScrollEnd_ = std::clamp(*pendingTopRow_ - 1 - bar.value(), 0, 1);
  pendingTopRow_.reset();
  AlignToTopLeft();
}

void ChartGrid::AlignToTopLeft() {
  horizontalHeader()->setOffset((LeftCol() - 1) * GridColumnPitch);
  verticalHeader()->setOffset((TopRow() - 1) * GridRowPitch);
  viewport()->update();
}

GridCell ChartGrid::CellAt(QPoint point) const {
  return GridCellAt(point.x(), point.y(), LeftCol(), TopRow());
}

GridCell ChartGrid::CurrentCell() const {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) {
    return {};
  }
  return {current.column() + 1, current.row() + 1};
}

void ChartGrid::SetCurrentCell(int column, int row) {
  const QModelIndex index = model_.index(row - 1, column - 1);
  if (!index.isValid()) {
    return;
  }
  // Qt would scroll to the cell, or put that off until the grid shows; this grid scrolls only
  // once it has been shown, and then into full view.
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  setAutoScroll(true);
  if (shownBefore_) {
    scrollTo(index);
  }
}

int ChartGrid::VisibleColCount() const {
  return std::min(viewport()->width() / GridColumnPitch, ChartModel::MonthColumns - LeftCol() + 1);
}

int ChartGrid::VisibleRowCount() const {
  return std::min(viewport()->height() / GridRowPitch, ChartModel::DayRows - TopRow() + 1);
}

// Some platforms turn the Menu key into a context menu request of their own, at the pointer.
bool ChartGrid::event(QEvent *event) {
  if (event->type() == QEvent::ContextMenu &&
      static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
    RequestMenuAtCurrentCell();
    return true;
  }
  return QTableView::event(event);
}

void ChartGrid::RequestMenuAtCurrentCell() {
  const QRect cell = visualRect(currentIndex());
  const QRect view = viewport()->rect();
  emit ContextMenuKeyPressed(view.contains(cell.center()) ? cell.center() : view.center());
}

bool ChartGrid::eventFilter(QObject *watched, QEvent *event) {
  auto *widget = qobject_cast<QWidget *>(watched);
  if (widget == nullptr) {
    return false;
  }
  const bool scrollBar = widget == horizontalScrollBar() || widget == verticalScrollBar();
  switch (event->type()) {
  case QEvent::MouseMove:
    if (!scrollBar) {
      emit CellHovered(
          CellAt(ClientPoint(widget, static_cast<QMouseEvent *>(event)->position().toPoint())));
    }
    return false;
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
    // Any click on the grid makes it the active control; the fixed cells take no clicks.
    setFocus(Qt::MouseFocusReason);
    return !scrollBar && widget != viewport();
  case QEvent::MouseButtonRelease:
    return !scrollBar && widget != viewport();
  default:
    return false;
  }
}

void ChartGrid::keyPressEvent(QKeyEvent *event) {
  const int key = event->key();
  if (key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
    RequestMenuAtCurrentCell();
    return;
  }
  QTableView::keyPressEvent(event);
  switch (key) {
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Up:
  case Qt::Key_Down:
  case Qt::Key_PageUp:
  case Qt::Key_PageDown:
  case Qt::Key_Home:
  case Qt::Key_End:
    emit CellChosenByKeyboard(CurrentCell());
    break;
  default:
    break;
  }
}

void ChartGrid::focusInEvent(QFocusEvent *event) {
  QTableView::focusInEvent(event);
  // From the keyboard, a click or another window.
  spokenCells_.AfterOwnerFocus([this] { spokenCells_.Focus(currentIndex(), true); });
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
      reason == Qt::ShortcutFocusReason) {
    emit CellChosenByKeyboard(CurrentCell());
  }
}

// QTableView's own announcement of the new cell is left out: SpokenCells makes it.
void ChartGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
  QAbstractItemView::currentChanged(current, previous);
  if (hasFocus()) {
    spokenCells_.Focus(current, false);
  }
}

void ChartGrid::mousePressEvent(QMouseEvent *event) {
  // The right button opens the context menu and leaves the current cell and selection alone.
  if (event->button() == Qt::RightButton) {
    return;
  }
  if (!indexAt(event->position().toPoint()).isValid()) {
    // The black space beyond the cells selects nothing.
    setFocus(Qt::MouseFocusReason);
    return;
  }
  QTableView::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) {
    drag_->Press(event->position().toPoint());
  }
}

void ChartGrid::mouseMoveEvent(QMouseEvent *event) {
  if (event->buttons() & Qt::LeftButton) {
    drag_->Move(event->position().toPoint());
  } else {
    QTableView::mouseMoveEvent(event);
  }
}

void ChartGrid::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::RightButton) {
    return;
  }
  if (event->button() == Qt::LeftButton) {
    drag_->Release();
  }
  QTableView::mouseReleaseEvent(event);
}

void ChartGrid::mouseDoubleClickEvent(QMouseEvent *event) {
  mousePressEvent(event);
  const GridCell cell = CellAt(ClientPoint(viewport(), event->position().toPoint()));
  if (event->button() == Qt::LeftButton && cell.column >= 1 && cell.row >= 1) {
    emit CellDoubleClicked(cell);
  }
}

QPoint ChartGrid::ClientPoint(const QWidget *from, QPoint point) const {
  return from->mapTo(this, point) - QPoint(frameWidth(), frameWidth());
}

// At the end of its range QTableView lines the last cell up with the far edge and lets the first
// visible one be cut; this grid always starts with a whole cell and cuts the last. Each path on
// which Qt sets the header offsets is followed by AlignToTopLeft.
void ChartGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) {
    rowsPastScrollEnd_ = 0;
  }
  AlignToTopLeft();
}

void ChartGrid::scrollTo(const QModelIndex &index, ScrollHint hint) {
  // A row above the first visible one, while that lies past the scroll range, brings the rows
  // back into it; QTableView counts from the scroll bar's value.
  if (rowsPastScrollEnd_ > 0 && index.isValid() && index.row() + 1 < TopRow()) {
    rowsPastScrollEnd_ = 0;
  }
  QTableView::scrollTo(index, hint);
  AlignToTopLeft();
}

void ChartGrid::updateGeometries() {
  QTableView::updateGeometries();
  AlignToTopLeft();
}

void ChartGrid::doItemsLayout() {
  QTableView::doItemsLayout();
  AlignToTopLeft();
}

void ChartGrid::showEvent(QShowEvent *event) {
  QTableView::showEvent(event);
  shownBefore_ = true;
  ApplyPendingTopRow();
}

} // namespace kolvex
