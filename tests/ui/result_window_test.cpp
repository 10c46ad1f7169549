#include "ui/BIOform.h"

#include <ostream>

#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "chart/legend.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/application.h"
#include "ui/chart_grid.h"
#include "ui/pdf_saving.h"

static void PrintTo(const QString &text, std::ostream *out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kolvex {
namespace {

const QString Prompt = QString::fromUtf8(LegendPrompt);

YearChart ChartOf(int year) {
  return YearChart::Compute({17, 9, 1974, year});
}

class ResultWindowTest : public ::testing::Test {
protected:
  ChartGrid &Grid() { return *form.findChild<ChartGrid *>("StringGrid1"); }
  QLabel &Label(const char *name) { return *form.findChild<QLabel *>(name); }
  QPushButton &Button(const char *name) { return *form.findChild<QPushButton *>(name); }

  void Present(const YearChart &chart, Today today) {
    form.PresentChart(chart, today);
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

TEST_F(ResultWindowTest, PresentingTodaysYearMovesToTodaysCell) {
  struct Case {
    Today today;
    GridCell current;
    int topRow;
    int leftCol;
  };
  const Case cases[] = {
      {{2024, 1, 3}, {1, 3}, 1, 1},
      {{2024, 3, 15}, {3, 15}, 10, 1},
      {{2024, 6, 7}, {6, 7}, 2, 1},
      {{2024, 2, 26}, {2, 26}, 21, 1},
      {{2024, 4, 27}, {4, 27}, 21, 1}, // row 22 is past where scrolling goes
      {{2024, 12, 31}, {12, 31}, 21, 2},
      {{2024, 7, 6}, {7, 6}, 1, 2}, // the column stays where it shows whole
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.today.month << "/" << c.today.day);
    Present(ChartOf(2024), c.today);
    EXPECT_EQ(c.current, Grid().CurrentCell());
    EXPECT_EQ(1u, Grid().selectionModel()->selectedIndexes().size());
    EXPECT_EQ(c.topRow, Grid().TopRow());
    EXPECT_EQ(c.leftCol, Grid().LeftCol());
    EXPECT_EQ("Ваши биоритмы на 2024 год", form.windowTitle());
    EXPECT_EQ(ChartOf(2024), form.Chart());
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

TEST_F(ResultWindowTest, TheGridsContextMenuSavesThePageAsPdf) {
  Present(ChartOf(1999), {1999, 9, 17});
  MoveTo(CellCentre(3, 5));
  const auto lines = Lines();
  QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, CellCentre(3, 5));
  // The press of the right button, as the window system reports it, asks for the menu.
  QContextMenuEvent request(QContextMenuEvent::Mouse,
                            Grid().viewport()->mapFrom(&form, CellCentre(3, 5)));
  QApplication::sendEvent(Grid().viewport(), &request);
  QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(1, menu->actions().size());
  EXPECT_EQ("Сохранить в PDF…", menu->actions()[0]->text());
  menu->close();
  EXPECT_EQ(GridCell(9, 17), Grid().CurrentCell());
  EXPECT_EQ(lines, Lines());

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
  EXPECT_EQ(
      (Message{ApplicationTitle,
               "Cannot save " + directory.filePath("no/page.pdf") + ": No such file or directory.",
               MessageIcon::Error}),
      boxes.shown[0]);
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
  EXPECT_EQ(21, Grid().TopRow());
  EXPECT_EQ(2, Grid().LeftCol());

  form.close(); // the close box
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ("Ваши биоритмы на 1999 год", form.windowTitle());
  EXPECT_EQ(ChartOf(1999), form.Chart());
  form.show();
  EXPECT_EQ(GridCell(11, 30), Grid().CurrentCell());
  EXPECT_EQ(21, Grid().TopRow());
}

TEST_F(ResultWindowTest, PrintingWithoutADefaultPrinterShowsTheErrorAndChangesNothing) {
  // No print server, so no printer at all; it must be named before the first printer look-up.
  qputenv("CUPS_SERVER", "/nonexistent/kolvex-test/cups.sock");
  if (!QPrinterInfo::defaultPrinterName().isEmpty()) {
    GTEST_SKIP() << "a default printer is still reachable";
  }
  Present(ChartOf(1999), {1999, 9, 17});
  MoveTo(CellCentre(9, 17));
  const auto lines = Lines();
  kolvex::testing::RecordedMessageBoxes boxes;
  const Message noPrinter{ApplicationTitle, "There is no default printer currently selected.",
                          MessageIcon::Error};

  QTest::mouseClick(&Button("Button2"), Qt::LeftButton);
  ASSERT_EQ(1u, boxes.shown.size());
  EXPECT_EQ(noPrinter, boxes.shown[0]);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ChartOf(1999), form.Chart());
  EXPECT_EQ(GridCell(9, 17), Grid().CurrentCell());
  EXPECT_EQ(lines, Lines());

  // The print button is the active control when the window opens: Enter prints.
  TForm2 fresh;
  fresh.PresentChart(ChartOf(1999), {2024, 1, 1});
  ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
  QTest::keyClick(fresh.focusWidget(), Qt::Key_Return);
  ASSERT_EQ(2u, boxes.shown.size());
  EXPECT_EQ(noPrinter, boxes.shown[1]);
}

} // namespace
} // namespace kolvex
