#include <functional>
#include <memory>
#include <utility>

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/biomain.h"

namespace {

// Runs an action once, as soon as a window has been painted for the first time.
class AfterFirstPaint final : public QObject {
public:
  AfterFirstPaint(QWidget &window, std::function<void()> action) : action_(std::move(action)) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint && action_) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, std::exchange(action_, {}));
    }
    return false;
  }

private:
  std::function<void()> action_;
};

} // namespace

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  // The title names the program on the desktop (and in the window class); it is not appended to
  // the window captions, which stand as they are.
  QApplication::setApplicationName(kolvex::ApplicationTitle);
  // Lets the desktop match the windows with the program's menu entry, kolvex.desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("kolvex"));
  // Only the input window ends the program; it quits when it is closed.
  QApplication::setQuitOnLastWindowClosed(false);

  kolvex::TForm1 form1; // reads today's date

  // The result window, hidden until the first chart, is created as soon as the input window is on
  // the screen: building its grid is the larger part of starting up, and the input window need
  // not wait for it.
  std::unique_ptr<kolvex::TForm2> form2;
  const AfterFirstPaint createResultWindow(form1, [&] {
    form2 = std::make_unique<kolvex::TForm2>();
    form1.SetResultWindow(*form2);
  });

  form1.show();
  return QApplication::exec();
}
