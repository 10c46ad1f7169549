#pragma once

// The curves of one month: the three cycles drawn through the days, their critical days marked,
// today's line and a day cursor that the pointer and the keys move.

#include <optional>

#include <QWidget>

#include "chart/forecast.h"
#include "ui/spoken_cell.h"
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
  // The year of the month shown: the chart's, or one before or after it.
  int Year() const noexcept { return shown_.Year(); }
  // The cursor's day of the month.
  int Day() const noexcept { return cursorDay_; }
  // The chart on display in the result window.
  const YearChart &Chart() const noexcept { return chart_; }
  // Goes `months` months on (back for a negative number), across the year's edges, the cursor on
  // the same day where the month has it; no further back than the birth year, nor past the last
  // year the program computes.
  void GoMonths(int months);
  // Whether GoMonths(months) goes anywhere.
  bool CanGoMonths(int months) const;
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
  void focusInEvent(QFocusEvent *event) override;

private:
  void MoveCursor(int month, int day);
  // Painting, layer by layer.
  void PaintBeforeBirth(QPainter &painter) const;
  void PaintCursorBand(QPainter &painter) const;
  void PaintGrid(QPainter &painter) const;
  void PaintDayAxis(QPainter &painter) const;
  void PaintCurves(QPainter &painter) const;
  void PaintCriticalDays(QPainter &painter) const;
  void PaintToday(QPainter &painter) const;
  // Where today's label goes, when the month shown holds today.
  std::optional<QRectF> TodayLabelBox() const;
  void PaintKey(QPainter &painter) const;
  void PaintFocus(QPainter &painter) const;
  // The geometry of curves_geometry.h for the month shown, in this widget's size and font.
  double HeightY(double height) const;
  int DaysInMonth() const;
  // Days since birth of `day` of the month shown (fractions for the curve between days).
  double AgeOn(double day) const;
  QRectF PlotArea() const;
  double DayX(double day) const;

  YearChart chart_;
  YearChart shown_; // the chart of the year whose month is shown
  BirthInput input_;
  Today today_;
  int month_ = 1;
  int cursorDay_ = 1;
  QString description_;
  QString spoken_; // the cursor's day in words
  // The cursor's day as a screen reader hears it, on focus and on every move: Qt 6.4 hands Orca
  // no text with a change of name or description.
  SpokenCells spokenDays_{*this, QAccessible::Cell};
  void TellCursorDay(bool entering);
};

} // namespace kolvex
