#include "ui/biomain.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QShowEvent>
#include <QStyledItemDelegate>

#include "chart/calendar.h"
#include "chart/input_reader.h"
#include "ui/application.h"
#include "ui/look.h"
#include "ui/spoken_cell.h"
#include "ui_biomain.h"

namespace kolvex {

namespace {

// The month list opens on September, for the birth date 17 September 1974 of the edit boxes.
constexpr int DefaultMonthIndex = 8;
constexpr int MonthItemHeight = 13;

// The month list's entries, each of one height whatever the style makes of a list entry.
class MonthItemDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), MonthItemHeight};
  }
};

} // namespace

TForm1::TForm1(const TodayClock &clock, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()) {
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

// Closing the input window, in whatever way, ends the program.
void TForm1::closeEvent(QCloseEvent *event) {
  QMainWindow::closeEvent(event);
  QCoreApplication::quit();
}

} // namespace kolvex
