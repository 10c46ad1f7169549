#pragma once

// The window of all the people the user remembers: the list, a filter that narrows it as the user
// types, and the buttons that change it. Every change is written to the list's file off the
// user-interface thread, and the window shows the list as written.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QSortFilterProxyModel>
#include <QWidget>

#include "people/people_file.h"
#include "people/person.h"
#include "printer/background_job.h"
#include "ui/people_model.h"

namespace Ui {
class PeopleWindow;
}

namespace kolvex {

class PeopleWindow final : public QWidget {
  Q_OBJECT

public:
  explicit PeopleWindow(QWidget *parent = nullptr);
  ~PeopleWindow() override;

  // Reads the list again from its file.
  void Reload();

private:
  // What a piece of work on the file comes to: the list as it now is, and what to tell the user.
  struct Outcome {
    std::optional<PeopleList> list;
    QString message;
    std::vector<Person> withoutYear; // imported birthdays whose years the user is to give
  };
  static Outcome NotChanged(const PeopleFileError &error);
  void Run(std::function<Outcome()> work);
  void Change(std::function<void(PeopleList &)> change);
  std::optional<Person> Selected() const;
  void AddWithYears(std::vector<Person> people);

  void AddClick();
  void RenameClick();
  void DateClick();
  void RemoveClick();
  void DefaultClick();
  void ImportClick();
  void ExportClick();
  void ForgetClick();

  std::unique_ptr<Ui::PeopleWindow> ui_;
  PeopleModel model_;
  QSortFilterProxyModel proxy_;
  BackgroundJob job_; // last, see BackgroundJob
};

} // namespace kolvex
