#include "ui/application.h"

#include <QFontDatabase>

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

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

void ShowError(const std::exception &error) {
  QString message = QString::fromUtf8(error.what());
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
    message += QLatin1Char('.');
  }
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

namespace {

void CentreFrame(QWidget &window) {
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  const QRect area = screen->geometry();
  const QSize size = window.frameGeometry().size();
  window.move(area.left() + std::max(0, (area.width() - size.width()) / 2),
              area.top() + std::max(0, (area.height() - size.height()) / 2));
}

// The window manager puts its frame round a window only once the window is mapped; by the first
// paint it has said how large the frame is, and the window is centred again by its outer size.
class CentreOnceFramed final : public QObject {
public:
  explicit CentreOnceFramed(QWidget &window) : QObject(&window), unframed_(window.frameGeometry()) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint) {
      auto &window = static_cast<QWidget &>(*watched);
      if (window.frameGeometry().size() != unframed_.size() &&
          window.geometry().topLeft() == unframed_.topLeft()) {
        CentreFrame(window);
      }
      deleteLater();
      watched->removeEventFilter(this);
    }
    return false;
  }

private:
  QRect unframed_;
};

} // namespace

void CentreOnScreen(QWidget &window) {
  CentreFrame(window);
  if (window.frameGeometry().size() == window.size()) {
    new CentreOnceFramed(window);
  }
}

namespace {

QString InstalledOr(const QString &family, const QString &fallback) {
  return QFontDatabase::hasFamily(family) ? family : fallback;
}

} // namespace

QString SansSerifFamily() {
  static const QString family =
      InstalledOr(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  return family;
}

QString CourierFamily() {
  static const QString family =
      InstalledOr(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  return family;
}

} // namespace kolvex
