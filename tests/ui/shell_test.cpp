// The common error display, the program's own boxes and the event hooks, on plain windows.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/ui/recorded_message_boxes.h"
#include "ui/application.h"
#include "ui/on_event.h"

namespace kolvex {
namespace {

using testing::RecordedMessageBoxes;

void Fail(const std::string &message) {
  RunGuarded([&] { throw std::runtime_error(message); });
}

TEST(ShowError, AddsAFullStopAfterALastCharacterAboveTheFullStop) {
  struct Case {
    std::string message;
    QString shown;
  };
  const Case cases[] = {
      {"'x' is not a valid integer value", "'x' is not a valid integer value."},
      {"Ошибка печати", "Ошибка печати."},
      {"Ends with a full stop.", "Ends with a full stop."},
      {"Slash/", "Slash/."},  // '/' comes after '.'
      {"Hyphen-", "Hyphen-"}, // '-' comes before '.'
      {"Ends in space ", "Ends in space "},
      {"Question?", "Question?."},
      {"", ""},
  };
  for (const Case &c : cases) {
    RecordedMessageBoxes boxes;
    Fail(c.message);
    ASSERT_EQ(1u, boxes.shown.size()) << c.message;
    EXPECT_EQ((Message{QStringLiteral("Kolvex v2.03"), c.shown, MessageIcon::Error}),
              boxes.shown[0]);
  }
}

// Two windows of the program, each with an edit box, and a third that is never shown.
class ErrorDisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (QWidget *window : {&first, &second}) {
      auto *layout = new QVBoxLayout(window);
      layout->addWidget(new QLineEdit(window));
      layout->addWidget(new QLineEdit(window));
      window->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
  }

  void Activate(QWidget &window) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  QLineEdit *LastEdit(QWidget &window) { return window.findChildren<QLineEdit *>().back(); }

  QWidget first;
  QWidget second;
  QWidget hidden;
  RecordedMessageBoxes boxes;
};

TEST_F(ErrorDisplayTest, DisablesTheVisibleWindowsWhileTheBoxIsOpen) {
  bool firstEnabled = true;
  bool secondEnabled = true;
  bool hiddenEnabled = false;
  boxes.whileOpen = [&](const Message &) {
    firstEnabled = first.isEnabled();
    secondEnabled = second.isEnabled();
    hiddenEnabled = hidden.isEnabled();
  };
  Fail("boom");
  ASSERT_EQ(1u, boxes.shown.size());
  EXPECT_FALSE(firstEnabled);
  EXPECT_FALSE(secondEnabled);
  EXPECT_TRUE(hiddenEnabled);
  EXPECT_TRUE(first.isEnabled());
  EXPECT_TRUE(second.isEnabled());
}

TEST_F(ErrorDisplayTest, GivesBackTheActiveWindowAndItsFocus) {
  // The box takes the activation while it is open, as a real one does.
  QWidget box;
  boxes.whileOpen = [&](const Message &) {
    box.show();
    box.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
    box.hide();
  };
  for (QWidget *window : {&first, &second}) {
    Activate(*window);
    LastEdit(*window)->setFocus();
    ASSERT_EQ(LastEdit(*window), QApplication::focusWidget());
    Fail("boom");
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(window, QApplication::activeWindow());
    EXPECT_EQ(LastEdit(*window), QApplication::focusWidget());
    EXPECT_EQ(LastEdit(first), first.focusWidget());
  }
}

TEST_F(ErrorDisplayTest, LeavesAWindowDisabledThatWasDisabledBefore) {
  second.setEnabled(false);
  Fail("boom");
  EXPECT_TRUE(first.isEnabled());
  EXPECT_FALSE(second.isEnabled());
}

// What the screen showed of a box, read while it was open.
struct SeenBox {
  QString caption;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Shows the box on the (offscreen) screen and presses its OK button from the event loop.
SeenBox ShowOnScreen(const Message &message) {
  SeenBox seen;
  QTimer::singleShot(0, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "no message box open";
      return;
    }
    seen = {box->windowTitle(), box->text(), box->textFormat(), box->icon(),
            box->standardButtons()};
    box->button(QMessageBox::Ok)->click();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "the box stayed open";
    if (QWidget *box = QApplication::activeModalWidget()) {
      box->close();
    }
  });
  watchdog.start(5000);
  ScreenMessageBoxes().Show(message);
  return seen;
}

TEST(ScreenMessageBoxes, ShowTheTextAsPlainTextWithAnOkButton) {
  const QString typed = QStringLiteral("'<b>17</b>' is not a valid integer value.");
  const SeenBox error = ShowOnScreen({QStringLiteral("Kolvex v2.03"), typed, MessageIcon::Error});
  EXPECT_EQ(QStringLiteral("Kolvex v2.03"), error.caption);
  EXPECT_EQ(typed, error.text);
  EXPECT_EQ(Qt::PlainText, error.format);
  EXPECT_EQ(QMessageBox::Critical, error.icon);
  EXPECT_EQ(QMessageBox::StandardButtons(QMessageBox::Ok), error.buttons);
}

TEST(ScreenMessageBoxes, LeaveThePlainBoxesOpenWithoutBlockingTheWindows) {
  ScreenMessageBoxes().Show({QString(), QStringLiteral("Неверные данные")});
  QPointer<QMessageBox> box;
  for (QWidget *window : QApplication::topLevelWidgets()) {
    if (auto *found = qobject_cast<QMessageBox *>(window); found && found->isVisible()) {
      box = found;
    }
  }
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(QString(), box->windowTitle());
  EXPECT_EQ(QStringLiteral("Неверные данные"), box->text());
  EXPECT_EQ(Qt::PlainText, box->textFormat());
  EXPECT_EQ(QMessageBox::NoIcon, box->icon());
  EXPECT_EQ(QMessageBox::StandardButtons(QMessageBox::Ok), box->standardButtons());
  EXPECT_EQ(Qt::NonModal, box->windowModality());
  EXPECT_EQ(nullptr, QApplication::activeModalWidget());
  box->button(QMessageBox::Ok)->click();
  EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }));
}

// A hook counts the events of its type that reach the object, once or every time, and lets each
// event go on to the object.
TEST(OnEvent, RunsAtTheFirstEventOfItsTypeOrAtEach) {
  struct Case {
    bool once;
    std::vector<QEvent::Type> sent;
    int expected;
  };
  const Case cases[] = {
      {true, {}, 0},
      {true, {QEvent::Hide, QEvent::Hide}, 0},
      {true, {QEvent::Hide, QEvent::Show, QEvent::Show}, 1},
      {false, {QEvent::Show, QEvent::Hide, QEvent::Show}, 2},
  };
  for (const Case &c : cases) {
    QWidget watched;
    int runs = 0;
    int seen = 0;
    c.once ? OnEvent(watched, QEvent::Show, [&] { ++runs; })
           : OnEveryEvent(watched, QEvent::Show, [&](const QEvent &event) {
               EXPECT_EQ(QEvent::Show, event.type());
               ++runs;
             });
    OnEveryEvent(watched, QEvent::Show, [&] { ++seen; }); // the later hook sees the event first
    for (const QEvent::Type type : c.sent) {
      QEvent event(type);
      QCoreApplication::sendEvent(&watched, &event);
    }
    EXPECT_EQ(c.expected, runs) << "once " << c.once << ", " << c.sent.size() << " events";
    EXPECT_EQ(std::count(c.sent.begin(), c.sent.end(), QEvent::Show), seen);
  }
}

} // namespace
} // namespace kolvex
