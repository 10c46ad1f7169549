#include "chart/cycle_values.h"

#include <cmath>
#include <numbers>

#include "chart/year_chart.h"

namespace kolvex {

double CycleHeight(double t, int length) noexcept {
  // Reduced to one period first, so the sine stays exact for lives of many thousands of days.
  const double position = std::fmod(t, length);
  return std::sin(2 * std::numbers::pi * position / length);
}

int CyclePercent(std::int64_t t, int length) noexcept {
  const std::int64_t position = ((t % length) + length) % length;
  return static_cast<int>(std::lround(100 * CycleHeight(static_cast<double>(position), length)));
}

CyclePercents CyclePercentsOn(std::int64_t t) noexcept {
  return {CyclePercent(t, Cycles[0].length), CyclePercent(t, Cycles[1].length),
          CyclePercent(t, Cycles[2].length)};
}

} // namespace kolvex
