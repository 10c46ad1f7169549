#include "ui/look.h"

#include <algorithm>

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "chart/page_layout.h"
#include "ui/on_event.h"

namespace kolvex {
namespace {

QString InstalledOr(const QString &family, const QString &fallback) {
  return QFontDatabase::hasFamily(family) ? family : fallback;
}

QFont PixelFont(const QString &family, QFont::StyleHint hint, int pixels, bool bold) {
  QFont font(family);
  font.setStyleHint(hint);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The window's outer size, frame included, as the window manager has told it so far.
QSize FrameSize(const QWidget &window) {
  const QWindow *handle = window.windowHandle();
  return handle != nullptr ? window.size().grownBy(handle->frameMargins()) : window.size();
}

void CentreFrame(QWidget &window) {
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  const QRect area = screen->geometry();
  const QSize size = FrameSize(window);
  const QPoint frameTopLeft(area.left() + std::max(0, (area.width() - size.width()) / 2),
                            area.top() + std::max(0, (area.height() - size.height()) / 2));
  if (QWindow *handle = window.windowHandle()) {
    handle->setFramePosition(frameTopLeft);
  } else {
    window.move(frameTopLeft);
  }
}

// The window manager puts its frame round a window only once the window is mapped, and says how
// large it is a moment later, without an event of its own. Until it has (for five seconds at most:
// on a busy machine it can take more than one), the frame is looked at every few milliseconds;
// once it is known the window is centred again by its outer size. Nobody can have moved the
// window before: moving it takes the frame.
class CentreOnceFramed final : public QObject {
public:
  explicit CentreOnceFramed(QWidget &window)
      : QObject(&window), window_(window), unframed_(window.geometry()) {
    timer_ = startTimer(LookEvery);
    QTimer::singleShot(WaitForFrame, this, &QObject::deleteLater);
  }

protected:
  void timerEvent(QTimerEvent *) override {
    if (FrameSize(window_) != unframed_.size()) {
      CentreFrame(window_);
      killTimer(timer_);
      deleteLater();
    }
  }

private:
  static constexpr int LookEvery = 10;      // milliseconds
  static constexpr int WaitForFrame = 5000; // milliseconds

  QWidget &window_;
  QRect unframed_;
  int timer_ = 0;
};

} // namespace

QFont SansSerifFont(int pixels, bool bold) {
  static const QString family =
      InstalledOr(QString::fromUtf8(DefaultFontFace), QStringLiteral("Liberation Sans"));
  return PixelFont(family, QFont::SansSerif, pixels, bold);
}

QFont CourierFont(int pixels, bool bold) {
  static const QString family =
      InstalledOr(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  return PixelFont(family, QFont::TypeWriter, pixels, bold);
}

const QFont &CellFont() {
  static const QFont font = CourierFont(16, true);
  return font;
}

void UseFixedFrame(QWidget &window) {
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
}

void CentreWhenFirstShown(QWidget &window) {
  OnEvent(window, QEvent::Show, [&window] {
    CentreFrame(window);
    if (FrameSize(window) == window.size()) {
      new CentreOnceFramed(window);
    }
  });
}

} // namespace kolvex
