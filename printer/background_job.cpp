#include "printer/background_job.h"

namespace kolvex {

BackgroundJob::BackgroundJob(std::chrono::milliseconds bound) {
  bound_.setSingleShot(true);
  bound_.setTimerType(Qt::PreciseTimer);
  bound_.setInterval(bound);
  connect(&bound_, &QTimer::timeout, this, &BackgroundJob::Overdue);
}

BackgroundJob::~BackgroundJob() {
  bound_.stop();
  thread_.request_stop();
}

void BackgroundJob::Ended() {
  bound_.stop();
  thread_.join();
  thread_ = std::jthread();
}

} // namespace kolvex
