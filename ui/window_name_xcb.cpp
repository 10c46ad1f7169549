#include "ui/window_name.h"

#include <cstdint>
#include <cstdlib>

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace kolvex {

void ClearWindowName(QWidget &window) {
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
}

} // namespace kolvex
