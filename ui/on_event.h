#pragma once

// Hooks on the events an object receives, without a class for each: OnEvent runs a function once,
// at the first event of a type, OnEveryEvent at each. A hook is a child of the object it watches,
// so it goes with it; it never takes the event, which goes on as it would have.
// The function takes the event (QEvent &) or nothing.

#include <type_traits>
#include <utility>

#include <QEvent>
#include <QObject>

namespace kolvex {

namespace detail {

template <typename F> class EventHook final : public QObject {
public:
  EventHook(QObject &watched, QEvent::Type type, bool once, F f)
      : QObject(&watched), type_(type), once_(once), f_(std::move(f)) {
    watched.installEventFilter(this);
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != type_) {
      return false;
    }
    if (!once_) {
      Run(f_, *event);
      return false;
    }
    // Gone before the function runs, which may then do anything to the watched object.
    watched->removeEventFilter(this);
    deleteLater();
    F f = std::move(f_);
    Run(f, *event);
    return false;
  }

private:
  static void Run(F &f, QEvent &event) {
    if constexpr (std::is_invocable_v<F &, QEvent &>) {
      f(event);
    } else {
      f();
    }
  }

  QEvent::Type type_;
  bool once_;
  F f_;
};

} // namespace detail

// Runs f the first time `watched` receives an event of `type`, then goes.
template <typename F> void OnEvent(QObject &watched, QEvent::Type type, F &&f) {
  new detail::EventHook<std::decay_t<F>>(watched, type, true, std::forward<F>(f));
}

// Runs f every time `watched` receives an event of `type`, for as long as `watched` lives.
template <typename F> void OnEveryEvent(QObject &watched, QEvent::Type type, F &&f) {
  new detail::EventHook<std::decay_t<F>>(watched, type, false, std::forward<F>(f));
}

} // namespace kolvex
