#pragma once

// The program's one way of working off the user-interface thread: a thread of its own for each
// piece of work, whose answer comes back to the object that started it, on that object's thread.

#include <stop_token>
#include <thread>
#include <utility>

#include <QObject>

namespace kolvex {

// Runs `work(stop_token)` on a new thread and hands what it returns to `done`, called on the thread
// of `receiver` through its event loop. `receiver` keeps the returned thread as a member, so that
// it is joined before the QObject goes; `done` is then dropped if it has not run yet. The thread
// ends soon after `work` returns, which must not throw.
template <typename Work, typename Done>
std::jthread RunInBackground(QObject &receiver, Work work, Done done) {
  return std::jthread([&receiver, work = std::move(work),
                       done = std::move(done)](std::stop_token stop) mutable {
    auto result = work(std::move(stop));
    QMetaObject::invokeMethod(
        &receiver,
        [done = std::move(done), result = std::move(result)]() mutable { done(std::move(result)); },
        Qt::QueuedConnection);
  });
}

} // namespace kolvex
