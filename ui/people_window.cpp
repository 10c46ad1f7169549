#include "ui/people_window.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

#include "chart/birth_input.h"
#include "chart/input_reader.h"
#include "people/people_file.h"
#include "people/people_import.h"
#include "people/vcard.h"
#include "ui/application.h"
#include "ui/people_texts.h"
#include "ui_people_window.h"

namespace kolvex {

namespace {

std::filesystem::path PathOf(const QString &name) {
  return std::filesystem::path(name.toStdU16String());
}

// A name the user types, cleaned as an imported one is; nothing when there is none to keep.
std::optional<std::string> AskName(QWidget *parent, const QString &title, const QString &name) {
  bool accepted = false;
  const QString text = QInputDialog::getText(parent, title, QStringLiteral("Имя:"),
                                             QLineEdit::Normal, name, &accepted);
  if (!accepted) {
    return std::nullopt;
  }
  const ImportRecord record = CheckRecord(0, text.toStdString(), BirthDate{1, 1, 2000});
  if (record.problem != RecordProblem::None) {
    ShowMessage(QString(),
                QStringLiteral("Имя не годится: ") +
                    QString::fromStdString(DescribeProblem(record.problem, record.detail)));
    return std::nullopt;
  }
  return record.person.name;
}

// A birth date typed as 17.09.1974 (or as address books write it) that the chart can take.
std::optional<BirthDate> AskDate(QWidget *parent, const QString &title, const BirthDate &birth) {
  bool accepted = false;
  const QString initial = birth.year == 0 ? QString()
                                          : QStringLiteral("%1.%2.%3")
                                                .arg(birth.day, 2, 10, QLatin1Char('0'))
                                                .arg(birth.month, 2, 10, QLatin1Char('0'))
                                                .arg(birth.year);
  const QString text =
      QInputDialog::getText(parent, title, QStringLiteral("Дата рождения (ДД.ММ.ГГГГ):"),
                            QLineEdit::Normal, initial, &accepted);
  if (!accepted) {
    return std::nullopt;
  }
  const std::optional<BirthDate> read = ReadBirthday(text.trimmed().toStdString());
  if (!read || !IsChartable(*read)) {
    ShowMessage(QString(), QString::fromUtf8(InvalidDataMessage));
    return std::nullopt;
  }
  return read;
}

QString ImportText(const ImportSummary &summary) {
  QString text = QStringLiteral("Добавлено: %1\nУже в списке: %2\nБез дня рождения: %3\n")
                     .arg(summary.added)
                     .arg(summary.alreadyThere)
                     .arg(summary.withoutBirthday);
  if (!summary.withoutYear.empty()) {
    QStringList names;
    for (const Person &person : summary.withoutYear) {
      names << QString::fromStdString(person.name);
    }
    text += QStringLiteral("Без года: ") + names.join(QStringLiteral(", ")) + QLatin1Char('\n');
  }
  text += QStringLiteral("Отклонено: %1").arg(summary.refused.size());
  for (const std::string &refusal : summary.refused) {
    text += QLatin1Char('\n') + QString::fromStdString(refusal);
  }
  return text;
}

// Asks the years of birthdays that came without one, in a table; returns the people given a year
// the chart takes, none when the user skips them all.
std::vector<Person> AskYears(QWidget *parent, std::vector<Person> people) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Годы рождения"));
  auto *layout = new QVBoxLayout(&dialog);
  auto *note = new QLabel(
      QStringLiteral("У этих дней рождения нет года. Впишите годы; люди без года не добавятся."));
  note->setWordWrap(true);
  layout->addWidget(note);
  auto *table = new QTableWidget(static_cast<int>(people.size()), 3);
  table->setAccessibleName(QStringLiteral("Годы рождения"));
  table->setHorizontalHeaderLabels(
      {QStringLiteral("Имя"), QStringLiteral("День рождения"), QStringLiteral("Год")});
  table->verticalHeader()->hide();
  for (int row = 0; row < table->rowCount(); ++row) {
    const Person &person = people[static_cast<std::size_t>(row)];
    for (int column = 0; column < 2; ++column) {
      auto *item = new QTableWidgetItem(
          column == 0 ? QString::fromStdString(person.name)
                      : BirthText(person.birth).section(QLatin1Char(' '), 0, 1));
      item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      table->setItem(row, column, item);
    }
    table->setItem(row, 2, new QTableWidgetItem());
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->setCurrentCell(0, 2);
  layout->addWidget(table);
  dialog.resize(420, 300);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Добавить"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Пропустить"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  std::vector<Person> dated;
  for (int row = 0; row < table->rowCount(); ++row) {
    Person person = people[static_cast<std::size_t>(row)];
    person.birth.year =
        TryStrToInt(table->item(row, 2)->text().trimmed().toStdString()).value_or(0);
    if (IsChartable(person.birth)) {
      dated.push_back(std::move(person));
    }
  }
  return dated;
}

std::optional<std::string> ReadBytes(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return in ? std::optional(std::move(bytes).str()) : std::nullopt;
}

} // namespace

PeopleWindow::PeopleWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::PeopleWindow>()),
      job_(PeopleFileBound) {
  ui_->setupUi(this);
  proxy_.setSourceModel(&model_);
  proxy_.setSortRole(PeopleModel::SortRole);
  proxy_.setFilterKeyColumn(-1);
  proxy_.setFilterCaseSensitivity(Qt::CaseInsensitive);
  ui_->PeopleView->setModel(&proxy_);
  ui_->PeopleView->sortByColumn(-1, Qt::AscendingOrder); // the list's own order until a click

  connect(ui_->FilterEdit, &QLineEdit::textChanged, &proxy_,
          &QSortFilterProxyModel::setFilterFixedString);
  ConnectGuarded(ui_->AddButton, &QPushButton::clicked, this, &PeopleWindow::AddClick);
  ConnectGuarded(ui_->RenameButton, &QPushButton::clicked, this, &PeopleWindow::RenameClick);
  ConnectGuarded(ui_->DateButton, &QPushButton::clicked, this, &PeopleWindow::DateClick);
  ConnectGuarded(ui_->RemoveButton, &QPushButton::clicked, this, &PeopleWindow::RemoveClick);
  ConnectGuarded(ui_->DefaultButton, &QPushButton::clicked, this, &PeopleWindow::DefaultClick);
  ConnectGuarded(ui_->ImportButton, &QPushButton::clicked, this, &PeopleWindow::ImportClick);
  ConnectGuarded(ui_->ExportButton, &QPushButton::clicked, this, &PeopleWindow::ExportClick);
  ConnectGuarded(ui_->ForgetButton, &QPushButton::clicked, this, &PeopleWindow::ForgetClick);
  connect(&job_, &BackgroundJob::Overdue, this, [] { ShowMessage(QString(), DiskHangsText); });
}

PeopleWindow::~PeopleWindow() = default;

void PeopleWindow::Reload() {
  if (job_.Busy()) {
    return;
  }
  job_.Start(
      [file = PeopleFilePath()](std::stop_token) {
        const PeopleFileContent content = ReadPeopleList(file);
        return Outcome{content.list, ListProblem(content, file), {}};
      },
      [this](const Outcome &outcome) {
        model_.SetList(*outcome.list);
        ui_->ListState->setText(outcome.message);
        ui_->ListState->setVisible(!outcome.message.isEmpty());
      });
}

void PeopleWindow::Run(std::function<Outcome()> work) {
  if (job_.Busy()) {
    ShowMessage(QString(), ListBusyText);
    return;
  }
  job_.Start([work = std::move(work)](std::stop_token) { return work(); },
             [this](const Outcome &outcome) {
               RunGuarded([&] {
                 if (outcome.list) {
                   model_.SetList(*outcome.list);
                 }
                 if (!outcome.message.isEmpty()) {
                   ShowMessage(QString(), outcome.message);
                 }
                 if (!outcome.withoutYear.empty()) {
                   AddWithYears(outcome.withoutYear);
                 }
               });
             });
}

PeopleWindow::Outcome PeopleWindow::NotChanged(const PeopleFileError &error) {
  return {std::nullopt,
          QStringLiteral("Список людей не изменён: ") + QString::fromStdString(error.Message()),
          {}};
}

void PeopleWindow::Change(std::function<void(PeopleList &)> change) {
  Run([file = PeopleFilePath(), change = std::move(change)] {
    const PeopleFileContent content = ChangePeopleFile(file, change);
    if (content.error) {
      return NotChanged(*content.error);
    }
    return Outcome{content.list, QString(), {}};
  });
}

// The person of the selected row, found again by name and date in the list as re-read from the
// file, since another program may have changed its order meanwhile.
std::optional<Person> PeopleWindow::Selected() const {
  const QModelIndexList rows = ui_->PeopleView->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    ShowMessage(QString(), QStringLiteral("Выберите человека в списке"));
    return std::nullopt;
  }
  return model_.List().people.at(static_cast<std::size_t>(proxy_.mapToSource(rows[0]).row()));
}

namespace {

// Applies `f` to the person in the list, if they are still there.
template <typename F> std::function<void(PeopleList &)> OnPerson(Person person, F f) {
  return [person = std::move(person), f = std::move(f)](PeopleList &list) {
    const auto found = std::ranges::find(list.people, person);
    if (found != list.people.end()) {
      f(list, static_cast<std::size_t>(found - list.people.begin()));
    }
  };
}

} // namespace

void PeopleWindow::AddWithYears(std::vector<Person> people) {
  std::vector<Person> dated = AskYears(this, std::move(people));
  if (!dated.empty()) {
    Change([dated = std::move(dated)](PeopleList &list) {
      for (const Person &person : dated) {
        Add(list, person);
      }
    });
  }
}

void PeopleWindow::AddClick() {
  const QString title = QStringLiteral("Добавить");
  const std::optional<std::string> name = AskName(this, title, QString());
  if (!name) {
    return;
  }
  const std::optional<BirthDate> birth = AskDate(this, title, {});
  if (birth) {
    Run([file = PeopleFilePath(), person = Person{*name, *birth}] {
      std::optional<std::size_t> added;
      const PeopleFileContent content =
          ChangePeopleFile(file, [&](PeopleList &list) { added = Add(list, person); });
      return content.error ? NotChanged(*content.error)
                           : Outcome{content.list, AddedText(person, content.list, added), {}};
    });
  }
}

void PeopleWindow::RenameClick() {
  const std::optional<Person> person = Selected();
  if (!person) {
    return;
  }
  const std::optional<std::string> name =
      AskName(this, QStringLiteral("Переименовать"), QString::fromStdString(person->name));
  if (!name) {
    return;
  }
  if (std::ranges::any_of(model_.List().people, [&](const Person &other) {
        return other.name == *name && other != *person;
      })) {
    ShowMessage(QString(), QStringLiteral("Это имя уже в списке"));
    return;
  }
  Change(OnPerson(*person,
                  [name = *name](PeopleList &list, std::size_t i) { list.people[i].name = name; }));
}

void PeopleWindow::DateClick() {
  const std::optional<Person> person = Selected();
  if (!person) {
    return;
  }
  const std::optional<BirthDate> birth =
      AskDate(this, QString::fromStdString(person->name), person->birth);
  if (birth) {
    Change(OnPerson(*person, [birth = *birth](PeopleList &list, std::size_t i) {
      list.people[i].birth = birth;
    }));
  }
}

void PeopleWindow::RemoveClick() {
  if (const std::optional<Person> person = Selected()) {
    Change(OnPerson(*person, [](PeopleList &list, std::size_t i) {
      list.people.erase(list.people.begin() + static_cast<std::ptrdiff_t>(i));
      if (list.defaultIndex == i) {
        list.defaultIndex.reset();
      } else if (list.defaultIndex > i) {
        --*list.defaultIndex;
      }
    }));
  }
}

void PeopleWindow::DefaultClick() {
  if (const std::optional<Person> person = Selected()) {
    Change(OnPerson(*person, [](PeopleList &list, std::size_t i) { list.defaultIndex = i; }));
  }
}

void PeopleWindow::ImportClick() {
  const QString name = QFileDialog::getOpenFileName(
      this, QStringLiteral("Импорт"), QString(),
      QStringLiteral("Адресные книги (*.vcf *.vcard *.csv);;Все файлы (*)"));
  if (name.isEmpty()) {
    return;
  }
  Run([file = PeopleFilePath(), name] {
    const std::optional<std::string> bytes = ReadBytes(PathOf(name));
    if (!bytes) {
      return Outcome{std::nullopt, QStringLiteral("Файл не читается: ") + name, {}};
    }
    ImportSummary summary;
    const PeopleFileContent content = ChangePeopleFile(file, [&](PeopleList &list) {
      summary = Import(list, QFileInfo(name).fileName().toStdString(), *bytes);
    });
    if (content.error) {
      return NotChanged(*content.error);
    }
    return Outcome{content.list, ImportText(summary), summary.withoutYear};
  });
}

void PeopleWindow::ExportClick() {
  const QString name =
      QFileDialog::getSaveFileName(this, QStringLiteral("Экспорт"), QStringLiteral("people.vcf"),
                                   QStringLiteral("vCard (*.vcf)"));
  if (name.isEmpty()) {
    return;
  }
  Run([name, bytes = WriteVCards(model_.List())] {
    QSaveFile out(name);
    const bool written = out.open(QIODevice::WriteOnly) &&
                         out.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         out.commit();
    return Outcome{std::nullopt,
                   written ? QString()
                           : QStringLiteral("Файл не записан: %1: %2").arg(name, out.errorString()),
                   {}};
  });
}

void PeopleWindow::ForgetClick() {
  if (QMessageBox::question(this, ApplicationTitle, QStringLiteral("Забыть всех людей списка?")) ==
      QMessageBox::Yes) {
    Change([](PeopleList &list) { list = {}; });
  }
}

} // namespace kolvex
