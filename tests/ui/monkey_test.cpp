// A monkey at the program's windows: thousands of random key presses, typed and pasted texts,
// clicks, drags, wheel turns and mouse moves over both windows, month list changes, and presses of
// every button, a fixed number of them from a fixed seed. Every press of a button is checked
// against what it must do, and at the end the result window must hold the chart of the last
// accepted press, with its year in the caption, and both windows must be enabled.
//
// No printer is reachable (a print server that does not exist, a home without a default
// destination), so a printout spools nothing and ends in the no-printer box; a press while one
// is under way is told that printing is in progress. Message
// boxes are recorded; context menus that open are closed again, after choosing one of their
// entries or none, as a user would.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "chart/calendar.h"
#include "chart/input_reader.h"
#include "chart/year_chart.h"
#include "printer/print_worker.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/biomain.h"
#include "ui/curves_plot.h"
#include "ui/curves_window.h"
#include "ui/grid/chart_grid.h"
#include "ui/shell.h"

namespace kolvex {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RecordedMessageBoxes;

// Each seed sends as many events on every machine, so that a seed replays its run anywhere, however
// slow the machine; a run that has made no step for long is taken to hang.
constexpr int EventsPerSeed = 2500;
constexpr auto HangAfter = std::chrono::seconds(120);

constexpr Today FixedToday{2024, 3, 15};

const Message NoPrinterBox{ApplicationTitle, "There is no default printer currently selected.",
                           MessageIcon::Error};
const Message PrintingBox{ApplicationTitle, "Printing in progress.", MessageIcon::Error};
const Message InvalidDataBox{{}, QString::fromUtf8(InvalidDataMessage), MessageIcon::None};
const Message AboutBox{AboutCaption, AboutText, MessageIcon::None};

// What the offscreen platform says about what it cannot do, over and over.
bool OffscreenNoise(const QString &message) {
  return message.startsWith("This plugin does not support") ||
         message.contains("occurs outside target window");
}

void DropOffscreenNoise(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  if (!OffscreenNoise(message)) {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

QString Caption(int year) {
  return QStringLiteral("Ваши биоритмы на %1 год").arg(year);
}

// Ends the test program when the monkey gets stuck (in a nested event loop, say), naming the seed
// and the step, instead of letting it wait for ever.
class Watchdog {
public:
  explicit Watchdog(unsigned seed)
      : thread_([this, seed] {
          std::unique_lock lock(mutex_);
          for (int seen = -1; !done_.wait_for(lock, HangAfter, [this] { return finished_; });
               seen = step.load()) {
            if (step.load() == seen) {
              std::fprintf(stderr, "monkey: seed %u hangs at step %d (%s)\n", seed, step.load(),
                           action.load());
              std::_Exit(3);
            }
          }
        }) {}
  ~Watchdog() {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog &) = delete;
  Watchdog &operator=(const Watchdog &) = delete;

  std::atomic<int> step{0};
  std::atomic<const char *> action{"starting"};

private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

class MonkeyTest : public ::testing::TestWithParam<unsigned> {
protected:
  void SetUp() override {
    // Before anything looks for a printer: no print server, no default destination.
    ASSERT_TRUE(home_.isValid());
    qputenv("CUPS_SERVER", QDir(home_.path()).filePath("no-cupsd.sock").toUtf8());
    qputenv("HOME", home_.path().toUtf8());
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    QApplication::setQuitOnLastWindowClosed(false);
    qInstallMessageHandler(DropOffscreenNoise);

    form1_.emplace([] { return FixedToday; });
    form2_.emplace();
    ConnectWindows(*form1_, *form2_);
    ConnectOracle();
    qApp->installEventFilter(&menuCloser_);
    form1_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form1_));
  }

  void TearDown() override {
    qApp->removeEventFilter(&menuCloser_);
    qInstallMessageHandler(nullptr);
    form2_.reset();
    form1_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  template <typename Control> Control &Find(QWidget &window, const char *name) {
    auto *control = window.findChild<Control *>(QString::fromLatin1(name));
    EXPECT_NE(nullptr, control) << name;
    return *control;
  }

  // Runs the monkey; returns the number of events sent.
  int Run(unsigned seed);

  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

  // Windows and places.
  std::vector<QWidget *> Windows();
  QWidget &SomeWindow();
  QPoint SomePointIn(QWidget &window);
  QWidget *KeyboardTarget();

  // What the monkey does.
  void MoveMouse();
  void Click();
  void Drag();
  void TurnWheel();
  void PressKey();
  void TypeText(const QString &text);
  void TypeSomething();
  void FillAField();
  void FillTheDate();
  void FillField(int field);
  void ChangeMonth();
  void PressButton(QPushButton &button);
  void PressShow() { PressButton(Find<QPushButton>(*form1_, "Button1")); }
  void PressPrint() { PressButton(Find<QPushButton>(*form2_, "Button2")); }
  void PressClose() { PressButton(Find<QPushButton>(*form2_, "Button1")); }
  void ChooseAbout();
  void HandleWindows();

  QString SomeText();

  // Checking what the buttons do.
  void ConnectOracle();
  std::vector<Message> NewBoxes();
  void ShowPressed();
  void ExpectShown(const YearChart &chart);
  void CheckBetweenEvents();
  void CheckAtTheEnd();

  QTemporaryDir home_;
  std::optional<TForm1> form1_;
  std::optional<TForm2> form2_;
  RecordedMessageBoxes boxes_;
  std::mt19937 random_;
  std::optional<Watchdog> watchdog_;

  std::size_t boxesChecked_ = 0;
  std::optional<BirthInput> lastAccepted_;
  YearChart shownChart_;
  int showPresses_ = 0;
  int acceptedPresses_ = 0;
  int printPresses_ = 0;
  bool printing_ = false;
  int aboutBoxes_ = 0;
  int menusClosed_ = 0;
  int curvesSeen_ = 0; // steps after which the curves window existed

  // Closes every context menu right after it opens (their exec would wait for a person),
  // sometimes choosing one of its entries first; a dialog such an entry opens is cancelled.
  class MenuCloser : public QObject {
  public:
    explicit MenuCloser(MonkeyTest &test) : test_(test) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
      if (auto *dialog = qobject_cast<QDialog *>(watched);
          dialog != nullptr && event->type() == QEvent::Show) {
        QTimer::singleShot(0, dialog, &QDialog::reject);
        return false;
      }
      auto *menu = qobject_cast<QMenu *>(watched);
      if (menu != nullptr && event->type() == QEvent::Show) {
        QList<QAction *> entries;
        for (QAction *action : menu->actions()) {
          if (action->isEnabled() && !action->isSeparator() && action->menu() == nullptr) {
            entries << action;
          }
        }
        QAction *chosen = !entries.isEmpty() && test_.Chance(0.5)
                              ? entries[test_.Pick(static_cast<int>(entries.size()))]
                              : nullptr;
        ++test_.menusClosed_;
        QTimer::singleShot(0, menu, [menu, chosen] {
          // The menu may delete itself, and its entries, when it closes.
          if (chosen != nullptr) {
            chosen->trigger();
          }
          menu->close();
        });
      }
      return false;
    }

  private:
    MonkeyTest &test_;
  };
  MenuCloser menuCloser_{*this};
};

void MonkeyTest::ConnectOracle() {
  // These run after the windows' own handlers, which were connected first.
  QObject::connect(&Find<QPushButton>(*form1_, "Button1"), &QPushButton::clicked, &*form1_,
                   [this] { ShowPressed(); });
  // A press starts a printout, or is refused while one is under way; each printout ends in a box.
  QObject::connect(&Find<QPushButton>(*form2_, "Button2"), &QPushButton::clicked, &*form2_, [this] {
    ++printPresses_;
    EXPECT_EQ(printing_ ? std::vector<Message>{PrintingBox} : std::vector<Message>{}, NewBoxes())
        << "print press";
    printing_ = true;
  });
  QObject::connect(form2_->findChild<PrintWorker *>(), &PrintWorker::Finished, &*form2_, [this] {
    EXPECT_EQ(std::vector<Message>{NoPrinterBox}, NewBoxes()) << "printout";
    printing_ = false;
  });
  QObject::connect(form1_->findChild<QAction *>("AboutItem"), &QAction::triggered, &*form1_,
                   [this] {
                     ++aboutBoxes_;
                     EXPECT_EQ(std::vector<Message>{AboutBox}, NewBoxes()) << "About";
                   });
  // Remembering says at most what the show button would say of the birth fields; the name it
  // then asks for is cancelled, so it writes nothing and says nothing more.
  QObject::connect(form1_->findChild<QAction *>("RememberItem"), &QAction::triggered, &*form1_,
                   [this] { EXPECT_GE(1u, NewBoxes().size()) << "Remember"; });
}

std::vector<Message> MonkeyTest::NewBoxes() {
  std::vector<Message> said(boxes_.shown.begin() + static_cast<std::ptrdiff_t>(boxesChecked_),
                            boxes_.shown.end());
  boxesChecked_ = boxes_.shown.size();
  return said;
}

// The texts of the input window at the press decide what the press must have done.
void MonkeyTest::ShowPressed() {
  ++showPresses_;
  const std::vector<Message> said = NewBoxes();
  const std::string day = Find<QLineEdit>(*form1_, "Edit1").text().toStdString();
  const std::string year = Find<QLineEdit>(*form1_, "Edit3").text().toStdString();
  const std::string forecast = Find<QLineEdit>(*form1_, "Edit4").text().toStdString();
  const int month = Find<QComboBox>(*form1_, "ComboBox1").currentIndex();
  std::optional<BirthInput> input;
  try {
    input = ParseAndCheck(day, month, year, forecast);
  } catch (const EConvertError &error) {
    ASSERT_EQ(1u, said.size()) << "a text that is no number: " << error.what();
    EXPECT_EQ(MessageIcon::Error, said[0].icon);
    EXPECT_EQ(ApplicationTitle.toStdString(), said[0].caption.toStdString());
    EXPECT_TRUE(said[0].text.startsWith(QString::fromUtf8(error.what())))
        << said[0].text.left(200).toStdString();
    return;
  }
  if (!input) {
    EXPECT_EQ(std::vector<Message>{InvalidDataBox}, said);
    return;
  }
  ++acceptedPresses_;
  EXPECT_TRUE(said.empty()) << said.front().text.left(200).toStdString();
  lastAccepted_ = input;
  shownChart_ = YearChart::Compute(*input);
  ExpectShown(shownChart_);
  EXPECT_EQ(Caption(input->forecastYear).toStdString(), form2_->windowTitle().toStdString());
  EXPECT_TRUE(form2_->isVisible());
}

void MonkeyTest::ExpectShown(const YearChart &chart) {
  EXPECT_TRUE(chart == form2_->Chart())
      << "the result window holds the chart of " << form2_->Chart().Year() << ", not that of "
      << chart.Year() << " (or another chart of that year)";
}

void MonkeyTest::CheckBetweenEvents() {
  EXPECT_EQ(boxes_.shown.size(), boxesChecked_)
      << "a box no press explains: " << boxes_.shown.back().text.left(200).toStdString();
  boxesChecked_ = boxes_.shown.size();
  EXPECT_TRUE(form1_->isEnabled());
  EXPECT_TRUE(form2_->isEnabled());
  const auto &months = Find<QComboBox>(*form1_, "ComboBox1");
  EXPECT_EQ(12, months.count());
  EXPECT_TRUE(months.currentIndex() >= 0 && months.currentIndex() < 12);
  const GridCell current = Find<ChartGrid>(*form2_, "StringGrid1").CurrentCell();
  EXPECT_TRUE(current.column >= 1 && current.column <= 12 && current.row >= 1 && current.row <= 31)
      << current.column << ", " << current.row;
  ExpectShown(shownChart_);
  // The curves window, once made, shows a month of the chart on display.
  if (const auto *curves = form2_->findChild<CurvesWindow *>()) {
    ++curvesSeen_;
    const CurvesPlot &plot = *curves->findChild<CurvesPlot *>("Plot");
    EXPECT_TRUE(plot.Chart() == shownChart_);
    const int day = plot.Day();
    EXPECT_TRUE(day >= 1 && day <= MonthLength(plot.Month(), plot.Year()));
  }
}

void MonkeyTest::CheckAtTheEnd() {
  EXPECT_TRUE(QTest::qWaitFor([this] { return !printing_; })) << "a printout never ended";
  EXPECT_TRUE(form1_->isEnabled());
  EXPECT_TRUE(form2_->isEnabled());
  if (lastAccepted_) {
    ExpectShown(YearChart::Compute(*lastAccepted_));
    EXPECT_EQ(Caption(lastAccepted_->forecastYear).toStdString(),
              form2_->windowTitle().toStdString());
  } else {
    ExpectShown(YearChart());
    EXPECT_EQ("Ваши биоритмы", form2_->windowTitle().toStdString());
  }
}

std::vector<QWidget *> MonkeyTest::Windows() {
  std::vector<QWidget *> windows;
  for (QWidget *window : {static_cast<QWidget *>(&*form1_), static_cast<QWidget *>(&*form2_),
                          static_cast<QWidget *>(form2_->findChild<CurvesWindow *>())}) {
    if (window != nullptr && window->isVisible() && !window->isMinimized()) {
      windows.push_back(window);
    }
  }
  return windows;
}

// A popup that is open takes the mouse; otherwise one of the windows on the screen.
QWidget &MonkeyTest::SomeWindow() {
  if (QWidget *popup = QApplication::activePopupWidget(); popup != nullptr && Chance(0.7)) {
    return *popup;
  }
  const std::vector<QWidget *> windows = Windows();
  if (windows.empty()) {
    return *form1_;
  }
  return *windows[Pick(static_cast<int>(windows.size()))];
}

// Mostly a point on one of the window's controls (the grid's cells, headers and scroll bars
// among them), else anywhere in the window, its background included.
QPoint MonkeyTest::SomePointIn(QWidget &window) {
  QList<QWidget *> controls;
  for (QWidget *control : window.findChildren<QWidget *>()) {
    if (control->isVisible() && !control->isWindow() && control->width() > 0 &&
        control->height() > 0) {
      controls << control;
    }
  }
  if (!controls.isEmpty() && Chance(0.75)) {
    QWidget &control = *controls[Pick(static_cast<int>(controls.size()))];
    return control.mapTo(&window, QPoint(Pick(control.width()), Pick(control.height())));
  }
  return {Pick(std::max(1, window.width())), Pick(std::max(1, window.height()))};
}

QWidget *MonkeyTest::KeyboardTarget() {
  if (QWidget *popup = QApplication::activePopupWidget()) {
    return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
  }
  if (QWidget *focus = QApplication::focusWidget()) {
    return focus;
  }
  return QApplication::activeWindow();
}

void MonkeyTest::MoveMouse() {
  QWidget &window = SomeWindow();
  for (int moves = 1 + Pick(4); moves > 0; --moves) {
    QTest::mouseMove(window.windowHandle(), SomePointIn(window));
  }
}

void MonkeyTest::Click() {
  QWidget &window = SomeWindow();
  const QPoint point = SomePointIn(window);
  static constexpr std::array modifiers{
      Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{},
      Qt::KeyboardModifiers{Qt::ShiftModifier}, Qt::KeyboardModifiers{Qt::ControlModifier}};
  const Qt::KeyboardModifiers modifier = modifiers[Pick(modifiers.size())];
  const int kind = Pick(10);
  if (kind < 7) {
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, modifier, point);
  } else if (kind < 8) {
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, modifier, point);
  } else {
    QTest::mouseClick(window.windowHandle(), kind == 8 ? Qt::RightButton : Qt::MiddleButton,
                      modifier, point);
  }
}

// Press, a few moves (beyond the window too, as a held button allows), now and then a pause for
// the grid to scroll on its own, release.
void MonkeyTest::Drag() {
  // A popup may close, and go, on the press.
  const QPointer<QWidget> window = &SomeWindow();
  const QPointer<QWindow> handle = window->windowHandle();
  QTest::mousePress(handle, Qt::LeftButton, {}, SomePointIn(*window));
  QPoint point;
  for (int moves = 1 + Pick(6); moves > 0 && handle && window; --moves) {
    point = Chance(0.7)
                ? SomePointIn(*window)
                : QPoint(Pick(window->width() + 120) - 60, Pick(window->height() + 120) - 60);
    QTest::mouseMove(handle, point);
    if (Chance(0.02)) {
      QTest::qWait(60 + Pick(100));
    }
  }
  QTest::mouseRelease(handle ? handle.data() : form1_->windowHandle(), Qt::LeftButton, {}, point);
}

void MonkeyTest::TurnWheel() {
  QWidget &window = SomeWindow();
  const QPoint point = SomePointIn(window);
  QWidget *under = window.childAt(point);
  QWidget &target = under != nullptr ? *under : window;
  const QPoint local = target.mapFrom(&window, point);
  const QPoint delta(0, Chance(0.5) ? 120 : -120);
  QWheelEvent wheel(local, target.mapToGlobal(local), {}, Chance(0.2) ? delta.transposed() : delta,
                    Qt::NoButton, Chance(0.2) ? Qt::ShiftModifier : Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&target, &wheel);
}

void MonkeyTest::PressKey() {
  static constexpr std::array keys{
      Qt::Key_Return,   Qt::Key_Enter,  Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_Backtab,
      Qt::Key_Left,     Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,   Qt::Key_PageUp,
      Qt::Key_PageDown, Qt::Key_Home,   Qt::Key_End,    Qt::Key_Space,  Qt::Key_Backspace,
      Qt::Key_Delete,   Qt::Key_Insert, Qt::Key_F1,     Qt::Key_F4,     Qt::Key_Menu,
      Qt::Key_A,        Qt::Key_C,      Qt::Key_V,      Qt::Key_X,      Qt::Key_Z,
      Qt::Key_1,        Qt::Key_Minus,  Qt::Key_Plus,   Qt::Key_Dollar, Qt::Key_Alt};
  static constexpr std::array modifiers{
      Qt::KeyboardModifiers{},
      Qt::KeyboardModifiers{},
      Qt::KeyboardModifiers{},
      Qt::KeyboardModifiers{Qt::ShiftModifier},
      Qt::KeyboardModifiers{Qt::ShiftModifier},
      Qt::KeyboardModifiers{Qt::ControlModifier},
      Qt::KeyboardModifiers{Qt::ControlModifier | Qt::ShiftModifier},
      Qt::KeyboardModifiers{Qt::AltModifier}};
  QWindow *window = QGuiApplication::focusWindow();
  if (window == nullptr) {
    window = SomeWindow().windowHandle();
  }
  QTest::keyClick(window, keys[Pick(keys.size())], modifiers[Pick(modifiers.size())]);
}

// Types `text` key by key into whatever has the keyboard.
void MonkeyTest::TypeText(const QString &text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    QString typed(text[i]);
    if (text[i].isHighSurrogate() && i + 1 < text.size()) {
      typed += text[++i];
    }
    const char16_t unit = typed[0].unicode();
    const Qt::Key key =
        unit < 0x80 ? static_cast<Qt::Key>(QChar(unit).toUpper().unicode()) : Qt::Key_unknown;
    QWidget *target = KeyboardTarget();
    if (target == nullptr) {
      return;
    }
    QTest::sendKeyEvent(QTest::Click, target, key, typed, Qt::NoModifier);
  }
}

QString MonkeyTest::SomeText() {
  static const QStringList odd{"январь", "год", "Ё",   "ф1",   "١٢", "１２", "½",
                               "𝟙9",     "\t1", "1e3", "0x1F", "$",  "$-1",  "$g",
                               "+",      "-",   "--1", "+-2",  " ",  "1 2",  "٣"};
  static const QStringList edges{"0",          "-0",        "1",          "29",
                                 "30",         "31",        "32",         "2099",
                                 "2100",       "1900",      "2147483647", "-2147483648",
                                 "2147483648", "$7FFFFFFF", "$80000000",  "$FFFFFFFF",
                                 "$100000000", "$0",        "+31",        " 17"};
  const auto digits = [this](int count) {
    QString text;
    for (int i = 0; i < count; ++i) {
      text += QChar('0' + Pick(10));
    }
    return text;
  };
  switch (Pick(9)) {
  case 0:
    return digits(1 + Pick(4));
  case 1:
    return QString(Chance(0.5) ? '+' : '-') + digits(1 + Pick(4));
  case 2: {
    QString hex = "$";
    for (int i = Pick(10); i > 0; --i) {
      hex += QStringLiteral("0123456789abcdefABCDEF")[Pick(22)];
    }
    return hex;
  }
  case 3:
    return QString(Pick(4), ' ') + digits(1 + Pick(3)) + QString(Pick(2), ' ');
  case 4:
    return odd[Pick(static_cast<int>(odd.size()))];
  case 5:
    return edges[Pick(static_cast<int>(edges.size()))];
  case 6:
    return digits(10 + Pick(60));
  default: {
    // A long text of everything.
    QString text;
    for (int i = 100 + Pick(300); i > 0; --i) {
      text += QStringLiteral("0123456789 +-$AaЯя")[Pick(18)];
    }
    return text;
  }
  }
}

void MonkeyTest::TypeSomething() {
  if (KeyboardTarget() == nullptr) {
    return;
  }
  if (Chance(0.4)) {
    QTest::sendKeyEvent(QTest::Click, KeyboardTarget(), Qt::Key_A, QString(), Qt::ControlModifier);
  }
  if (Chance(0.1)) {
    // A very long text, pasted.
    QString text(1000 + Pick(9000), QChar('0' + Pick(10)));
    if (Chance(0.5)) {
      text[Pick(static_cast<int>(text.size()))] = QChar(u'Ж');
    }
    QGuiApplication::clipboard()->setText(text);
    if (QWidget *target = KeyboardTarget()) {
      QTest::sendKeyEvent(QTest::Click, target, Qt::Key_V, QString(), Qt::ControlModifier);
    }
    return;
  }
  TypeText(SomeText());
}

// Clicks a field of the input window and types a number that may well be valid there.
void MonkeyTest::FillAField() {
  FillField(Pick(3));
}

void MonkeyTest::FillTheDate() {
  for (int field = 0; field < 3; ++field) {
    FillField(field);
  }
}

void MonkeyTest::FillField(int field) {
  static constexpr const char *fields[] = {"Edit1", "Edit3", "Edit4"};
  auto &edit = Find<QLineEdit>(*form1_, fields[field]);
  if (!edit.isVisible() || form1_->isMinimized()) {
    return;
  }
  QTest::mouseClick(form1_->windowHandle(), Qt::LeftButton, {},
                    edit.mapTo(&*form1_, edit.rect().center()));
  if (QWidget *target = KeyboardTarget()) {
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key_A, QString(), Qt::ControlModifier);
  }
  int number = field == 0 ? 1 + Pick(31) : 1900 + Pick(130);
  if (field == 2) {
    // Mostly a year from the birth year on.
    const std::optional<int> year =
        TryStrToInt(Find<QLineEdit>(*form1_, "Edit3").text().toStdString());
    number = year && *year >= 1 && *year <= 2099 && Chance(0.9) ? *year + Pick(2100 - *year)
                                                                : 1990 + Pick(110);
  }
  TypeText(QString::number(number));
}

void MonkeyTest::ChangeMonth() {
  auto &months = Find<QComboBox>(*form1_, "ComboBox1");
  if (!months.isVisible() || form1_->isMinimized()) {
    return;
  }
  // Open the list; the next events may pick from it, type in it or close it.
  QTest::mouseClick(form1_->windowHandle(), Qt::LeftButton, {},
                    months.mapTo(&*form1_, months.rect().center()));
  if (QWidget *popup = QApplication::activePopupWidget(); popup != nullptr && Chance(0.6)) {
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, SomePointIn(*popup));
  }
}

void MonkeyTest::PressButton(QPushButton &button) {
  QWidget &window = *button.window();
  if (!button.isVisible() || window.isMinimized()) {
    return;
  }
  if (Chance(0.8)) {
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                      button.mapTo(&window, QPoint(Pick(button.width()), Pick(button.height()))));
  } else {
    // By keyboard: it has the focus, then Space or Enter.
    window.activateWindow();
    button.setFocus(Qt::TabFocusReason);
    QTest::keyClick(window.windowHandle(), Chance(0.5) ? Qt::Key_Space : Qt::Key_Return);
  }
}

void MonkeyTest::ChooseAbout() {
  auto &menu = Find<QMenuBar>(*form1_, "MainMenu1");
  QAction *about = form1_->findChild<QAction *>("AboutItem");
  if (!menu.isVisible() || form1_->isMinimized() || about == nullptr) {
    return;
  }
  QTest::mouseClick(form1_->windowHandle(), Qt::LeftButton, {},
                    menu.mapTo(&*form1_, menu.actionGeometry(about).center()));
}

// What the desktop does: activate a window, minimise and restore the input window (and the
// program with it), close the result window with its close box.
void MonkeyTest::HandleWindows() {
  switch (Pick(4)) {
  case 0:
    if (form1_->isMinimized()) {
      form1_->showNormal();
    } else {
      form1_->showMinimized();
    }
    break;
  case 1:
    form2_->close();
    if (auto *curves = form2_->findChild<CurvesWindow *>(); curves != nullptr && Chance(0.5)) {
      curves->close();
    }
    break;
  default:
    if (QWidget &window = SomeWindow(); &window != QApplication::activePopupWidget()) {
      window.activateWindow();
    }
  }
}

int MonkeyTest::Run(unsigned seed) {
  random_.seed(seed);
  watchdog_.emplace(seed);
  struct Action {
    const char *name;
    int weight;
    void (MonkeyTest::*act)();
  };
  const Action actions[] = {
      {"move the mouse", 20, &MonkeyTest::MoveMouse},
      {"click", 16, &MonkeyTest::Click},
      {"drag", 6, &MonkeyTest::Drag},
      {"turn the wheel", 3, &MonkeyTest::TurnWheel},
      {"press a key", 22, &MonkeyTest::PressKey},
      {"type", 10, &MonkeyTest::TypeSomething},
      {"fill a field", 6, &MonkeyTest::FillAField},
      {"fill the date", 3, &MonkeyTest::FillTheDate},
      {"change the month", 3, &MonkeyTest::ChangeMonth},
      {"press show", 7, &MonkeyTest::PressShow},
      {"press print", 2, &MonkeyTest::PressPrint},
      {"press close", 1, &MonkeyTest::PressClose},
      {"choose About", 1, &MonkeyTest::ChooseAbout},
      {"handle the windows", 1, &MonkeyTest::HandleWindows},
  };
  std::vector<int> weights;
  for (const Action &action : actions) {
    weights.push_back(action.weight);
  }
  std::discrete_distribution<int> choose(weights.begin(), weights.end());

  int step = 0;
  for (; step < EventsPerSeed && !::testing::Test::HasFatalFailure(); ++step) {
    const Action &action = actions[choose(random_)];
    watchdog_->step = step;
    watchdog_->action = action.name;
    SCOPED_TRACE(::testing::Message()
                 << "seed " << seed << ", step " << step << ": " << action.name);
    (this->*action.act)();
    QCoreApplication::processEvents();
    CheckBetweenEvents();
    if (::testing::Test::HasFailure()) {
      break;
    }
  }
  // Close any popup, and let the menus and dialogs that close on a timer go.
  if (QWidget *popup = QApplication::activePopupWidget()) {
    popup->close();
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(QTest::qWaitFor([] {
    return QApplication::activePopupWidget() == nullptr &&
           QApplication::activeModalWidget() == nullptr;
  }));
  CheckBetweenEvents();
  watchdog_.reset();
  return step;
}

TEST_P(MonkeyTest, LeavesBothWindowsConsistent) {
  const Clock::time_point start = Clock::now();
  const int events = Run(GetParam());
  CheckAtTheEnd();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  std::printf("monkey seed %u: %d events in %lld ms; show pressed %d times (%d accepted), print "
              "%d, About %d, context menus %d, steps with curves %d\n",
              GetParam(), events, static_cast<long long>(elapsed.count()), showPresses_,
              acceptedPresses_, printPresses_, aboutBoxes_, menusClosed_, curvesSeen_);
  EXPECT_EQ(EventsPerSeed, events) << "ended early";
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyTest, ::testing::Values(20261208u, 7u, 1974u));

} // namespace
} // namespace kolvex
