#pragma once

// A forecast: what the input window hands on to the windows that show a chart.

#include "chart/birth_input.h"
#include "chart/year_chart.h"

namespace kolvex {

// The checked birth input and the year chart computed from it, kept together wherever both are
// needed: the chart for its codes, the input for the birth date behind them.
struct Forecast {
  BirthInput input;
  YearChart chart;

  // The forecast of an input that passed IsInRange.
  static Forecast Of(const BirthInput &checked) noexcept {
    return {checked, YearChart::Compute(checked)};
  }

  friend bool operator==(const Forecast &, const Forecast &) = default;
};

} // namespace kolvex
