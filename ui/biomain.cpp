#include "ui/biomain.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QShowEvent>
#include <QStyledItemDelegate>

#include "chart/calendar.h"
#include "chart/input_reader.h"
#include "people/people_file.h"
#include "people/people_import.h"
#include "ui/application.h"
#include "ui/look.h"
#include "ui/people_texts.h"
#include "ui/people_window.h"
#include "ui/spoken_cell.h"
#include "ui_biomain.h"

namespace kolvex {

namespace {

// The month list opens on September, for the birth date 17 September 1974 of the edit boxes.
constexpr int DefaultMonthIndex = 8;
constexpr int MonthItemHeight = 13;
// A menu of the people is at most a screenful; the rest are in the window of all people.
constexpr std::size_t MaxPeopleInMenu = 25;

// The month list's entries, each of one height whatever the style makes of a list entry.
class MonthItemDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), MonthItemHeight};
  }
};

// The people of the menu: the default first, then the others in the list's order.
std::vector<Person> MenuOrder(const PeopleList &list) {
  std::vector<Person> people;
  if (list.defaultIndex) {
    people.push_back(list.people[*list.defaultIndex]);
  }
  for (std::size_t i = 0; i < list.people.size() && people.size() < MaxPeopleInMenu; ++i) {
    if (i != list.defaultIndex) {
      people.push_back(list.people[i]);
    }
  }
  return people;
}

struct Remembered {
  PeopleFileContent content;
  std::optional<std::size_t> added; // into content.list
};

QString RememberedText(const Person &person, const Remembered &result) {
  if (result.content.error) {
    return QStringLiteral("Никто не запомнен: ") +
           QString::fromStdString(result.content.error->Message());
  }
  return AddedText(person, result.content.list, result.added);
}

} // namespace

TForm1::TForm1(const TodayClock &clock, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()), peopleJob_(PeopleFileBound) {
  ui_->setupUi(this);

  // The window's font; the menu bar keeps the desktop's menu font.
  ui_->ClientArea->setFont(SansSerifFont(11));
  // A label grows to the right when its text needs more room in the font at hand.
  for (QLabel *label : {ui_->Label1, ui_->Label2, ui_->Label3}) {
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
  }

  ui_->ComboBox1->setItemDelegate(new MonthItemDelegate(ui_->ComboBox1));
  for (const std::string_view name : MonthNamesGenitive) {
    ui_->ComboBox1->addItem(QString::fromUtf8(name));
  }
  SpeakCurrentItem(*ui_->ComboBox1); // Qt's list tells a screen reader nothing of its month

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  UseFixedFrame(*this);
  CentreWhenFirstShown(*this);

  ConnectGuarded(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  ConnectGuarded(ui_->AboutItem, &QAction::triggered, this, &TForm1::MMClick);
  ConnectGuarded(ui_->PeopleMenu, &QMenu::aboutToShow, this, &TForm1::FillPeopleMenu);
  ConnectGuarded(ui_->RememberItem, &QAction::triggered, this, &TForm1::RememberClick);
  ConnectGuarded(ui_->AllPeopleItem, &QAction::triggered, this, &TForm1::AllPeopleClick);
  const auto setByUser = [this] { birthSetByUser_ = true; };
  connect(ui_->Edit1, &QLineEdit::textEdited, this, setByUser);
  connect(ui_->Edit3, &QLineEdit::textEdited, this, setByUser);
  connect(ui_->ComboBox1, &QComboBox::activated, this, setByUser);
  connect(&peopleJob_, &BackgroundJob::Overdue, this, [this] {
    if (writing_) {
      ShowMessage(QString(), DiskHangsText);
    }
  });

  ui_->Edit1->setFocus();
  RunGuarded([this, &clock] { FormCreate(clock); });
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(const TodayClock &clock) {
  ui_->ComboBox1->setCurrentIndex(DefaultMonthIndex);
  today_ = clock();
  ui_->Edit4->setText(QString::number(today_.year));
}

void TForm1::Button1Click() {
  const std::optional<BirthInput> input =
      ParseAndCheck(ui_->Edit1->text().toStdString(), ui_->ComboBox1->currentIndex(),
                    ui_->Edit3->text().toStdString(), ui_->Edit4->text().toStdString());
  if (!input) {
    ShowMessage(QString(), QString::fromUtf8(InvalidDataMessage));
    return;
  }
  emit ChartComputed(Forecast::Of(*input), today_);
}

void TForm1::MMClick() {
  ShowMessage(AboutCaption, AboutText);
}

void TForm1::ReadDefaultPerson() {
  if (peopleJob_.Busy()) {
    return;
  }
  peopleJob_.Start([file = PeopleFilePath()](std::stop_token) { return ReadPeopleList(file); },
                   [this](const PeopleFileContent &content) {
                     const PeopleList &list = content.list;
                     if (!birthSetByUser_ && list.defaultIndex) {
                       ShowBirth(list.people[*list.defaultIndex].birth);
                     }
                   });
}

// Read here, not off this thread: the menu must hold its entries as it opens, and the file is
// small.
void TForm1::FillPeopleMenu() {
  QMenu &menu = *ui_->PeopleMenu;
  menu.clear();
  const std::filesystem::path file = PeopleFilePath();
  const PeopleFileContent content = ReadPeopleList(file);
  listProblem_ = ListProblem(content, file);
  if (!listProblem_.isEmpty()) {
    menu.addAction(listProblem_)->setEnabled(false);
  } else {
    for (const Person &person : MenuOrder(content.list)) {
      ConnectGuarded(menu.addAction(MenuEntryText(person)), &QAction::triggered, this,
                     [this, person] { ChoosePerson(person); });
    }
  }
  menu.addSeparator();
  menu.addAction(ui_->RememberItem);
  menu.addAction(ui_->AllPeopleItem);
}

void TForm1::AllPeopleClick() {
  if (peopleWindow_ == nullptr) {
    peopleWindow_ = std::make_unique<PeopleWindow>();
  }
  peopleWindow_->Reload();
  peopleWindow_->show();
  peopleWindow_->raise();
  peopleWindow_->activateWindow();
}

void TForm1::ChoosePerson(const Person &person) {
  ShowBirth(person.birth);
  birthSetByUser_ = true;
}

void TForm1::ShowBirth(const BirthDate &birth) {
  ui_->Edit1->setText(QString::number(birth.day));
  ui_->ComboBox1->setCurrentIndex(birth.month - 1);
  ui_->Edit3->setText(QString::number(birth.year));
}

void TForm1::RememberClick() {
  if (!listProblem_.isEmpty()) {
    ShowMessage(QString(), listProblem_);
    return;
  }
  const std::filesystem::path file = PeopleFilePath();
  if (file.empty()) {
    ShowMessage(QString(), QStringLiteral("Система не называет папку для списка людей"));
    return;
  }
  // Read as the show button reads them, year first: a text that is no integer ends here with
  // the same error.
  const int year = StrToInt(ui_->Edit3->text().toStdString());
  const int day = StrToInt(ui_->Edit1->text().toStdString());
  const BirthDate birth{day, ui_->ComboBox1->currentIndex() + 1, year};
  if (!IsChartable(birth)) {
    ShowMessage(QString(), QString::fromUtf8(InvalidDataMessage));
    return;
  }
  bool accepted = false;
  const QString name = QInputDialog::getText(
      this, QStringLiteral("Запомнить"), QStringLiteral("Чья это дата, %1?").arg(BirthText(birth)),
      QLineEdit::Normal, QString(), &accepted);
  if (!accepted) {
    return;
  }
  const ImportRecord record = CheckRecord(0, name.toStdString(), birth);
  if (record.problem != RecordProblem::None) {
    ShowMessage(QString(),
                QStringLiteral("Никто не запомнен: ") +
                    QString::fromStdString(DescribeProblem(record.problem, record.detail)));
    return;
  }
  if (peopleJob_.Busy()) {
    ShowMessage(QString(), ListBusyText);
    return;
  }
  writing_ = true;
  peopleJob_.Start(
      [file, person = record.person](std::stop_token) {
        Remembered result;
        result.content =
            ChangePeopleFile(file, [&](PeopleList &list) { result.added = Add(list, person); });
        return result;
      },
      [this, person = record.person](const Remembered &result) {
        writing_ = false;
        RunGuarded([&] { ShowMessage(QString(), RememberedText(person, result)); });
      });
}

// Closing the input window, in whatever way, ends the program.
void TForm1::closeEvent(QCloseEvent *event) {
  QMainWindow::closeEvent(event);
  QCoreApplication::quit();
}

} // namespace kolvex
