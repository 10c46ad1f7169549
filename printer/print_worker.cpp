#include "printer/print_worker.h"

#include <utility>

namespace kolvex {

PrintWorker::PrintWorker(Printer &printer, QObject *parent) : QObject(parent), printer_(printer) {
  connect(&job_, &BackgroundJob::Overdue, this, [this] { job_.RequestStop(); });
}

PrintWorker::~PrintWorker() = default;

void PrintWorker::Print(const YearChart &chart) {
  if (Busy()) {
    throw EPrinter(PrintingInProgress);
  }
  job_.Start(
      [this, chart](std::stop_token stop) {
        std::exception_ptr error;
        try {
          PrintChart(printer_, chart, std::move(stop));
        } catch (...) {
          error = std::current_exception();
        }
        return error;
      },
      [this](std::exception_ptr error) { emit Finished(std::move(error)); });
}

} // namespace kolvex
