// The program's two windows, offscreen, in a run of their own, driven from a script on standard
// input as a user drives them, one command a line:
//   show   presses the show button of the input window; answers "shown <result window caption>",
//          or the text of the box that came instead
//   print  presses the print button of the result window and waits for the printout to end;
//          answers "printed", or the texts of the boxes that came instead
//   press  presses the print button and answers at once: "pressed", or the boxes that came
//   wait   waits for the printout under way to end; answers as print does
//   timing answers "<ms> <gap ms>": how long the last printout took from its press, and the
//          longest the windows went meanwhile without handling a timer event
//   hover  moves the pointer onto the cell of 1 January; answers the legend line
//   close  presses the close button of the result window; answers "hidden" or "visible"
//   state  answers "usable" when both windows are enabled, the result window is visible and
//          holds the chart of the birth input given as arguments, or says what is amiss
// The birth input (day month year forecast) is typed into the input window at the start. Every
// answer is one line. The windows handle events between commands, as in the program, and the
// program's printer lives as long as the run.

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "chart/input_reader.h"
#include "chart/year_chart.h"
#include "printer/print_worker.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/BIOform.h"
#include "ui/biomain.h"
#include "ui/grid/chart_grid.h"
#include "ui/grid/hit_test.h"
#include "ui/shell.h"

namespace {

template <typename Control> Control &Find(QWidget &window, const char *name) {
  auto *control = window.findChild<Control *>(QString::fromLatin1(name));
  if (control == nullptr) {
    std::cerr << "print_window_helper: no control " << name << '\n';
    std::exit(2);
  }
  return *control;
}

void TypeInto(QLineEdit &edit, const QString &text) {
  edit.setFocus();
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(&edit, text);
}

// The texts of the boxes shown since the last call.
QStringList NewBoxes(kolvex::testing::RecordedMessageBoxes &boxes) {
  QStringList texts;
  for (const kolvex::Message &message : boxes.shown) {
    texts << message.text;
  }
  boxes.shown.clear();
  return texts;
}

// Presses a button with the mouse; returns the texts of the boxes it brought up.
QStringList Press(QPushButton &button, kolvex::testing::RecordedMessageBoxes &boxes) {
  NewBoxes(boxes);
  QTest::mouseClick(&button, Qt::LeftButton);
  return NewBoxes(boxes);
}

// How long a printout takes, and the longest the event loop went meanwhile between two ticks of
// a 10 ms timer.
class PrintoutTiming {
public:
  PrintoutTiming() {
    QObject::connect(&ticks_, &QTimer::timeout,
                     [this] { gap_ = std::max(gap_, sinceTick_.restart()); });
    ticks_.start(10);
  }
  void Pressed() {
    sincePress_.start();
    sinceTick_.start();
    gap_ = 0;
  }
  void Ended() { took_ = sincePress_.elapsed(); }
  QString Answer() const { return QStringLiteral("%1 %2").arg(took_).arg(gap_); }

private:
  QTimer ticks_;
  QElapsedTimer sincePress_;
  QElapsedTimer sinceTick_;
  qint64 took_ = 0;
  qint64 gap_ = 0;
};

} // namespace

int main(int argc, char *argv[]) {
  if (argc != 5) {
    std::cerr << "usage: print_window_helper DAY MONTH YEAR FORECAST\n";
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  kolvex::testing::RecordedMessageBoxes boxes;

  kolvex::TForm1 form1;
  kolvex::TForm2 form2;
  kolvex::ConnectWindows(form1, form2);
  form1.show();
  if (!QTest::qWaitForWindowExposed(&form1)) {
    std::cerr << "print_window_helper: the input window does not show\n";
    return 2;
  }

  const QString forecast = QString::fromLocal8Bit(argv[4]);
  TypeInto(Find<QLineEdit>(form1, "Edit1"), QString::fromLocal8Bit(argv[1]));
  auto &months = Find<QComboBox>(form1, "ComboBox1");
  months.setFocus();
  QTest::keyClick(&months, Qt::Key_Home);
  for (int month = 1; month < kolvex::StrToInt(argv[2]); ++month) {
    QTest::keyClick(&months, Qt::Key_Down);
  }
  TypeInto(Find<QLineEdit>(form1, "Edit3"), QString::fromLocal8Bit(argv[3]));
  TypeInto(Find<QLineEdit>(form1, "Edit4"), forecast);
  const kolvex::YearChart chart =
      kolvex::YearChart::Compute({kolvex::StrToInt(argv[1]), kolvex::StrToInt(argv[2]),
                                  kolvex::StrToInt(argv[3]), kolvex::StrToInt(argv[4])});
  const QString caption = QStringLiteral("Ваши биоритмы на %1 год").arg(forecast);

  kolvex::PrintWorker &worker = *form2.findChild<kolvex::PrintWorker *>();
  PrintoutTiming timing;
  QObject::connect(&worker, &kolvex::PrintWorker::Finished, [&timing] { timing.Ended(); });
  // Waits for the printout under way to end (a minute at most); the texts of its boxes.
  const auto waitForPrintout = [&] {
    if (!QTest::qWaitFor([&] { return !worker.Busy(); }, 60'000)) {
      return QStringLiteral("still printing");
    }
    const QStringList said = NewBoxes(boxes);
    return said.isEmpty() ? QStringLiteral("printed") : said.join(" | ");
  };
  const auto pressPrint = [&] {
    const bool printing = worker.Busy();
    const QStringList said = Press(Find<QPushButton>(form2, "Button2"), boxes);
    if (!printing) {
      timing.Pressed();
    }
    return said;
  };

  const auto answer = [&](const std::string &command) -> QString {
    if (command == "show") {
      const QStringList said = Press(Find<QPushButton>(form1, "Button1"), boxes);
      return said.isEmpty() ? "shown " + form2.windowTitle() : said.join(" | ");
    }
    if (command == "print") {
      const QStringList said = pressPrint();
      return said.isEmpty() ? waitForPrintout() : said.join(" | ");
    }
    if (command == "press") {
      const QStringList said = pressPrint();
      return said.isEmpty() ? QStringLiteral("pressed") : said.join(" | ");
    }
    if (command == "wait") {
      return waitForPrintout();
    }
    if (command == "timing") {
      return timing.Answer();
    }
    if (command == "hover") {
      auto &grid = Find<kolvex::ChartGrid>(form2, "StringGrid1");
      const QPoint onCell((1 - grid.LeftCol()) * kolvex::GridColumnPitch + 10,
                          (1 - grid.TopRow()) * kolvex::GridRowPitch + 10);
      QTest::mouseMove(form2.windowHandle(), grid.viewport()->mapTo(&form2, onCell));
      return Find<QLabel>(form2, "Label2").text();
    }
    if (command == "close") {
      Press(Find<QPushButton>(form2, "Button1"), boxes);
      return form2.isVisible() ? QStringLiteral("visible") : QStringLiteral("hidden");
    }
    if (command == "state") {
      QStringList amiss;
      if (!form1.isEnabled()) {
        amiss << "the input window is disabled";
      }
      if (!form2.isEnabled()) {
        amiss << "the result window is disabled";
      }
      if (!form2.isVisible()) {
        amiss << "the result window is hidden";
      }
      if (form2.windowTitle() != caption) {
        amiss << "the result window's caption is " + form2.windowTitle();
      }
      if (!(form2.Chart() == chart)) {
        amiss << "the result window holds another chart";
      }
      return amiss.isEmpty() ? QStringLiteral("usable") : amiss.join(", ");
    }
    return "unknown command " + QString::fromUtf8(command);
  };

  // Commands are read off the user-interface thread, so that its event loop runs between them.
  std::thread reader([&] {
    std::string command;
    while (std::getline(std::cin, command)) {
      QMetaObject::invokeMethod(
          &application,
          [&answer, command] { std::cout << answer(command).toStdString() << std::endl; },
          Qt::BlockingQueuedConnection);
    }
    QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  reader.join();
  return 0;
}
