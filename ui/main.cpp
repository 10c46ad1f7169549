#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTimer>

#include "chart/version.h"
#include "ui/BIOform.h"
#include "ui/application.h"
#include "ui/biomain.h"
#include "ui/shell.h"

namespace {

constexpr int ExitNoDisplay = 1;
constexpr int ExitUsage = 64;   // EX_USAGE
constexpr int ExitIoError = 74; // EX_IOERR

// The desktop file, the AppStream id and the icon all bear this name.
constexpr auto AppId = "org.kolvex.Kolvex";

constexpr std::string_view Usage = "usage: kolvex [--help | --version]\n";
constexpr std::string_view Help =
    "usage: kolvex [--help | --version]\n"
    "\n"
    "Opens the Kolvex window: a biorhythm calendar for a whole year.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "The windows open on the X server of DISPLAY, which on a Wayland desktop is\n"
    "XWayland, and on the Wayland display of WAYLAND_DISPLAY only where there is\n"
    "no X server. QT_QPA_PLATFORM names another platform.\n";

// The exit status for a command line that asks for something else than the windows. Decided
// before Qt starts, so that --help and --version need no display; Qt's own arguments are not
// taken either (QT_QPA_PLATFORM and the other QT_ variables do their work).
std::optional<int> AnswerCommandLine(int argc, char *argv[]) {
  if (argc == 1) {
    return std::nullopt;
  }
  const std::string_view argument = argv[1];
  if (argc == 2 && (argument == "--help" || argument == "--version")) {
    if (argument == "--help") {
      std::cout << Help;
    } else {
      std::cout << "kolvex " << kolvex::Version << '\n';
    }
    return std::cout.flush() ? EXIT_SUCCESS : ExitIoError;
  }
  std::cerr << Usage;
  return ExitUsage;
}

// Chooses the windowing platform unless the user has (QT_QPA_PLATFORM), or says why there is none.
// The program places its windows itself: the input window centred, the result window minimised
// with it. X11 allows that and Wayland does not, so X11 comes first, through XWayland on a Wayland
// desktop, and native Wayland serves only where no X server is announced.
// Windows has one windowing platform, Qt's own default.
std::optional<std::string_view> ChoosePlatform() {
#ifdef _WIN32
  return std::nullopt;
#endif
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    return std::nullopt;
  }
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (!x11 && !wayland) {
    return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  }
  qputenv("QT_QPA_PLATFORM", x11 && wayland ? "xcb;wayland" : x11 ? "xcb" : "wayland");
  return std::nullopt;
}

// While Qt looks for a display, its messages are held back. If none opens, Qt would abort with a
// core dump and advice to reinstall; instead the program says in one line what failed, with the
// first reason Qt's platform plugins gave (the qt.qpa categories; Qt's other notes, such as the
// one on a locale that is not UTF-8, are no reason), and ends with status 1. Once the application
// is up, the held messages go out as they would have. A message handler takes no context, hence
// the one static.
class StartupMessages final {
public:
  StartupMessages() { previous() = qInstallMessageHandler(&Hold); }
  StartupMessages(const StartupMessages &) = delete;
  StartupMessages &operator=(const StartupMessages &) = delete;
  ~StartupMessages() {
    qInstallMessageHandler(previous());
    for (const Held &message : held()) {
      const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
      previous()(message.type, context, message.text);
    }
  }

private:
  struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
  };
  static QtMessageHandler &previous() {
    static QtMessageHandler handler = nullptr;
    return handler;
  }
  static std::vector<Held> &held() {
    static std::vector<Held> messages;
    return messages;
  }
  static void Hold(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (type == QtFatalMsg) {
      const auto platform = std::find_if(held().begin(), held().end(), [](const Held &message) {
        return message.category.startsWith("qt.qpa.");
      });
      const QString reason = platform == held().end() ? text.section(u'\n', 0, 0) : platform->text;
      std::fprintf(stderr, "kolvex: cannot open a display: %s\n", qPrintable(reason.trimmed()));
      std::_Exit(ExitNoDisplay);
    }
    held().push_back({type, context.category, text});
  }
};

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
  if (const std::optional<int> status = AnswerCommandLine(argc, argv)) {
    return *status;
  }
  if (const std::optional<std::string_view> missing = ChoosePlatform()) {
    std::cerr << "kolvex: cannot open a display: " << *missing << '\n';
    return ExitNoDisplay;
  }
  // The instance name of the X11 window class, by which docks match a window with its desktop
  // file; it would otherwise be the name of the executable.
  if (qEnvironmentVariableIsEmpty("RESOURCE_NAME")) {
    qputenv("RESOURCE_NAME", AppId);
  }
  std::optional<StartupMessages> startup(std::in_place);
  QApplication app(argc, argv);
  startup.reset();
  kolvex::InstallQtTranslation();
  // The title names the program on the desktop (and in the window class); it is not appended to
  // the window captions, which stand as they are.
  QApplication::setApplicationName(kolvex::ApplicationTitle);
  // Lets the desktop match the windows with the program's menu entry (the Wayland app id).
  QGuiApplication::setDesktopFileName(QString::fromUtf8(AppId));
  // Only the input window ends the program; it quits when it is closed.
  QApplication::setQuitOnLastWindowClosed(false);

  kolvex::TForm1 form1; // reads today's date

  // The result window, hidden until the first chart, is created as soon as the input window is on
  // the screen: building its grid is the larger part of starting up, and the input window need
  // not wait for it.
  std::unique_ptr<kolvex::TForm2> form2;
  // So is the windows' icon for taskbars and window switchers, the installed theme's or else the
  // one built in: finding it reads the icon themes and loads the SVG engine.
  const AfterFirstPaint createResultWindow(form1, [&] {
    QApplication::setWindowIcon(
        QIcon::fromTheme(QString::fromUtf8(AppId), QIcon(QStringLiteral(":/icons/kolvex.svg"))));
    form2 = std::make_unique<kolvex::TForm2>();
    kolvex::ConnectWindows(form1, *form2);
  });

  form1.show();
  return QApplication::exec();
}
