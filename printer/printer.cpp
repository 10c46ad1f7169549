#include "printer/printer.h"

namespace kolvex {

void PrintChart(const YearChart &) {
  throw EPrinter("There is no default printer currently selected");
}

} // namespace kolvex
