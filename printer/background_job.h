#pragma once

// The program's one way of working off the user-interface thread.

#include <chrono>
#include <stop_token>
#include <thread>
#include <utility>

#include <QObject>
#include <QTimer>

namespace kolvex {

// One piece of work at a time on a thread of its own, whose answer comes back on this object's
// thread through its event loop, and a time bound on it. Keep a job as the last member of its
// owner: going, it asks the work to stop and waits for it to end, and an answer not delivered yet
// is dropped.
class BackgroundJob final : public QObject {
  Q_OBJECT

public:
  // Overdue is signalled once a job has run for `bound` without answering.
  explicit BackgroundJob(std::chrono::milliseconds bound);
  ~BackgroundJob() override;

  // True from Start until `done` is called.
  bool Busy() const noexcept { return thread_.joinable(); }

  // Runs `work(stop_token)` on a new thread and hands what it returns to `done`, called on this
  // object's thread once the thread has ended. `work` must not throw. The job must not be busy.
  template <typename Work, typename Done> void Start(Work work, Done done) {
    thread_ = std::jthread(
        [this, work = std::move(work), done = std::move(done)](std::stop_token stop) mutable {
          auto result = work(std::move(stop));
          QMetaObject::invokeMethod(
              this,
              [this, done = std::move(done), result = std::move(result)]() mutable {
                Ended();
                done(std::move(result));
              },
              Qt::QueuedConnection);
        });
    bound_.start();
  }

  // Asks the work under way to stop, through its stop token.
  void RequestStop() noexcept { thread_.request_stop(); }

signals:
  // The job under way has run for its bound; it goes on until its work returns.
  void Overdue();

private:
  void Ended();

  QTimer bound_;
  std::jthread thread_;
};

} // namespace kolvex
