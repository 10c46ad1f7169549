#pragma once

// Printing the year chart and its legend on one page of the default printer.

#include <stdexcept>

#include "chart/year_chart.h"

namespace kolvex {

// A printer failure; the message says what went wrong.
class EPrinter : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Prints the chart and the 27 legend lines on one page of the default printer. Throws EPrinter.
void PrintChart(const YearChart &chart);

} // namespace kolvex
