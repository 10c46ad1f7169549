// The program's two windows, offscreen, in a run of their own, driven from a script on standard
// input as a user drives them, one command a line:
//   show   presses the show button of the input window; answers "shown <result window caption>",
//          or the text of the box that came instead
//   print  presses the print button of the result window; answers "printed", or the text of the
//          box that came instead
//   state  answers "usable" when both windows are enabled, the result window is visible and
//          holds the chart of the birth input given as arguments, or says what is amiss
// The birth input (day month year forecast) is typed into the input window at the start. Every
// answer is one line. The program's printer lives as long as the run, as it does in the program.

#include <cstdlib>
#include <iostream>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "chart/birth_input.h"
#include "chart/year_chart.h"
#include "tests/ui/recorded_message_boxes.h"
#include "ui/BIOform.h"
#include "ui/biomain.h"

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

// Presses a button with the mouse; returns the texts of the boxes it brought up.
QStringList Press(QPushButton &button, kolvex::testing::RecordedMessageBoxes &boxes) {
  boxes.shown.clear();
  QTest::mouseClick(&button, Qt::LeftButton);
  QStringList texts;
  for (const kolvex::Message &message : boxes.shown) {
    texts << message.text;
  }
  return texts;
}

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
  form1.SetResultWindow(form2);
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

  std::string command;
  while (std::getline(std::cin, command)) {
    QString answer;
    if (command == "show") {
      const QStringList said = Press(Find<QPushButton>(form1, "Button1"), boxes);
      answer = said.isEmpty() ? "shown " + form2.windowTitle() : said.join(" | ");
    } else if (command == "print") {
      const QStringList said = Press(Find<QPushButton>(form2, "Button2"), boxes);
      answer = said.isEmpty() ? QStringLiteral("printed") : said.join(" | ");
    } else if (command == "state") {
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
      answer = amiss.isEmpty() ? QStringLiteral("usable") : amiss.join(", ");
    } else {
      answer = "unknown command " + QString::fromStdString(command);
    }
    std::cout << answer.toStdString() << std::endl;
  }
  return 0;
}
