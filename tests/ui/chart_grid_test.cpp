#include "ui/grid/chart_grid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace kolvex {
namespace {

YearChart Chart1999() {
  return YearChart::Compute({17, 9, 1974, 1999});
}

TEST(ChartModel, ServesTheChartWithItsFirstRowAndColumnAsHeaders) {
  ChartModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  const YearChart chart = Chart1999();
  model.SetChart(chart);
  model.SetChart(YearChart::Compute({1, 1, 2000, 2004}));
  model.SetChart(chart);

  ASSERT_EQ(31, model.rowCount());
  ASSERT_EQ(12, model.columnCount());
  for (int column = 1; column < YearChart::Columns; ++column) {
    EXPECT_EQ(QString::fromUtf8(chart.Text(column, 0)),
              model.headerData(column - 1, Qt::Horizontal).toString());
    for (int row = 1; row < YearChart::Rows; ++row) {
      EXPECT_EQ(QString::fromUtf8(chart.Text(column, row)),
                model.index(row - 1, column - 1).data().toString());
    }
  }
  EXPECT_EQ("31", model.headerData(30, Qt::Vertical).toString());
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

class ChartGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    grid.resize(473, 265);
    grid.SetChart(Chart1999());
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  }

  // The centre of a cell in the viewport while column `leftCol` and row `topRow` show first.
  QPoint CellCentre(int column, int row) const {
    return {(column - grid.LeftCol()) * 35 + 17, (row - grid.TopRow()) * 20 + 9};
  }
  QPoint InWindow(QPoint viewportPoint) const {
    return grid.viewport()->mapTo(&grid, viewportPoint);
  }
  QRgb PixelAt(int x, int y) { return grid.grab().toImage().pixel(x, y); }

  // Where the style draws the horizontal scroll bar's thumb: -1 against the left arrow, 1 against
  // the right one, 0 between. Its middle must be drawn in the button colour, unlike the track.
  int ThumbEnd() {
    QScrollBar &bar = *grid.horizontalScrollBar();
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    const auto rect = [&](QStyle::SubControl part) {
      return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
    };
    const QRect thumb = rect(QStyle::SC_ScrollBarSlider);
    const QImage drawn = bar.grab().toImage();
    EXPECT_EQ(bar.palette().color(QPalette::Button).rgb(),
              drawn.pixel(thumb.center()) | 0xff000000);
    const QRect track = rect(QStyle::SC_ScrollBarGroove);
    const int room = track.width() - thumb.width();
    EXPECT_GT(room, 0);
    const QPoint inTrack(thumb.left() == track.left() ? track.right() - room / 2
                                                      : track.left() + room / 2,
                         track.center().y());
    EXPECT_NE(drawn.pixel(inTrack), drawn.pixel(inTrack + QPoint(1, 0))); // checkered
    return thumb.left() == track.left() ? -1 : thumb.right() == track.right() ? 1 : 0;
  }

  // The selection as one rectangle of chart cells: left, top, right, bottom.
  QRect Selection() const {
    const QItemSelection selection = grid.selectionModel()->selection();
    if (selection.size() != 1) {
      return {};
    }
    const QItemSelectionRange &range = selection.first();
    return QRect(QPoint(range.left() + 1, range.top() + 1),
                 QPoint(range.right() + 1, range.bottom() + 1));
  }

  ChartGrid grid;
};

TEST_F(ChartGridTest, ShowsElevenWholeRowsAndScrollsToTwentyOneAndTwo) {
  EXPECT_EQ(QRect(37, 22, 417, 224), grid.viewport()->geometry());
  EXPECT_EQ(17, grid.verticalScrollBar()->width());
  EXPECT_EQ(17, grid.horizontalScrollBar()->height());
  EXPECT_EQ(11, grid.VisibleRowCount());
  EXPECT_EQ(11, grid.VisibleColCount());
  EXPECT_EQ(GridCell(1, 1), grid.CurrentCell());

  grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
  grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
  EXPECT_EQ(21, grid.TopRow());
  EXPECT_EQ(2, grid.LeftCol());
  // The first visible row and column show whole; the rest is black space.
  EXPECT_EQ(0, grid.rowViewportPosition(20));
  EXPECT_EQ(0, grid.columnViewportPosition(1));
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(2 + 35 + 11 * 35 + 10, 2 + 20 + 30));
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(2 + 35 + 11 * 35 + 10, 2 + 5));

  // Row 22 first, one past where scrolling goes, with black space under row 31; the next step of
  // the scroll bar counts from it and stays in range.
  grid.SetTopRow(22);
  EXPECT_EQ(22, grid.TopRow());
  EXPECT_EQ(0, grid.rowViewportPosition(21));
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(2 + 35 + 10, 2 + 20 + 10 * 20 + 10));
  grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(21, grid.TopRow());
  grid.SetTopRow(22);
  grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(21, grid.TopRow());
  EXPECT_EQ(0, grid.rowViewportPosition(20));
  grid.SetTopRow(10);
  EXPECT_EQ(10, grid.TopRow());
  EXPECT_EQ(0, grid.rowViewportPosition(9));
}

TEST_F(ChartGridTest, MovementKeysScrollByWholeRowsAndColumns) {
  EXPECT_EQ(-1, ThumbEnd());
  QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(GridCell(12, 31), grid.CurrentCell());
  EXPECT_EQ(21, grid.TopRow());
  EXPECT_EQ(2, grid.LeftCol());
  EXPECT_EQ(1, ThumbEnd());
  EXPECT_EQ(0, grid.rowViewportPosition(20));
  QTest::keyClick(&grid, Qt::Key_Home);
  EXPECT_EQ(GridCell(1, 31), grid.CurrentCell());
  EXPECT_EQ(1, grid.LeftCol());
  EXPECT_EQ(-1, ThumbEnd());
  QTest::keyClick(&grid, Qt::Key_PageUp);
  QTest::keyClick(&grid, Qt::Key_Up);
  EXPECT_EQ(GridCell(1, 19), grid.CurrentCell());
  EXPECT_EQ(19, grid.TopRow());
  QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(QRect(QPoint(1, 19), QPoint(2, 20)), Selection());
  QTest::keyClicks(&grid, "2x");
  EXPECT_EQ(GridCell(2, 20), grid.CurrentCell());
}

TEST_F(ChartGridTest, DrawsFixedCellsGrayAndTheCurrentCellByFocus) {
  // Cell (1, 1) starts current; its corner is at (37, 22) in the grid, past the 2-pixel edge.
  grid.setFocus();
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(37 + 30, 22 + 17));
  // The frame is dotted, one pixel on and one off, in either phase: a solid or missing frame is
  // the fault.
  QString focusRectangle; // its top side, dot and gap
  for (int x = 37; x < 37 + 6; ++x) {
    focusRectangle += PixelAt(x, 22) == qRgb(255, 255, 255) ? '*'
                      : PixelAt(x, 22) == qRgb(0, 0, 0)     ? ' '
                                                            : '?';
  }
  EXPECT_TRUE(focusRectangle == "* * * " || focusRectangle == " * * *")
      << focusRectangle.toStdString();

  grid.clearFocus();
  EXPECT_EQ(grid.palette().color(QPalette::Active, QPalette::Highlight).rgb(),
            PixelAt(37 + 30, 22 + 17));
  EXPECT_EQ(qRgb(192, 192, 192), PixelAt(37 + 34, 22 + 5));      // line right of a day
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(37 + 35 + 33, 22 + 18));      // a day cell
  EXPECT_EQ(qRgb(128, 128, 128), PixelAt(2 + 30, 22 + 20 + 17)); // the day-number column
  EXPECT_EQ(qRgb(255, 255, 255), PixelAt(2 + 10, 22));           // its raised edge
  EXPECT_EQ(qRgb(0, 0, 0), PixelAt(2 + 34, 22 + 5));             // and its black line
}

TEST_F(ChartGridTest, AClickSelectsADayAndNeverAFixedCell) {
  QWindow *window = grid.windowHandle();
  QTest::mouseClick(window, Qt::LeftButton, {}, InWindow(CellCentre(4, 6)));
  EXPECT_EQ(GridCell(4, 6), grid.CurrentCell());
  EXPECT_EQ(QRect(4, 6, 1, 1), Selection());
  EXPECT_TRUE(grid.hasFocus());

  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(20, 60));  // day number
  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(100, 10)); // month
  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(10, 10));  // corner
  EXPECT_EQ(GridCell(4, 6), grid.CurrentCell());
  EXPECT_EQ(QRect(4, 6, 1, 1), Selection());

  // The right button is for the context menu: not even a drag with it selects.
  QTest::mouseDClick(window, Qt::RightButton, {}, InWindow(CellCentre(2, 3)));
  QTest::mousePress(window, Qt::RightButton, {}, InWindow(CellCentre(2, 3)));
  QTest::mouseMove(window, InWindow(CellCentre(5, 8)));
  QTest::mouseRelease(window, Qt::RightButton, {}, InWindow(CellCentre(5, 8)));
  EXPECT_EQ(GridCell(4, 6), grid.CurrentCell());
  EXPECT_EQ(QRect(4, 6, 1, 1), Selection());

  // Nor does the black space right of the last column, not even when dragged from.
  grid.horizontalScrollBar()->setValue(1);
  QTest::mousePress(window, Qt::LeftButton, {}, InWindow({11 * 35 + 10, 30}));
  QTest::mouseMove(window, InWindow(CellCentre(8, 3)));
  QTest::mouseRelease(window, Qt::LeftButton, {}, InWindow(CellCentre(8, 3)));
  EXPECT_EQ(GridCell(4, 6), grid.CurrentCell());
  EXPECT_EQ(QRect(4, 6, 1, 1), Selection());
}

// Counts the timer events of the grid's helpers that are no widgets: the drag's autoscroll.
struct TimerTicks : QObject {
  explicit TimerTicks(ChartGrid &grid) {
    for (QObject *child : grid.children()) {
      if (!child->isWidgetType()) {
        child->installEventFilter(this);
      }
    }
  }
  bool eventFilter(QObject *, QEvent *event) override {
    count += event->type() == QEvent::Timer ? 1 : 0;
    return false;
  }
  int count = 0;
};

TEST_F(ChartGridTest, DraggingSelectsARectangleAndScrollsOneCellAtATime) {
  QWindow *window = grid.windowHandle();
  QTest::mousePress(window, Qt::LeftButton, {}, InWindow(CellCentre(3, 5)));
  QTest::mouseMove(window, InWindow(CellCentre(5, 8)));
  EXPECT_EQ(QRect(QPoint(3, 5), QPoint(5, 8)), Selection());
  EXPECT_EQ(1, grid.TopRow());

  // Over the scroll bar below the rows the far corner walks down, scrolling, to the last row.
  QTest::mouseMove(window, QPoint(InWindow(CellCentre(5, 8)).x(), 255));
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid.TopRow() == 21; }, 10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid.CurrentCell() == GridCell(5, 31); }, 1000));
  // Over the day-number column it walks left, never onto the fixed column, however many more
  // steps its timer makes.
  QTest::mouseMove(window, QPoint(10, InWindow(CellCentre(5, 25)).y()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return grid.CurrentCell() == GridCell(1, 25); }, 5000));
  TimerTicks ticks(grid);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.count >= 3; }, 5000));
  EXPECT_EQ(GridCell(1, 25), grid.CurrentCell());
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(10, InWindow(CellCentre(5, 25)).y()));
  EXPECT_EQ(GridCell(1, 25), grid.CurrentCell());
  EXPECT_EQ(QRect(QPoint(1, 5), QPoint(3, 25)), Selection());
}

} // namespace
} // namespace kolvex
