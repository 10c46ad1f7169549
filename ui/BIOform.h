#pragma once

// The result window: the year chart in a grid, the day under the pointer, print and close.

#include <QWidget>

#include "chart/year_chart.h"
#include "ui/today.h"

namespace kolvex {

class TForm2 : public QWidget {
  Q_OBJECT

public:
  explicit TForm2(QWidget *parent = nullptr);

  // Takes the chart and its year, moves the current cell to today when the chart is for today's
  // year, sets the caption and shows the window.
  void PresentChart(const YearChart &chart, const Today &today);

  const YearChart &Chart() const { return chart_; }

private:
  YearChart chart_;
};

} // namespace kolvex
