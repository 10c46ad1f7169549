#pragma once

// The result window: the year chart in a grid, the day under the pointer, print and close.

#include <memory>

#include <QWidget>

#include "chart/forecast.h"
#include "ui/grid/hit_test.h"
#include "ui/pdf_saving.h"
#include "ui/today.h"

class QAction;
class QLabel;
class QMenu;

namespace Ui {
class TForm2;
}

namespace kolvex {

class CurvesWindow;
class PrintWorker;

class TForm2 : public QWidget {
  Q_OBJECT

public:
  explicit TForm2(QWidget *parent = nullptr);
  ~TForm2() override;

  // Takes the forecast's chart and its year, moves the current cell to today when the chart is
  // for today's year, sets the caption and shows the window.
  void PresentChart(const Forecast &forecast, const Today &today);

  // The chart on display, read back from the grid.
  const YearChart &Chart() const;

protected:
  void mouseMoveEvent(QMouseEvent *event) override;

private:
  void StringGrid1MouseMove(GridCell cell);
  // The legend and date lines for a cell, which the pointer or the keyboard chose.
  void DescribeInLines(GridCell cell);
  void FormMouseMove();
  void Button1Click();
  void Button2Click();
  // The grid's context menu asked for by the pointer, or by the keyboard, at `point` of the grid's
  // viewport.
  void MenuAtPointer(QPoint point);
  void MenuAtCurrentCell(QPoint point);
  // The grid's context menu at `point` of its viewport, about `cell`.
  void PopupGridMenu(QPoint point, GridCell cell);
  void SavePdf();
  // Shows the month of `cell`'s column in the curves window, the cursor on its day.
  void ShowCurves(GridCell cell);

  // Sets a label's text and fits the label to it on one line; an empty label is one space wide.
  static void SetLabelText(QLabel &label, const QString &text);

  std::unique_ptr<Ui::TForm2> ui_;
  PrintWorker *printWorker_; // a child of the window
  QMenu *gridMenu_;
  PdfSaving *pdfSaving_;
  QAction *curvesItem_;
  GridCell menuCell_;      // where the grid's context menu was asked for
  CurvesWindow *curves_{}; // made on first use, a child of the window
  Forecast forecast_;      // the one whose chart the grid shows, for the curves window
  Today today_;
};

} // namespace kolvex
