#include "ui/message_boxes.h"

#include <utility>

#include <QGuiApplication>
#include <QMessageBox>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace kolvex {

namespace {

// The one sink in place; nullptr means the screen.
MessageBoxes *installedBoxes = nullptr;

// Qt names a window whose title is empty after the application; on X the window's name
// properties are emptied here instead.
void ClearWindowName(QWidget &window) {
#if QT_CONFIG(xcb)
  auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t *connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
    return;
  }
  const auto atom = [connection](const char *name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
  };
  const auto id = static_cast<xcb_window_t>(window.winId());
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom("_NET_WM_NAME"),
                      atom("UTF8_STRING"), 8, 0, nullptr);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      0, nullptr);
  xcb_flush(connection);
#else
  Q_UNUSED(window);
#endif
}

} // namespace

void ScreenMessageBoxes::Show(const Message &message) {
  if (message.icon == MessageIcon::Error) {
    QMessageBox box(QMessageBox::Critical, message.caption, message.text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return;
  }
  auto *box = new QMessageBox(QMessageBox::NoIcon, message.caption, message.text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  if (message.caption.isEmpty()) {
    box->winId(); // the native window, named by Qt, before the window manager sees it
    ClearWindowName(*box);
  }
  box->show();
}

MessageBoxes *SetMessageBoxes(MessageBoxes *boxes) noexcept {
  return std::exchange(installedBoxes, boxes);
}

MessageBoxes &CurrentMessageBoxes() noexcept {
  static ScreenMessageBoxes screen;
  return installedBoxes != nullptr ? *installedBoxes : screen;
}

} // namespace kolvex
