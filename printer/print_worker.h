#pragma once

// Printing off the user-interface thread: the windows go on answering while a page goes to CUPS.

#include <chrono>
#include <exception>

#include <QObject>

#include "chart/year_chart.h"
#include "printer/background_job.h"
#include "printer/printer.h"

namespace kolvex {

class PrintWorker : public QObject {
  Q_OBJECT

public:
  // How long a whole printout may take before it is given up: a print server that does not
  // answer, or answers a byte at a time, ends it with "Printer selected is not responding".
  static constexpr std::chrono::seconds Bound{15};

  // Prints on `printer`, which outlives the worker and is used by nothing else meanwhile.
  explicit PrintWorker(Printer &printer, QObject *parent = nullptr);
  // Stops a printout under way and waits for it to end, which it does at once.
  ~PrintWorker() override;

  // Starts printing `chart` on a thread of its own and returns at once; Finished tells how it
  // ended. Throws EPrinter "Printing in progress" while a printout is under way, which goes on.
  void Print(const YearChart &chart);

  // True from Print until Finished.
  bool Busy() const noexcept { return job_.Busy(); }

signals:
  // A printout has ended, on this object's thread: `error` is null when the page went to the
  // printer, and otherwise the EPrinter that says why not.
  void Finished(std::exception_ptr error);

private:
  Printer &printer_;
  BackgroundJob job_{Bound}; // last: a printout under way ends before the rest goes
};

} // namespace kolvex
