#pragma once

// The application shell: its title and the one place where errors raised by event handlers are
// shown to the user.

#include <exception>

#include <QString>

namespace kolvex {

inline const QString ApplicationTitle = QStringLiteral("Kolvex v2.03");

// Shows an error that ended an event handler: its message with a full stop added after a last
// character above '.', the application title as caption, an error icon and OK.
void ShowError(const std::exception &error);

// Runs an event handler; an error it raises ends it and goes to ShowError.
template <typename Handler> void RunGuarded(Handler &&handler) noexcept {
  try {
    handler();
  } catch (const std::exception &error) {
    ShowError(error);
  }
}

} // namespace kolvex
