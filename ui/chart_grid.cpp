#include "ui/chart_grid.h"

#include <algorithm>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include "ui/look.h"

namespace kolvex {

namespace {

constexpr int ScrollBarWidth = 17;
constexpr int AutoScrollInterval = 60; // milliseconds per cell
constexpr int TextInset = 2;           // from the cell's top-left corner

const QColor FixedColor{128, 128, 128};
const QColor FixedLineColor{0, 0, 0};
const QColor CellColor{0, 0, 0};
const QColor CellLineColor{192, 192, 192};
const QColor TextColor{0, 255, 0};
const QColor EdgeLight{255, 255, 255};
const QColor EdgeShadow{128, 128, 128};

// The text on the cell's colour, clipped to the cell.
void DrawCellText(QPainter &painter, const QRect &cell, const QString &text, const QColor &color) {
  painter.save();
  painter.setClipRect(cell, Qt::IntersectClip);
  painter.setFont(CellFont());
  painter.setPen(color);
  painter.drawText(cell.adjusted(TextInset, TextInset, 0, 0),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

// A fixed cell with its line: `area` is the cell and the line right of and below it.
void PaintFixedCell(QPainter &painter, const QRect &area, const QString &text) {
  const QRect cell = area.adjusted(0, 0, -1, -1);
  painter.save();
  painter.fillRect(cell, FixedColor);
  DrawCellText(painter, cell, text, TextColor);
  // The raised edge, light above and left, shadow below and right, then the black grid lines.
  painter.setPen(EdgeLight);
  painter.drawLine(cell.topLeft(), cell.topRight());
  painter.drawLine(cell.topLeft(), cell.bottomLeft());
  painter.setPen(EdgeShadow);
  painter.drawLine(cell.bottomLeft(), cell.bottomRight());
  painter.drawLine(cell.topRight(), cell.bottomRight());
  painter.setPen(FixedLineColor);
  painter.drawLine(area.topRight(), area.bottomRight());
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.restore();
}

// The grid's measures and the look of its fixed cells, over the application's style.
class ChartGridStyle : public QProxyStyle {
public:
  int pixelMetric(PixelMetric metric, const QStyleOption *option,
                  const QWidget *widget) const override {
    switch (metric) {
    case PM_ScrollBarExtent:
      return ScrollBarWidth;
    case PM_ScrollView_ScrollBarSpacing:
    case PM_ScrollView_ScrollBarOverlap:
      return 0;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                QStyleHintReturn *returnData) const override {
    switch (hint) {
    case SH_Table_GridLineColor:
      return static_cast<int>(CellLineColor.rgba());
    case SH_ScrollView_FrameOnlyAroundContents:
    case SH_ScrollBar_Transient:
      return 0;
    default:
      return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
  }

  void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                   const QWidget *widget) const override {
    switch (element) {
    case CE_Header: {
      const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
      PaintFixedCell(*painter, option->rect, header ? header->text : QString());
      break;
    }
    case CE_HeaderEmptyArea:
      painter->fillRect(option->rect, CellColor);
      break;
    default:
      QProxyStyle::drawControl(element, option, painter, widget);
    }
  }
};

// The day cells: black with silver lines and lime texts; the selection in the highlight colours,
// except the current cell while the grid is its window's active control, which stays black and
// carries a dotted focus rectangle.
class ChartDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter *painter, const QStyleOptionViewItem &option,
             const QModelIndex &index) const override {
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const bool focused =
        view != nullptr && view->window()->focusWidget() == view && view->currentIndex() == index;
    const bool highlighted = !focused && (option.state & QStyle::State_Selected);
    const QColor background =
        highlighted ? option.palette.color(QPalette::Active, QPalette::Highlight) : CellColor;
    const QColor text =
        highlighted ? option.palette.color(QPalette::Active, QPalette::HighlightedText) : TextColor;
    painter->fillRect(option.rect, background);
    DrawCellText(*painter, option.rect, index.data().toString(), text);
    if (focused) {
      painter->save();
      QPen dots(Qt::white, 0);
      dots.setDashPattern({1.0, 1.0});
      painter->setPen(dots);
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
      painter->restore();
    }
  }
};

// One step of `from` towards `to`.
int StepTowards(int from, int to) {
  return from + (to > from) - (to < from);
}

// A header of fixed thickness. A plain QHeaderView measures the text of every section to find its
// size hint, work that a grid of fixed cells never needs.
class FixedHeader final : public QHeaderView {
public:
  FixedHeader(Qt::Orientation orientation, int thickness, QWidget *parent)
      : QHeaderView(orientation, parent), thickness_(thickness) {}

  QSize sizeHint() const override {
    return orientation() == Qt::Horizontal ? QSize(length(), thickness_)
                                           : QSize(thickness_, length());
  }

private:
  int thickness_;
};

} // namespace

ChartGrid::ChartGrid(QWidget *parent) : QTableView(parent), style_(new ChartGridStyle) {
  style_->setParent(this);
  setStyle(style_);
  horizontalScrollBar()->setStyle(style_);
  verticalScrollBar()->setStyle(style_);
  setHorizontalHeader(new FixedHeader(Qt::Horizontal, GridRowPitch, this));
  setVerticalHeader(new FixedHeader(Qt::Vertical, GridColumnPitch, this));
  setModel(&model_);
  setItemDelegate(new ChartDelegate(this));

  setFont(CellFont());
  // Black beyond the cells; the scroll bars keep the desktop's colours.
  QPalette black = viewport()->palette();
  black.setColor(QPalette::Base, CellColor);
  viewport()->setPalette(black);

  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
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

  const struct {
    QHeaderView *header;
    int pitch;
  } headers[] = {{horizontalHeader(), GridColumnPitch}, {verticalHeader(), GridRowPitch}};
  for (const auto &[header, pitch] : headers) {
    header->setStyle(style_);
    header->setMinimumSectionSize(pitch);
    header->setMaximumSectionSize(pitch);
    header->setDefaultSectionSize(pitch);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideNone);
    header->viewport()->setMouseTracking(true);
    header->viewport()->installEventFilter(this);
  }
  horizontalHeader()->setFixedHeight(GridRowPitch);
  verticalHeader()->setFixedWidth(GridColumnPitch);

  if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly)) {
    corner->setStyle(style_);
    corner->setMouseTracking(true);
    corner->installEventFilter(this);
  }
  viewport()->setMouseTracking(true);
  viewport()->installEventFilter(this);
  horizontalScrollBar()->installEventFilter(this);
  verticalScrollBar()->installEventFilter(this);
  // Any use of the vertical scroll bar, even one that leaves its value, ends a first visible row
  // past the scroll range; a step counts from that row.
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

  SetCurrentCell(1, 1);
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
  // From the keyboard, a click or another window; after Qt has told of the grid's own focus.
  QMetaObject::invokeMethod(
      this, [this] { hasFocus() ? spokenCells_.Focus(currentIndex(), true) : void(); },
      Qt::QueuedConnection);
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
  const QModelIndex pressed = indexAt(event->position().toPoint());
  if (!pressed.isValid()) {
    // The black space beyond the cells selects nothing.
    setFocus(Qt::MouseFocusReason);
    return;
  }
  QTableView::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) {
    return;
  }
  // The selection is one rectangle with the current cell at a corner; the corner across from it
  // stays put while dragging.
  const QModelIndex current = currentIndex();
  int row = current.row();
  int column = current.column();
  if (!selectionModel()->selection().isEmpty()) {
    const QItemSelectionRange range = selectionModel()->selection().first();
    row = current.row() == range.top() ? range.bottom() : range.top();
    column = current.column() == range.left() ? range.right() : range.left();
  }
  dragAnchor_ = model_.index(row, column);
  dragPointer_ = event->position().toPoint();
}

void ChartGrid::mouseMoveEvent(QMouseEvent *event) {
  if (!(event->buttons() & Qt::LeftButton)) {
    QTableView::mouseMoveEvent(event);
    return;
  }
  if (!dragAnchor_.isValid()) {
    return; // the press was not on a cell
  }
  dragPointer_ = event->position().toPoint();
  if (OnWholeCellInView(dragPointer_)) {
    autoScrollTimer_.stop();
    ExtendSelection(indexAt(dragPointer_));
  } else if (!autoScrollTimer_.isActive()) {
    autoScrollTimer_.start(AutoScrollInterval, this);
  }
}

void ChartGrid::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() == Qt::RightButton) {
    return;
  }
  if (event->button() == Qt::LeftButton) {
    autoScrollTimer_.stop();
    dragAnchor_ = QPersistentModelIndex();
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

void ChartGrid::timerEvent(QTimerEvent *event) {
  if (event->timerId() == autoScrollTimer_.timerId()) {
    AutoScrollStep();
    return;
  }
  QTableView::timerEvent(event);
}

QPoint ChartGrid::ClientPoint(const QWidget *from, QPoint point) const {
  return from->mapTo(this, point) - QPoint(frameWidth(), frameWidth());
}

bool ChartGrid::OnWholeCellInView(QPoint viewportPoint) const {
  return viewportPoint.x() >= 0 && viewportPoint.x() < VisibleColCount() * GridColumnPitch &&
         viewportPoint.y() >= 0 && viewportPoint.y() < VisibleRowCount() * GridRowPitch;
}

void ChartGrid::AutoScrollStep() {
  const QModelIndex far = currentIndex();
  if (!dragAnchor_.isValid() || !far.isValid()) {
    autoScrollTimer_.stop();
    return;
  }
  // The cell under the pointer on each axis, kept to the scrollable cells.
  const QPoint pointer = ClientPoint(viewport(), dragPointer_);
  const int column = std::clamp(GridAxisCell(pointer.x(), LeftCol(), GridColumnPitch), 1,
                                ChartModel::MonthColumns);
  const int row =
      std::clamp(GridAxisCell(pointer.y(), TopRow(), GridRowPitch), 1, ChartModel::DayRows);
  ExtendSelection(
      model_.index(StepTowards(far.row(), row - 1), StepTowards(far.column(), column - 1)));
}

void ChartGrid::ExtendSelection(const QModelIndex &farCorner) {
  if (!farCorner.isValid()) {
    return;
  }
  selectionModel()->select(QItemSelection(dragAnchor_, farCorner),
                           QItemSelectionModel::ClearAndSelect);
  // Making it current scrolls it into view.
  selectionModel()->setCurrentIndex(farCorner, QItemSelectionModel::NoUpdate);
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
