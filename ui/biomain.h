#pragma once

// The input window: the birth date and the forecast year, the show button and the About entry.
// It is the program's main window: closing it ends the program.

#include <memory>

#include <QMainWindow>

#include "chart/forecast.h"
#include "ui/today.h"

namespace Ui {
class TForm1;
}

namespace kolvex {

class TForm1 : public QMainWindow {
  Q_OBJECT

public:
  // Creates the window; FormCreate runs now and reads today's date through `clock`, the only
  // time the program reads it.
  explicit TForm1(const TodayClock &clock = LocalToday, QWidget *parent = nullptr);
  ~TForm1() override;

signals:
  // A press of the show button computed `forecast`, to be shown with the program's today.
  void ChartComputed(const kolvex::Forecast &forecast, const kolvex::Today &today);

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void FormCreate(const TodayClock &clock);
  void Button1Click();
  void MMClick();

  std::unique_ptr<Ui::TForm1> ui_;
  Today today_;
};

} // namespace kolvex
