#pragma once

// The input window: the birth date and the forecast year, the show button, the About entry and
// the menu of the people the user remembers. It is the program's main window: closing it ends the
// program.

#include <memory>

#include <QMainWindow>

#include "chart/forecast.h"
#include "people/person.h"
#include "printer/background_job.h"
#include "ui/today.h"

namespace Ui {
class TForm1;
}

namespace kolvex {

class PeopleWindow;

class TForm1 : public QMainWindow {
  Q_OBJECT

public:
  // Creates the window; FormCreate runs now and reads today's date through `clock`, the only
  // time the program reads it.
  explicit TForm1(const TodayClock &clock = LocalToday, QWidget *parent = nullptr);
  ~TForm1() override;

  // Reads the list of people off this thread and puts the default person's birth date in the
  // fields, unless the user has set them meanwhile. Call once the window has been painted.
  void ReadDefaultPerson();

signals:
  // A press of the show button computed `forecast`, to be shown with the program's today.
  void ChartComputed(const kolvex::Forecast &forecast, const kolvex::Today &today);

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void FormCreate(const TodayClock &clock);
  void Button1Click();
  void MMClick();
  void FillPeopleMenu();
  void ChoosePerson(const Person &person);
  void RememberClick();
  void AllPeopleClick();
  void ShowBirth(const BirthDate &birth);

  std::unique_ptr<Ui::TForm1> ui_;
  Today today_;
  bool birthSetByUser_ = false; // typed, or a person chosen: the default person comes too late
  QString listProblem_;         // why the list read last cannot be changed
  bool writing_ = false;        // the job under way writes the list
  std::unique_ptr<PeopleWindow> peopleWindow_; // made when first asked for
  BackgroundJob peopleJob_; // reads and writes of the list; last, see BackgroundJob
};

} // namespace kolvex
