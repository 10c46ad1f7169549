#include "ui/BIOform.h"

#include <functional>
#include <optional>
#include <ostream>

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "chart/legend.h"
#include "tests/ui/missing_folder.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/application.h"
#include "ui/curves_plot.h"
#include "ui/curves_window.h"
#include "ui/grid/chart_grid.h"
#include "ui/pdf_saving.h"

static void PrintTo(const QString &text, std::ostream *out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kolvex {
namespace {

const QString Prompt = QString::fromUtf8(LegendPrompt);

BirthInput InputOf(int year) {
  return {17, 9, 1974, year};
}

YearChart ChartOf(int year) {
  return YearChart::Compute(InputOf(year));
}

class ResultWindowTest : public ::testing::Test {
protected:
  ChartGrid &Grid() { return *form.findChild<ChartGrid *>("StringGrid1"); }
  QLabel &Label(const char *name) { return *form.findChild<QLabel *>(name); }
  QPushButton &Button(const char *name) { return *form.findChild<QPushButton *>(name); }

  void Present(const YearChart &chart, Today today) {
    form.PresentChart({InputOf(chart.Year()), chart}, today);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  // The centre of a visible cell, in the window.
  QPoint CellCentre(int column, int row) {
    const QPoint client = Grid().pos() + QPoint(2, 2);
    const int x = column == 0 ? 17 : 35 + (column - Grid().LeftCol()) * 35 + 17;
    const int y = row == 0 ? 9 : 20 + (row - Grid().TopRow()) * 20 + 9;
    return client + QPoint(x, y);
  }
  void MoveTo(QPoint point) { QTest::mouseMove(form.windowHandle(), point); }
  std::pair<QString, QString> Lines() { return {Label("Label2").text(), Label("Label3").text()}; }

  TForm2 form;
};

TEST_F(ResultWindowTest, OpensOnThePrintButtonAndTabsToCloseGridPrint) {
  EXPECT_FALSE(form.isVisible());
  Present(ChartOf(1999), {2001, 1, 1});
  EXPECT_EQ(&Button("Button2"), QApplication::focusWidget());
  // Tab order: close button, grid, print button.
  QTest::keyClick(&Button("Button2"), Qt::Key_Tab);
  EXPECT_EQ(&Button("Button1"), QApplication::focusWidget());
  QTest::keyClick(&Button("Button1"), Qt::Key_Tab);
  EXPECT_EQ(&Grid(), QApplication::focusWidget());
}

// Checks a presentation of today's year: the current cell, the first visible row and column,
// cells at whole pitches from the top left, and along the current cell's column and row, for every
// pixel of the viewport, the cell the grid reports under the pointer is the one drawn there:
// its line on its last pixel, the highlight on the current cell, black elsewhere.
void ExpectPresented(TForm2 &form, Today today, int topRow, int leftCol) {
  ChartGrid &grid = *form.findChild<ChartGrid *>("StringGrid1");
  const GridCell current{today.month, today.day};
  EXPECT_EQ(current, grid.CurrentCell());
  EXPECT_EQ(1u, grid.selectionModel()->selectedIndexes().size());
  EXPECT_EQ(topRow, grid.TopRow());
  EXPECT_EQ(leftCol, grid.LeftCol());
  const QPoint cell11(-(leftCol - 1) * 35, -(topRow - 1) * 20);
  EXPECT_EQ(cell11, grid.visualRect(grid.model()->index(0, 0)).topLeft());
  EXPECT_EQ(-cell11, QPoint(grid.horizontalHeader()->offset(), grid.verticalHeader()->offset()));

  GridCell reported;
  const auto connection =
      QObject::connect(&grid, &ChartGrid::CellHovered, [&](GridCell cell) { reported = cell; });
  const auto reportedAt = [&](QPoint client) {
    QMouseEvent move(QEvent::MouseMove, client - QPoint(35, 20), grid.mapToGlobal(client),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid.viewport(), &move);
    return reported;
  };
  const QImage drawn = grid.grab().toImage();
  const QRgb highlight = grid.palette().color(QPalette::Active, QPalette::Highlight).rgb();
  // `step` walks along one axis from `client`, on the first pixels of the cells, which no text
  // reaches.
  const auto scan = [&](QPoint client, QPoint step, int count) {
    for (int i = 0; i < count; ++i, client += step) {
      const GridCell cell = reportedAt(client);
      const bool line = cell.row >= 0 && reportedAt(client + step) != cell;
      const QRgb expected = cell.row < 0      ? qRgb(0, 0, 0)
                            : line            ? qRgb(192, 192, 192)
                            : cell == current ? highlight
                                              : qRgb(0, 0, 0);
      ASSERT_EQ(expected, drawn.pixel(client + QPoint(2, 2)) | 0xff000000u)
          << "client " << client.x() << ", " << client.y() << " reports " << cell.column << ", "
          << cell.row;
    }
  };
  const QPoint currentTop(35 + (current.column - leftCol) * 35, 20 + (current.row - topRow) * 20);
  scan({currentTop.x(), 20}, {0, 1}, grid.viewport()->height());
  scan({35, currentTop.y()}, {1, 0}, grid.viewport()->width());
  QObject::disconnect(connection);
}

// Today's year on the chosen days of January, March and December: first presented, and presented
// again from the top, from the bottom limit and after a scroll to the right, with the window
// visible, hidden or minimised. The first presentation scrolls nothing sideways; later ones bring
// today's column into full view.
TEST(ResultWindowPresentations, PutTodayInViewAndReportTheCellsAsDrawn) {
  enum Start { FromTop, FromBottomLimit, ScrolledRight };
  enum State { Visible, Hidden, Minimised };
  const int months[] = {1, 3, 12};
  const int days[] = {1, 6, 7, 26, 27, 31};
  const auto topRowFor = [](int day) { return day <= 6 ? 1 : day <= 26 ? day - 5 : 22; };

  TForm2 later;
  later.PresentChart(Forecast::Of(InputOf(1999)), {2024, 1, 1});
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&later));
  ChartGrid &grid = *later.findChild<ChartGrid *>("StringGrid1");
  for (const int month : months) {
    for (const int day : days) {
      const Today today{2024, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day)};
      {
        SCOPED_TRACE(::testing::Message() << "first, " << month << "/" << day);
        TForm2 first;
        first.PresentChart(Forecast::Of(InputOf(2024)), today);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        ExpectPresented(first, today, topRowFor(day), 1);
      }
      for (const Start start : {FromTop, FromBottomLimit, ScrolledRight}) {
        for (const State state : {Visible, Hidden, Minimised}) {
          SCOPED_TRACE(::testing::Message() << "later, " << month << "/" << day << ", start "
                                            << start << ", state " << state);
          later.showNormal();
          grid.horizontalScrollBar()->triggerAction(start == ScrolledRight
                                                        ? QAbstractSlider::SliderToMaximum
                                                        : QAbstractSlider::SliderToMinimum);
          grid.verticalScrollBar()->triggerAction(start == FromBottomLimit
                                                      ? QAbstractSlider::SliderToMaximum
                                                      : QAbstractSlider::SliderToMinimum);
          if (state == Hidden) {
            later.hide();
          } else if (state == Minimised) {
            later.showMinimized();
          }
          later.PresentChart(Forecast::Of(InputOf(2024)), today);
          EXPECT_TRUE(later.isVisible());
          EXPECT_EQ(state == Minimised, later.isMinimized());
          const int leftCol = month == 12 ? 2 : month == 1 ? 1 : start == ScrolledRight ? 2 : 1;
          ExpectPresented(later, today, topRowFor(day), leftCol);
        }
      }
    }
  }
}

TEST_F(ResultWindowTest, PresentingAnotherYearLeavesCellAndScrollAlone) {
  Present(ChartOf(2024), {2024, 3, 15});
  Grid().SetCurrentCell(7, 4);
  Grid().SetTopRow(3);
  MoveTo(CellCentre(7, 5));
  const auto lines = Lines();

  Present(ChartOf(1999), {2024, 3, 15});
  EXPECT_EQ(GridCell(7, 4), Grid().CurrentCell());
  EXPECT_EQ(3, Grid().TopRow());
  EXPECT_EQ("Ваши биоритмы на 1999 год", form.windowTitle());
  EXPECT_EQ(ChartOf(1999), form.Chart());
  EXPECT_EQ(QString::fromUtf8(ChartOf(1999).Text(7, 5)),
            Grid().model()->index(4, 6).data().toString());
  EXPECT_EQ(lines, Lines()); // until the pointer moves
}

TEST_F(ResultWindowTest, DescribesTheCellUnderThePointer) {
  const YearChart chart = ChartOf(1999);
  Present(chart, {2024, 1, 1});
  Grid().SetTopRow(21);
  struct Case {
    GridCell cell;
    QString legendStart;
    QString date;
  };
  const Case cases[] = {
      {{9, 21}, QString::fromUtf8(chart.Text(9, 21)) + " ", "21 сентября 1999  вторник   "},
      // No 30 February: the prompt, and the date counts on into March.
      {{2, 30}, Prompt, "30 февраля 1999  вторник   "},
      {{12, 31}, QString::fromUtf8(chart.Text(12, 31)) + " ", "31 декабря 1999  пятница      "},
      {{5, 0}, Prompt, ""},
      {{0, 25}, Prompt, ""},
      {{0, 0}, Prompt, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.cell.column << ", " << c.cell.row);
    MoveTo(CellCentre(1, 22)); // lines that no case has
    MoveTo(CellCentre(c.cell.column, c.cell.row));
    EXPECT_TRUE(Lines().first.startsWith(c.legendStart)) << Lines().first.toStdString();
    EXPECT_EQ(c.date, Lines().second);
  }
  // The labels fit their texts; an empty one is a space wide.
  EXPECT_EQ(Label("Label3").fontMetrics().horizontalAdvance(" "), Label("Label3").width());
  MoveTo(CellCentre(9, 21));
  EXPECT_EQ(Label("Label3").fontMetrics().horizontalAdvance(Lines().second),
            Label("Label3").width());
  EXPECT_EQ(Label("Label2").fontMetrics().horizontalAdvance(Lines().first),
            Label("Label2").width());
}

// The keyboard reads the chart as the mouse does: every key that moves the current cell, and the
// Tab that brings the focus to the grid, puts the current cell's description in the two lines.
TEST_F(ResultWindowTest, TheKeyboardDescribesTheCurrentCell) {
  const YearChart chart = ChartOf(1999);
  Present(chart, {1999, 3, 15});
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const auto described = [&] {
    const DayDescription d =
        DescribeCell(chart, Grid().CurrentCell().column, Grid().CurrentCell().row);
    return std::make_pair(QString::fromUtf8(d.legend), QString::fromUtf8(d.date));
  };
  const auto promptLines = std::make_pair(Prompt, QString());
  EXPECT_EQ(promptLines, Lines()); // presenting leaves the lines alone
  QTest::keyClick(&Button("Button2"), Qt::Key_Tab);
  QTest::keyClick(&Button("Button1"), Qt::Key_Tab);
  ASSERT_EQ(&Grid(), QApplication::focusWidget());
  EXPECT_EQ(GridCell(3, 15), Grid().CurrentCell());
  EXPECT_EQ(described(), Lines());
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    GridCell expected;
  } keys[] = {
      {Qt::Key_Right, {}, {4, 15}},
      {Qt::Key_Down, {}, {4, 16}},
      {Qt::Key_Left, {}, {3, 16}},
      {Qt::Key_Up, {}, {3, 15}},
      {Qt::Key_PageDown, {}, {3, 26}},
      {Qt::Key_PageUp, {}, {3, 15}},
      {Qt::Key_End, {}, {12, 15}},
      {Qt::Key_Home, {}, {1, 15}},
      {Qt::Key_End, Qt::ControlModifier, {12, 31}},
      {Qt::Key_Home, Qt::ControlModifier, {1, 1}},
      {Qt::Key_Right, Qt::ShiftModifier, {2, 1}},
  };
  for (const auto &k : keys) {
    SCOPED_TRACE(QKeySequence(k.key | k.modifiers).toString().toStdString());
    MoveTo({5, 5}); // the prompt, which no key gives
    QTest::keyClick(&Grid(), k.key, k.modifiers);
    EXPECT_EQ(k.expected, Grid().CurrentCell());
    EXPECT_EQ(described(), Lines());
  }
  // The Menu key and Shift+F10 open the context menu at the current cell, first entry active; so
  // does the request that some platforms make of the Menu key.
  const std::function<void()> requests[] = {
      [&] { QTest::keyClick(&Grid(), Qt::Key_Menu); },
      [&] { QTest::keyClick(&Grid(), Qt::Key_F10, Qt::ShiftModifier); },
      [&] {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, {}, Grid().mapToGlobal(QPoint()));
        QApplication::sendEvent(&Grid(), &request);
      }};
  for (const auto &request : requests) {
    request();
    QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(menu->actions().first(), menu->activeAction());
    EXPECT_TRUE(menu->geometry().contains(
        Grid().viewport()->mapToGlobal(Grid().visualRect(Grid().currentIndex()).center())));
    menu->close();
  }
  // Its curves are the current cell's month, even when the cell is scrolled out of view.
  Grid().SetTopRow(20);
  requests[0]();
  qobject_cast<QMenu *>(QApplication::activePopupWidget())->actions()[1]->trigger();
  EXPECT_EQ("График биоритмов: февраль 1999", form.findChild<CurvesWindow *>()->windowTitle());
}

// A screen reader reads every day cell with its date, weekday and saying; the cell shows the code.
TEST_F(ResultWindowTest, EveryDayCellIsNamedForAScreenReader) {
  const YearChart chart = ChartOf(2030);
  Present(chart, {2024, 1, 1});
  QAccessibleInterface *table = QAccessible::queryAccessibleInterface(&Grid());
  ASSERT_NE(nullptr, table->tableInterface());
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= 31; ++day) {
      QAccessibleInterface *cell = table->tableInterface()->cellAt(day - 1, month - 1);
      ASSERT_NE(nullptr, cell);
      EXPECT_TRUE(cell->text(QAccessible::Name).startsWith(QString::number(day) + ' '))
          << month << '/' << day;
      EXPECT_TRUE(cell->text(QAccessible::Name).contains(" 2030, ")) << month << '/' << day;
      EXPECT_EQ(QString::fromUtf8(chart.Text(month, day)),
                Grid().model()->index(day - 1, month - 1).data().toString());
    }
  }
  // Born 17 September 1974: 13 March 2030 is day 20266, 3 of 23, 22 of 28 and 4 of 33.
  const struct {
    int month, day;
    const char *name, *description;
  } cases[] = {
      {3, 13, "13 марта 2030, среда, плюс, минус, плюс", "Сегодня даже черт тебе не брат"},
      {3, 25, "25 марта 2030, понедельник, минус, плюс, плюс", "Можешь смело писать стихи"},
      {4, 11, "11 апреля 2030, четверг, плюс, минус, критический", "Чего то лишишься"},
      {2, 29, "29 февраля 2030, такого дня нет", ""},
  };
  for (const auto &c : cases) {
    QAccessibleInterface *cell = table->tableInterface()->cellAt(c.day - 1, c.month - 1);
    EXPECT_EQ(c.name, cell->text(QAccessible::Name));
    EXPECT_EQ(c.description, cell->text(QAccessible::Description));
  }
}

TEST_F(ResultWindowTest, TheGridsContextMenuSavesThePageAsPdf) {
  Present(ChartOf(1999), {1999, 9, 17});
  MoveTo(CellCentre(3, 15));
  const auto lines = Lines();
  QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, CellCentre(3, 15));
  // The press of the right button, as the window system reports it, asks for the menu.
  QContextMenuEvent request(QContextMenuEvent::Mouse,
                            Grid().viewport()->mapFrom(&form, CellCentre(3, 15)),
                            form.mapToGlobal(CellCentre(3, 15)));
  QApplication::sendEvent(Grid().viewport(), &request);
  QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(2, menu->actions().size());
  EXPECT_EQ("Сохранить в PDF…", menu->actions()[0]->text());
  EXPECT_EQ("График месяца…", menu->actions()[1]->text());
  menu->actions()[1]->trigger(); // the month of the cell under the pointer
  menu->close();
  EXPECT_EQ(GridCell(9, 17), Grid().CurrentCell());
  EXPECT_EQ(lines, Lines());
  const auto *curves = form.findChild<CurvesWindow *>();
  ASSERT_NE(nullptr, curves);
  EXPECT_TRUE(curves->isVisible());
  EXPECT_EQ("График биоритмов: март 1999", curves->windowTitle());
  EXPECT_EQ(15, curves->findChild<CurvesPlot *>("Plot")->Day());

  // The write ends on a worker; a failure reaches the error display then.
  QTemporaryDir directory;
  kolvex::testing::RecordedMessageBoxes boxes;
  PdfSaving saving(&form);
  QSignalSpy ended(&saving, &PdfSaving::Ended);
  for (const QString &path : {directory.filePath("page.pdf"), directory.filePath("no/page.pdf")}) {
    saving.Save(form.Chart(), path);
    EXPECT_THROW(saving.Save(form.Chart(), path), std::runtime_error); // one at a time
    ASSERT_TRUE(ended.wait(10000));
  }
  QFile pdf(directory.filePath("page.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF-"));
  ASSERT_EQ(1u, boxes.shown.size());
  const QString reason = testing::MissingFolderReason();
  EXPECT_EQ((Message{ApplicationTitle,
                     "Не удалось сохранить " + directory.filePath("no/page.pdf") + ": " + reason,
                     MessageIcon::Error}),
            boxes.shown[0]);
}

// A double click selects the cell and opens its month in the curves window, the cursor on its day;
// the keys move the cursor and the month, and the line under the plot and the plot's description
// tell the day. Before the birth date there are no values.
TEST_F(ResultWindowTest, ADoubleClickShowsTheMonthsCurves) {
  Present(ChartOf(2030), {2030, 3, 15});
  EXPECT_EQ(nullptr, form.findChild<CurvesWindow *>()); // made on first use
  QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, CellCentre(3, 13));
  EXPECT_EQ(GridCell(3, 13), Grid().CurrentCell());
  auto *curves = form.findChild<CurvesWindow *>();
  ASSERT_NE(nullptr, curves);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(curves));
  auto &plot = *curves->findChild<CurvesPlot *>("Plot");
  const QLabel &line = *curves->findChild<QLabel *>("DayLine");
  struct Step {
    Qt::Key key;
    const char *caption;
    const char *description;
  };
  const Step steps[] = {
      {Qt::Key_unknown, "март 2030",
       "13 марта 2030, среда: физический 73 %, эмоциональный -97 %, интеллектуальный 69 %, +-+"},
      {Qt::Key_Right, "март 2030",
       "14 марта 2030, четверг: физический 89 %, эмоциональный -90 %, интеллектуальный 81 %, +-+"},
      {Qt::Key_End, "март 2030", "31 марта 2030, воскресенье: физический -52 %, "},
      {Qt::Key_PageDown, "апрель 2030", "30 апреля 2030, вторник: "},
      {Qt::Key_Home, "апрель 2030", "1 апреля 2030, понедельник: "},
      {Qt::Key_Left, "апрель 2030", "1 апреля 2030, понедельник: "},
      {Qt::Key_PageUp, "март 2030", "1 марта 2030, пятница: "},
      {Qt::Key_PageUp, "февраль 2030", "1 февраля 2030, пятница: "},
      {Qt::Key_End, "февраль 2030", "28 февраля 2030, четверг: "},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.description);
    if (step.key != Qt::Key_unknown) {
      QTest::keyClick(&plot, step.key);
    }
    EXPECT_EQ(QStringLiteral("График биоритмов: ") + step.caption, curves->windowTitle());
    EXPECT_TRUE(line.text().startsWith(step.description)) << line.text().toStdString();
    EXPECT_EQ(line.text(), plot.accessibleDescription());
  }
  // The pointer at the right end of the plot: the last day.
  QTest::mouseMove(&plot, {plot.width() - 20, plot.height() / 2});
  EXPECT_EQ(28, plot.Day());

  // Another month, and another chart, in the same window.
  QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, CellCentre(5, 13));
  EXPECT_EQ("График биоритмов: май 2030", curves->windowTitle());
  Present(YearChart::Compute({17, 9, 1974, 1974}), {2030, 3, 15});
  EXPECT_EQ(QStringLiteral("13 мая 1974, понедельник: до рождения"), line.text());
  // It goes out of sight with the result window, and comes back with it.
  form.close();
  EXPECT_FALSE(curves->isVisible());
  Present(ChartOf(2031), {2030, 3, 15});
  EXPECT_TRUE(curves->isVisible());
  EXPECT_EQ("График биоритмов: май 2031", curves->windowTitle());
  EXPECT_EQ(1, form.findChildren<CurvesWindow *>().size());
  // The keys and the buttons, named with the month they go to, go on into the years around.
  for (int i = 0; i < 8; ++i) {
    QTest::keyClick(&plot, Qt::Key_PageDown);
  }
  EXPECT_EQ("График биоритмов: январь 2032", curves->windowTitle());
  auto &previous = *curves->findChild<QPushButton *>("PreviousMonth");
  EXPECT_EQ("Предыдущий месяц, декабрь 2031", previous.accessibleName());
  previous.click();
  EXPECT_EQ("График биоритмов: декабрь 2031", curves->windowTitle());

  // At the ends of the range, January of the birth year and December 2099, the button that would
  // go past it is unavailable, to a screen reader too, and its key leaves the month.
  auto &next = *curves->findChild<QPushButton *>("NextMonth");
  const struct {
    int year;
    int month;
    bool previous;
    bool next;
  } ends[] = {{1974, 1, false, true},
              {1974, 2, true, true},
              {2099, 11, true, true},
              {2099, 12, true, false}};
  for (const auto &end : ends) {
    SCOPED_TRACE(::testing::Message() << end.month << "/" << end.year);
    const BirthInput input{17, 9, 1974, end.year};
    curves->ShowMonth(Forecast::Of(input), {2030, 3, 15}, end.month, 1);
    EXPECT_EQ(end.previous, previous.isEnabled());
    EXPECT_EQ(end.next, next.isEnabled());
    EXPECT_EQ(!end.previous, QAccessible::queryAccessibleInterface(&previous)->state().disabled);
    EXPECT_EQ(!end.next, QAccessible::queryAccessibleInterface(&next)->state().disabled);
    const QString title = curves->windowTitle();
    QTest::keyClick(&plot, end.previous ? Qt::Key_PageDown : Qt::Key_PageUp);
    QTest::keyClick(&plot, end.next ? Qt::Key_PageUp : Qt::Key_PageDown);
    EXPECT_EQ(title, curves->windowTitle());
  }
}

TEST_F(ResultWindowTest, OnlyTheBackgroundRestoresThePrompt) {
  Present(ChartOf(1999), {2024, 1, 1});
  const QWidget *controls[] = {&Button("Button1"), &Button("Button2"), &Label("Label1"),
                               &Label("Label2"), form.findChild<QWidget *>("Bevel1")};
  for (const QWidget *control : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    MoveTo(CellCentre(3, 4));
    const auto lines = Lines();
    ASSERT_NE(Prompt, lines.first);
    MoveTo(control->geometry().center() + QPoint(0, control->height() / 2 - 1));
    EXPECT_EQ(lines, Lines());
  }
  MoveTo({5, 5});
  EXPECT_EQ(std::make_pair(Prompt, QString()), Lines());
}

TEST_F(ResultWindowTest, DraggingOutsideTheGridDescribesHiddenAndFixedCells) {
  Present(ChartOf(1999), {2024, 1, 1});
  QWindow *window = form.windowHandle();
  QTest::mousePress(window, Qt::LeftButton, {}, CellCentre(2, 3));
  // Two rows below the last row in view: row 13, which is not in view.
  QTest::mouseMove(window, CellCentre(2, 13));
  EXPECT_TRUE(Lines().second.startsWith("13 февраля 1999")) << Lines().second.toStdString();
  QTest::mouseMove(window, {2, 2});
  EXPECT_EQ(std::make_pair(Prompt, QString()), Lines());
  QTest::mouseRelease(window, Qt::LeftButton, {}, {2, 2});
}

TEST_F(ResultWindowTest, ClosingHidesAndKeepsEverything) {
  Present(ChartOf(2024), {2024, 12, 31});
  Grid().SetCurrentCell(11, 30);
  QTest::mouseClick(&Button("Button1"), Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  Present(ChartOf(1999), {2024, 12, 31});
  EXPECT_EQ(GridCell(11, 30), Grid().CurrentCell());
  EXPECT_EQ(22, Grid().TopRow());
  EXPECT_EQ(1, Grid().LeftCol());

  form.close(); // the close box
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ("Ваши биоритмы на 1999 год", form.windowTitle());
  EXPECT_EQ(ChartOf(1999), form.Chart());
  form.show();
  EXPECT_EQ(GridCell(11, 30), Grid().CurrentCell());
  EXPECT_EQ(22, Grid().TopRow());
}

TEST_F(ResultWindowTest, PrintingWithoutADefaultPrinterShowsTheErrorAndChangesNothing) {
  // No print server, so no printer at all; it must be named before the first printer look-up,
  // and is forgotten after this test.
  const std::optional<QByteArray> server = qEnvironmentVariableIsSet("CUPS_SERVER")
                                               ? std::optional(qgetenv("CUPS_SERVER"))
                                               : std::nullopt;
  const auto restoreServer = qScopeGuard(
      [&server] { server ? qputenv("CUPS_SERVER", *server) : qunsetenv("CUPS_SERVER"); });
  qputenv("CUPS_SERVER", "/nonexistent/kolvex-test/cups.sock");
  Present(ChartOf(1999), {1999, 9, 17});
  MoveTo(CellCentre(9, 17));
  const auto lines = Lines();
  kolvex::testing::RecordedMessageBoxes boxes;
  const Message noPrinter{ApplicationTitle, "There is no default printer currently selected.",
                          MessageIcon::Error};

  // The printout runs on a thread of its own and tells its end a moment later.
  QTest::mouseClick(&Button("Button2"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }));
  ASSERT_EQ(1u, boxes.shown.size());
  EXPECT_EQ(noPrinter, boxes.shown[0]);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ChartOf(1999), form.Chart());
  EXPECT_EQ(GridCell(9, 17), Grid().CurrentCell());
  EXPECT_EQ(lines, Lines());

  // The print button is the active control when the window opens: Enter prints.
  TForm2 fresh;
  fresh.PresentChart(Forecast::Of(InputOf(1999)), {2024, 1, 1});
  ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
  QTest::keyClick(fresh.focusWidget(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.shown.size() > 1; }));
  ASSERT_EQ(2u, boxes.shown.size());
  EXPECT_EQ(noPrinter, boxes.shown[1]);
}

} // namespace
} // namespace kolvex
