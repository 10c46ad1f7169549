#pragma once

// The curves of one month: the three cycles drawn through the days, their critical days marked,
// today's line and a day cursor that the pointer and the keys move.

#include <QWidget>

#include "chart/forecast.h"
#include "ui/today.h"

namespace kolvex {

class CurvesPlot : public QWidget {
  Q_OBJECT

public:
  explicit CurvesPlot(QWidget *parent = nullptr);

  // Shows `month` (1 to 12) of the forecast's chart; the cursor goes to `day`, kept within the
  // month.
  void SetMonth(const Forecast &forecast, const Today &today, int month, int day);

  int Month() const noexcept { return month_; }
  int CursorDay() const noexcept { return cursorDay_; }
  const YearChart &Chart() const noexcept { return chart_; }
  // The cursor's day in words, with the three percents and the code.
  const QString &Description() const noexcept { return description_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  // The month or the cursor moved; Description() tells the new day.
  void CursorMoved();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void MoveCursor(int month, int day);
  int DaysInMonth() const;
  // Days since birth of `day` of the month shown (fractions for the curve between days).
  double DaysSinceBirth(double day) const;
  // The area the curves fill, and the x of a day's middle within it.
  QRectF PlotArea() const;
  double DayX(double day) const;
  // The day whose column holds x, or 0 outside the columns.
  int DayAtX(double x) const;

  YearChart chart_;
  BirthInput input_;
  Today today_;
  int month_ = 1;
  int cursorDay_ = 1;
  QString description_;
};

} // namespace kolvex
