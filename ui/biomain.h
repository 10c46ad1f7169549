#pragma once

// The input window: the birth date and the forecast year, the show button and the About entry.
// It is the program's main window: closing it ends the program, minimising it minimises the
// program.

#include <memory>

#include <QMainWindow>

#include "ui/today.h"

namespace Ui {
class TForm1;
}

namespace kolvex {

class TForm2;

class TForm1 : public QMainWindow {
  Q_OBJECT

public:
  // Creates the window; FormCreate runs now and reads today's date through `clock`, the only
  // time the program reads it.
  explicit TForm1(const TodayClock &clock = LocalToday, QWidget *parent = nullptr);
  ~TForm1() override;

  // The window that shows each chart computed here; it is created after this window and lives
  // as long as it.
  void SetResultWindow(TForm2 &form2) noexcept { form2_ = &form2; }

  // The program's today, as read at creation.
  const Today &TodayDate() const noexcept { return today_; }

protected:
  void showEvent(QShowEvent *event) override;
  void changeEvent(QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void FormCreate(const TodayClock &clock);
  void Button1Click();
  void MMClick();

  std::unique_ptr<Ui::TForm1> ui_;
  Today today_;
  TForm2 *form2_ = nullptr;
  bool shownBefore_ = false;
  bool resultHiddenWhileMinimised_ = false;
};

} // namespace kolvex
