#pragma once

// The application: its names, its set-up, the About box, the program's own message boxes and the
// one place where errors raised by event handlers are shown to the user. Its windows meet in the
// shell (shell.h).

#include <concepts>
#include <exception>
#include <utility>

#include <QObject>
#include <QString>

#include "chart/version.h"

namespace kolvex {

// The program's name on the desktop and the caption of every error box.
inline const QString ApplicationTitle = QString::fromUtf8(ProgramTitle);

// The About box: three lines separated by CR LF.
inline const QString AboutCaption = QStringLiteral("About");
inline const QString AboutText = QStringLiteral("Kolvex, версия 2.04\r\n"
                                                "Биоритмы на целый год для каждого\r\n"
                                                "Разработка: команда Kolvex");

// The desktop file, the AppStream id and the icon all bear this name.
inline constexpr auto AppId = "org.kolvex.Kolvex";

// Before the application is made: names the program in the X11 window class (its instance name),
// by which docks match a window with its desktop file; it would otherwise be the name of the
// executable.
void NameWindowClass();

// After the application is made, before the first window: Qt's Russian texts, the program's name
// and desktop file, and an end only when the input window closes.
void SetUpApplication();

// Installs Qt's own Russian texts (context menus, file dialogs, the boxes' buttons) on the
// application, whatever the locale: the program speaks only Russian. Call before the first window.
void InstallQtTranslation();

// Shows an error that ended an event handler: its message with a full stop added after a last
// character above '.', the application title as caption, an error icon and OK. Every visible
// window of the program is disabled while the box is open; afterwards they are enabled again and
// the window that was active before is activated.
void ShowError(const std::exception &error);

// One of the program's own boxes: OK, no icon; the windows stay as they are.
void ShowMessage(const QString &caption, const QString &text);

// Runs an event handler; an error it raises ends it and goes to ShowError.
template <typename Handler> void RunGuarded(Handler &&handler) noexcept {
  try {
    handler();
  } catch (const std::exception &error) {
    ShowError(error);
  }
}

// Connects `signal` of `sender` to the member `handler` of `receiver`, run guarded. The handler
// takes the signal's first arguments, or none.
template <typename Sender, typename Signal, typename Receiver, typename... Args>
QMetaObject::Connection ConnectGuarded(const Sender *sender, Signal signal, Receiver *receiver,
                                       void (Receiver::*handler)(Args...)) {
  return QObject::connect(sender, signal, receiver, [receiver, handler](Args... args) {
    RunGuarded([&] { (receiver->*handler)(args...); });
  });
}

// Connects `signal` of `sender` to a handler of no arguments, run guarded while `receiver` lives.
template <typename Sender, typename Signal, std::invocable Handler>
QMetaObject::Connection ConnectGuarded(const Sender *sender, Signal signal, const QObject *receiver,
                                       Handler handler) {
  return QObject::connect(sender, signal, receiver,
                          [handler = std::move(handler)]() mutable { RunGuarded(handler); });
}

} // namespace kolvex
