#include "ui/curves_geometry.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

constexpr BirthInput Birth{17, 9, 1974, 2030};

TEST(MonthsOn, CrossesTheYearsEdges) {
  struct Case {
    YearMonth from;
    int months;
    YearMonth expected;
  };
  const Case cases[] = {
      {{2030, 3}, 0, {2030, 3}},    {{2030, 3}, 1, {2030, 4}},   {{2030, 11}, 1, {2030, 12}},
      {{2030, 12}, 1, {2031, 1}},   {{2030, 1}, -1, {2029, 12}}, {{2030, 2}, -1, {2030, 1}},
      {{2030, 1}, -13, {2028, 12}}, {{2030, 5}, 24, {2032, 5}},  {{2030, 12}, 13, {2032, 1}},
      {{1, 1}, -1, {0, 12}},        {{2099, 12}, 1, {2100, 1}},
  };
  for (const Case &c : cases) {
    const YearMonth to = MonthsOn(c.from, c.months);
    EXPECT_EQ(c.expected, to) << c.from.month << "/" << c.from.year << " on " << c.months
                              << " gave " << to.month << "/" << to.year;
  }
}

TEST(LifeDay, CountsFromTheBirthDateAcrossYears) {
  struct Case {
    YearMonth month;
    double day;
    double expected;
  };
  const Case cases[] = {
      {{1974, 9}, 1.0, -16.0}, {{1974, 9}, 17.0, 0.0},  {{1974, 9}, 17.5, 0.5},
      {{1974, 9}, 0.5, -16.5}, {{1974, 10}, 1.0, 14.0}, {{1975, 9}, 17.0, 365.0},
      {{1976, 3}, 1.0, 531.0}, // 1976 is a leap year: 365 + 14 + 31 + 30 + 31 + 31 + 29
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.expected, LifeDay(Birth, c.month, c.day))
        << c.day << "." << c.month.month << "." << c.month.year;
  }
}

TEST(CurvesPlotArea, LeavesRoomForTheLabelsAndTheKey) {
  // Labels 40 wide, lines 16 high: 40 + 2 * 8 on the left, 8 on the right, 1.5 * 16 + 2 * 8 on
  // top, 16 + 8 + 4 below.
  EXPECT_EQ(QRectF(56, 40, 568, 252), CurvesPlotArea({640, 320}, 40, 16));
  EXPECT_EQ(QRectF(58, 38.5, 416, 168.5), CurvesPlotArea({490, 234}, 42, 15));
}

// 31 days over 310 pixels from x = 50 are 10 pixels each; February 2030's 28 over 280 too.
TEST(DayMiddleX, PutsTheDaysMiddleAcrossTheArea) {
  const QRectF area(50, 40, 310, 200);
  EXPECT_EQ(55.0, DayMiddleX(area, 31, 1.0));
  EXPECT_EQ(355.0, DayMiddleX(area, 31, 31.0));
  EXPECT_EQ(50.0, DayMiddleX(area, 31, 0.5));
  EXPECT_EQ(360.0, DayMiddleX(area, 31, 31.5));
  EXPECT_EQ(60.0, DayMiddleX(QRectF(50, 40, 280, 200), 28, 1.5));
}

TEST(DayUnderX, FindsTheColumnUnderThePoint) {
  struct Case {
    double x;
    int days;
    int expected;
  };
  const QRectF area(50, 40, 310, 200);
  const Case cases[] = {
      {49.9, 31, 0},   {50.0, 31, 1},   {59.9, 31, 1}, {60.0, 31, 2},  {205.0, 31, 16},
      {359.9, 31, 31}, {360.0, 31, 0},  {-5.0, 31, 0}, {50.0, 28, 1},  {62.0, 28, 2},
      {359.9, 28, 28}, {359.9, 30, 30}, {60.0, 30, 1}, {60.34, 30, 2},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.expected, DayUnderX(area, c.days, c.x))
        << "x " << c.x << " of " << c.days << " days";
  }
}

TEST(HeightToY, PutsZeroInTheMiddleAndTheExtremesAtTheEdges) {
  const QRectF area(50, 40, 310, 200);
  EXPECT_EQ(40.0, HeightToY(area, 1.0));
  EXPECT_EQ(140.0, HeightToY(area, 0.0));
  EXPECT_EQ(240.0, HeightToY(area, -1.0));
  EXPECT_EQ(90.0, HeightToY(area, 0.5));
}

TEST(DayLabelStep, TakesTheFirstStepWhoseLabelsFit) {
  struct Case {
    double dayWidth;
    double labelWidth;
    int expected;
  };
  const Case cases[] = {
      {20.0, 18.0, 1}, {18.0, 18.0, 1}, {17.9, 18.0, 2}, {9.0, 18.0, 2},   {6.0, 18.0, 3},
      {4.0, 18.0, 5},  {3.0, 18.0, 7},  {2.0, 18.0, 10}, {1.25, 18.0, 15}, {0.5, 18.0, 15},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.expected, DayLabelStep(c.dayWidth, c.labelWidth))
        << c.dayWidth << " per day, labels " << c.labelWidth;
  }
}

} // namespace
} // namespace kolvex
