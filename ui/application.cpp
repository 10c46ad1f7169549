#include "ui/application.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include "chart/messages.h"
#include "ui/message_boxes.h"

namespace kolvex {

namespace {

// The windows disabled for the time an error box is open. When the box goes they are enabled
// again, even when showing it failed, and each gets back the control that had its focus.
class DisabledWindows {
public:
  DisabledWindows() {
    for (QWidget *window : QApplication::topLevelWidgets()) {
      if (window->isWindow() && window->isVisible() && window->isEnabled()) {
        windows_.push_back({window, window->focusWidget()});
        window->setEnabled(false);
      }
    }
  }
  ~DisabledWindows() {
    for (const auto &[window, focus] : windows_) {
      if (window) {
        window->setEnabled(true);
      }
      if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
      }
    }
  }
  DisabledWindows(const DisabledWindows &) = delete;
  DisabledWindows &operator=(const DisabledWindows &) = delete;

private:
  struct Disabled {
    QPointer<QWidget> window;
    QPointer<QWidget> focus;
  };
  std::vector<Disabled> windows_;
};

} // namespace

void NameWindowClass() {
  if (qEnvironmentVariableIsEmpty("RESOURCE_NAME")) {
    qputenv("RESOURCE_NAME", AppId);
  }
}

void SetUpApplication() {
  InstallQtTranslation();
  // The title names the program on the desktop (and in the window class); it is not appended to
  // the window captions, which stand as they are.
  QApplication::setApplicationName(ApplicationTitle);
  // Lets the desktop match the windows with the program's menu entry (the Wayland app id).
  QGuiApplication::setDesktopFileName(QString::fromUtf8(AppId));
  // Only the input window ends the program; it quits when it is closed.
  QApplication::setQuitOnLastWindowClosed(false);
}

void InstallQtTranslation() {
  // Owned by the application, so it lives exactly as long; without the catalogue Qt stays English.
  // Qt's folder of catalogues, or the program's own, where the Windows package puts it.
  auto *translator = new QTranslator(QCoreApplication::instance());
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QCoreApplication::applicationDirPath())) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

void ShowError(const std::exception &error) {
  const QString message = QString::fromUtf8(ErrorText(error.what()));
  const QPointer<QWidget> active = QApplication::activeWindow();
  {
    const DisabledWindows disabled;
    CurrentMessageBoxes().Show({ApplicationTitle, message, MessageIcon::Error});
  }
  if (active) {
    active->activateWindow();
  }
}

void ShowMessage(const QString &caption, const QString &text) {
  CurrentMessageBoxes().Show({caption, text, MessageIcon::None});
}

} // namespace kolvex
