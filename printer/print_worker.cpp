#include "printer/print_worker.h"

#include <utility>

#include "printer/background.h"

namespace kolvex {

PrintWorker::PrintWorker(Printer &printer, QObject *parent) : QObject(parent), printer_(printer) {
  deadline_.setSingleShot(true);
  deadline_.setTimerType(Qt::PreciseTimer);
  connect(&deadline_, &QTimer::timeout, this, [this] { worker_.request_stop(); });
}

PrintWorker::~PrintWorker() {
  deadline_.stop();
  worker_.request_stop();
}

void PrintWorker::Print(const YearChart &chart) {
  if (Busy()) {
    throw EPrinter(PrintingInProgress);
  }
  worker_ = RunInBackground(
      *this,
      [this, chart](std::stop_token stop) {
        std::exception_ptr error;
        try {
          PrintChart(printer_, chart, std::move(stop));
        } catch (...) {
          error = std::current_exception();
        }
        return error;
      },
      [this](std::exception_ptr error) { Done(std::move(error)); });
  deadline_.start(Bound);
}

void PrintWorker::Done(std::exception_ptr error) {
  deadline_.stop();
  worker_.join();
  worker_ = std::jthread();
  emit Finished(std::move(error));
}

} // namespace kolvex
