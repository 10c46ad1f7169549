// What a screen reader is told as the keyboard moves through the month list, the chart grid and
// the curves: the focus events Qt hands to the platform, watched through Qt's update handler.
// A screen reader speaks the interface that takes the focus; each table row below is what a key
// must make it speak. The texts are the ones Orca speaks under scripts/hear.

#include "ui/spoken_cell.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/BIOform.h"
#include "ui/biomain.h"
#include "ui/curves_plot.h"
#include "ui/curves_window.h"
#include "ui/grid/chart_grid.h"

namespace kolvex {
namespace {

constexpr Today FixedToday{2030, 3, 13};

// One focus event: whose it is (a widget's object name, or "" for a stand-in) and what the
// interface that took the focus says, its name and description.
struct Heard {
  std::string who;
  std::string name;
  std::string description;
  bool operator==(const Heard &) const = default;
};

void PrintTo(const Heard &heard, std::ostream *out) {
  *out << '{' << heard.who << ": \"" << heard.name << "\" | \"" << heard.description << "\"}";
}

std::vector<Heard> heard; // since the last Told()

void Record(QAccessibleEvent *event) {
  if (event->type() != QAccessible::Focus) {
    return;
  }
  const QAccessibleInterface *focused = event->accessibleInterface();
  heard.push_back(
      {focused->object() != nullptr ? focused->object()->objectName().toStdString() : "",
       focused->text(QAccessible::Name).toStdString(),
       focused->text(QAccessible::Description).toStdString()});
}

// A key pressed on whatever has the keyboard's focus, and what the screen reader must be told.
struct Step {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  std::vector<Heard> expected;
};

class SpokenCellsTest : public ::testing::Test {
protected:
  void SetUp() override {
    previous_ = QAccessible::installUpdateHandler(Record);
    ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 2000));
    heard.clear();
  }
  void TearDown() override { QAccessible::installUpdateHandler(previous_); }

  // The focus events since the last call, once `count` of them have come (the stand-in's comes
  // after Qt's own, from the event loop).
  static std::vector<Heard> Told(std::size_t count = 0) {
    static_cast<void>(QTest::qWaitFor([count] { return heard.size() >= count; }, 2000));
    QCoreApplication::processEvents();
    return std::exchange(heard, {});
  }

  static void ExpectTold(const std::vector<Step> &steps) {
    for (const Step &step : steps) {
      QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
      EXPECT_EQ(step.expected, Told(step.expected.size()))
          << QKeySequence(step.modifiers | step.key).toString().toStdString();
    }
  }

  ChartGrid &Grid() { return *result_.findChild<ChartGrid *>("StringGrid1"); }

  void PresentChart() {
    result_.PresentChart({{17, 9, 1974, 2030}, YearChart::Compute({17, 9, 1974, 2030})},
                         FixedToday);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&result_));
  }

  // Opens the curves of the current cell's month from the grid's context menu, as a keyboard's
  // user does.
  CurvesPlot &OpenCurves() {
    QTest::keyClick(&Grid(), Qt::Key_Menu);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    EXPECT_NE(nullptr, menu);
    menu->actions()[1]->trigger();
    menu->close();
    auto *curves = result_.findChild<CurvesWindow *>();
    EXPECT_TRUE(QTest::qWaitForWindowActive(curves));
    auto &plot = *curves->findChild<CurvesPlot *>();
    EXPECT_TRUE(QTest::qWaitFor([&plot] { return plot.hasFocus(); }));
    return plot;
  }

  TForm2 result_;

private:
  QAccessible::UpdateHandler previous_ = nullptr;
};

TEST_F(SpokenCellsTest, TheMonthListSaysItsMonthOnFocusAndOnChange) {
  TForm1 input([] { return FixedToday; });
  input.show();
  input.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&input));
  input.findChild<QLineEdit *>("Edit1")->setFocus(Qt::TabFocusReason);
  Told();
  const Heard entered{"", "Месяц рождения, сентября", ""};
  ExpectTold({{Qt::Key_Tab, {}, {{"ComboBox1", "сентября", ""}, entered}},
              {Qt::Key_Down, {}, {{"", "октября", ""}}},
              {Qt::Key_Up, {}, {{"", "сентября", ""}}},
              {Qt::Key_Backtab, Qt::ShiftModifier, {{"Edit1", "День рождения", ""}}},
              {Qt::Key_Tab, {}, {{"ComboBox1", "сентября", ""}, entered}}});
}

TEST_F(SpokenCellsTest, TheGridAndTheCurvesSayTheOneDayTheKeysMoveTo) {
  PresentChart();
  Told();
  const std::string saying13 = "Сегодня даже черт тебе не брат";
  const std::string saying25 = "Можешь смело писать стихи";
  ExpectTold(
      {{Qt::Key_Tab, {}, {{"Button1", "Закрыть", ""}}},
       {Qt::Key_Tab,
        {},
        {{"StringGrid1", "Биоритмы на год", ""},
         {"", "Биоритмы на год, 13 марта 2030, среда, плюс, минус, плюс", saying13}}},
       {Qt::Key_Down, {}, {{"", "14 марта 2030, четверг, плюс, минус, плюс", saying13}}},
       {Qt::Key_PageDown, {}, {{"", "25 марта 2030, понедельник, минус, плюс, плюс", saying25}}},
       {Qt::Key_Backtab, Qt::ShiftModifier, {{"Button1", "Закрыть", ""}}},
       {Qt::Key_Tab,
        {},
        {{"StringGrid1", "Биоритмы на год", ""},
         {"", "Биоритмы на год, 25 марта 2030, понедельник, минус, плюс, плюс", saying25}}}});

  OpenCurves();
  // The menu's and the grid's own events come first, then those of the plot.
  std::vector<Heard> opened = Told(4);
  opened.erase(opened.begin(), opened.end() - std::min<std::ptrdiff_t>(2, std::ssize(opened)));
  EXPECT_EQ((std::vector<Heard>{
                {"Plot", "Кривые биоритмов за месяц",
                 "25 марта 2030, понедельник: физический -82 %, эмоциональный 97 %, "
                 "интеллектуальный 10 %, -++"},
                {"",
                 "Кривые биоритмов за месяц, 25 марта 2030, понедельник, физический минус 82 "
                 "процента, эмоциональный 97 процентов, интеллектуальный 10 процентов, минус, "
                 "плюс, плюс",
                 ""}}),
            opened);
  ExpectTold({{Qt::Key_Right,
               {},
               {{"",
                 "26 марта 2030, вторник, физический минус 94 процента, эмоциональный 100 "
                 "процентов, интеллектуальный минус 10 процентов, минус, плюс, критический",
                 ""}}},
              {Qt::Key_PageDown,
               {},
               {{"",
                 "26 апреля 2030, пятница, физический 27 процентов, эмоциональный 78 "
                 "процентов, интеллектуальный 28 процентов, плюс, плюс, плюс",
                 ""}}},
              {Qt::Key_Left,
               {},
               {{"",
                 "25 апреля 2030, четверг, физический 0 процентов, эмоциональный 90 процентов, "
                 "интеллектуальный 46 процентов, критический, плюс, плюс",
                 ""}}}});
}

// Only what the keys can still reach keeps a stand-in: walking the curves fifty years forward and
// back again leaves as many as one month's step did.
TEST_F(SpokenCellsTest, WalkingTheCurvesKeepsNoStandInOfAMonthGone) {
  PresentChart();
  Grid().setFocus(Qt::TabFocusReason);
  CurvesPlot &plot = OpenCurves();
  Told(4);
  QTest::keyClick(&plot, Qt::Key_PageDown);
  const int afterOneStep = SpokenCells::Count();
  for (int month = 0; month < 600; ++month) {
    QTest::keyClick(&plot, Qt::Key_PageDown);
  }
  EXPECT_EQ(2080, plot.Year());
  for (int month = 0; month < 600; ++month) {
    QTest::keyClick(&plot, Qt::Key_PageUp);
  }
  EXPECT_EQ(4, plot.Month());
  EXPECT_EQ(1201u, Told().size());
  EXPECT_EQ(afterOneStep, SpokenCells::Count());
  std::printf("stand-ins: %d after one month's step, %d after 600 months forward and back\n",
              afterOneStep, SpokenCells::Count());
}

} // namespace
} // namespace kolvex
