#pragma once

// The curves window: one month of the chart on display as three curves, with a line of text that
// describes the day under the cursor. The program has one, which the result window creates when
// it is first asked for.

#include <memory>

#include <QWidget>

#include "chart/forecast.h"
#include "ui/today.h"

namespace Ui {
class CurvesWindow;
}

namespace kolvex {

class CurvesPlot;

class CurvesWindow : public QWidget {
  Q_OBJECT

public:
  // A window of its own over `parent`, which it first opens beside. It goes out of sight with
  // `parent`, when that is closed or minimised with the program, and comes back with it.
  explicit CurvesWindow(QWidget *parent);
  ~CurvesWindow() override;

  // Shows `month` of the forecast's chart, the cursor on `day`, and brings the window to the
  // front.
  void ShowMonth(const Forecast &forecast, const Today &today, int month, int day);
  // Puts another forecast in place of the one shown, keeping the month and the cursor's day.
  void ReplaceChart(const Forecast &forecast, const Today &today);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void CursorMoved();

  std::unique_ptr<Ui::CurvesWindow> ui_;
  bool shownBefore_ = false;
  bool hiddenWithParent_ = false;
};

} // namespace kolvex
