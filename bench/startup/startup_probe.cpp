// A probe loaded into a Qt Widgets program with LD_PRELOAD; the program itself is not changed.
// When the QApplication is constructed it installs an application event filter that reports, one
// line each over the pipe whose descriptor is in STARTUP_PROBE_FD:
//   loaded <ns>                           the libraries are loaded, before the program's own
//                                         static initialisation
//   constructed <ns>                      the QApplication is being constructed, its platform
//                                         plugin is ready
//   painted <ns> <peak rss KiB> <class>   the first top-level window has been painted
//   pressed <ns>                          just before its "Button1" push button is clicked,
//                                         100 ms later
//   shown <ns> <peak rss KiB> <class>     another top-level window has been painted
//   error <text>                          the run cannot go on
// and then ends the event loop. Times are CLOCK_MONOTONIC in nanoseconds.
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace {

long long MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// The process's resident-set high-water mark so far, from /proc; -1 when it cannot be read.
long PeakResidentKibibytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long kibibytes = -1;
      status >> kibibytes;
      return kibibytes;
    }
    status.ignore(4096, '\n');
  }
  return -1;
}

void WriteLine(int fd, std::string line) {
  line += '\n';
  const char *data = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

// The descriptor of the report pipe, or -1 when the program runs without one.
int ReportDescriptor() {
  const char *text = std::getenv("STARTUP_PROBE_FD");
  if (text == nullptr) {
    return -1;
  }
  const int fd = std::atoi(text);
  return fcntl(fd, F_GETFD) < 0 ? -1 : fd;
}

bool IsOrdinaryWindow(const QWidget &widget) {
  const Qt::WindowType type = widget.windowType();
  return widget.isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

class StartupProbe : public QObject {
public:
  StartupProbe(int fd, QObject *parent) : QObject(parent), fd_(fd) {
    Report("constructed " + std::to_string(MonotonicNanoseconds()));
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::Paint || stage_ == Stage::Settling || stage_ == Stage::Done) {
      return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget == nullptr || !IsOrdinaryWindow(*widget) || widget == input_) {
      return false;
    }
    // The window and its children are painted and flushed within the current event; a zero
    // timer fires once that is over.
    const Stage next = stage_ == Stage::AwaitingInput ? Stage::AwaitingResult : Stage::Done;
    stage_ = Stage::Settling;
    QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(widget), next] {
      if (next == Stage::AwaitingResult) {
        InputPainted(window);
      } else {
        ResultPainted(window);
      }
    });
    return false;
  }

private:
  enum class Stage { AwaitingInput, Settling, AwaitingResult, Done };
  static constexpr std::chrono::milliseconds PressDelay{100};

  void InputPainted(const QPointer<QWidget> &window) {
    const long long now = MonotonicNanoseconds();
    if (window.isNull()) {
      Fail("the first window was deleted before it was painted");
      return;
    }
    Report("painted " + std::to_string(now) + ' ' + std::to_string(PeakResidentKibibytes()) + ' ' +
           window->metaObject()->className());
    // A person presses well after the window appears: work the program leaves for later is done
    // by then and is not counted as the press's.
    QTimer::singleShot(PressDelay, this, [this, window] { Press(window); });
  }

  void Press(const QPointer<QWidget> &window) {
    if (window.isNull()) {
      Fail("the first window was deleted before Button1 was pressed");
      return;
    }
    auto *button = window->findChild<QPushButton *>(QStringLiteral("Button1"));
    if (button == nullptr) {
      Fail(std::string("no push button Button1 in ") + window->metaObject()->className());
      return;
    }
    input_ = window;
    stage_ = Stage::AwaitingResult;
    Report("pressed " + std::to_string(MonotonicNanoseconds()));
    button->click();
  }

  void ResultPainted(const QPointer<QWidget> &window) {
    const long long now = MonotonicNanoseconds();
    stage_ = Stage::Done;
    Report("shown " + std::to_string(now) + ' ' + std::to_string(PeakResidentKibibytes()) + ' ' +
           (window.isNull() ? "deleted" : window->metaObject()->className()));
    QCoreApplication::exit(0);
  }

  void Fail(const std::string &text) {
    stage_ = Stage::Done;
    Report("error " + text);
    QCoreApplication::exit(1);
  }

  void Report(std::string line) const { WriteLine(fd_, std::move(line)); }

  int fd_;
  Stage stage_ = Stage::AwaitingInput;
  QPointer<QWidget> input_;
};

void ReportLoaded() {
  if (const int fd = ReportDescriptor(); fd >= 0) {
    WriteLine(fd, "loaded " + std::to_string(MonotonicNanoseconds()));
  }
}

void InstallStartupProbe() {
  const int fd = ReportDescriptor();
  // Processes the program starts get neither the probe nor the pipe.
  unsetenv("LD_PRELOAD");
  unsetenv("STARTUP_PROBE_FD");
  if (fd < 0 || fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
    return;
  }
  QCoreApplication *application = QCoreApplication::instance();
  application->installEventFilter(new StartupProbe(fd, application));
}

} // namespace

Q_CONSTRUCTOR_FUNCTION(ReportLoaded)
Q_COREAPP_STARTUP_FUNCTION(InstallStartupProbe)
