#pragma once

// The curves of a month without their widget: which month a step goes to, where the plot lies
// in the widget, where a day and a height lie in the plot, and which day lies under a point.
// The plot widget (curves_plot.h) keeps the chart and the cursor and asks these.

#include <algorithm>
#include <array>

#include <QRectF>
#include <QSize>

#include "chart/birth_input.h"

namespace kolvex {

// A month of a year, month 1 to 12.
struct YearMonth {
  int year = 0;
  int month = 1;

  friend bool operator==(const YearMonth &, const YearMonth &) = default;
};

// The month `months` on from `from` (back for a negative number), across the years' edges.
constexpr YearMonth MonthsOn(YearMonth from, int months) noexcept {
  const int index = from.year * 12 + from.month - 1 + months;
  return {index / 12, index % 12 + 1};
}

// Whether the curves can show `month`: from January of the birth year through December of the
// last year the program charts.
inline bool CanShowMonth(const BirthInput &birth, YearMonth month) noexcept {
  BirthInput shown = birth;
  shown.forecastYear = month.year;
  return IsInRange(shown);
}

// Days since birth of `day` of `month`, fractions for the curve between the days' middles.
constexpr double LifeDay(const BirthInput &birth, YearMonth month, double day) noexcept {
  BirthInput shown = birth;
  shown.forecastYear = month.year;
  return static_cast<double>(DaysSinceBirth(shown, month.month, 1)) + day - 1.0;
}

inline constexpr int CurvesGap = 8; // between texts, and around the plot area

// The area the curves fill in a widget of `size`: right of the percent labels, the widest of which
// is `labelWidth`, under the key and over the day labels, each a text line of `lineHeight`.
constexpr QRectF CurvesPlotArea(QSize size, int labelWidth, int lineHeight) noexcept {
  const double left = labelWidth + 2 * CurvesGap;
  // Room for the key above, half a percent label over the top line and the day labels below.
  const double top = 1.5 * lineHeight + 2 * CurvesGap;
  const double bottom = lineHeight + CurvesGap + 4;
  return {left, top, size.width() - left - 2 * CurvesGap, size.height() - top - bottom};
}

// The x of the middle of `day` (fractions between) in `area` divided into `days` columns.
constexpr double DayMiddleX(const QRectF &area, int days, double day) noexcept {
  return area.left() + (day - 0.5) * area.width() / days;
}

// The day whose column in `area` holds x, or 0 outside the columns.
constexpr int DayUnderX(const QRectF &area, int days, double x) noexcept {
  if (x < area.left() || x >= area.right()) {
    return 0;
  }
  return std::clamp(static_cast<int>((x - area.left()) * days / area.width()) + 1, 1, days);
}

// The y of a cycle's height (-1 to 1) in `area`.
constexpr double HeightToY(const QRectF &area, double height) noexcept {
  return area.center().y() - height * area.height() / 2;
}

// Every how many days the day axis has a label, when a day is `dayWidth` wide and a label needs
// `labelWidth`: the first step of a few round ones whose labels fit, else the largest.
constexpr int DayLabelStep(double dayWidth, double labelWidth) noexcept {
  constexpr std::array steps{1, 2, 3, 5, 7, 10, 15};
  for (const int step : steps) {
    if (step * dayWidth >= labelWidth) {
      return step;
    }
  }
  return steps.back();
}

} // namespace kolvex
