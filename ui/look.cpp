#include "ui/look.h"

#include <algorithm>

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "chart/page_layout.h"

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

void CentreOnScreen(QWidget &window) {
  CentreFrame(window);
  if (window.frameGeometry().size() == window.size()) {
    new CentreOnceFramed(window);
  }
}

} // namespace kolvex
