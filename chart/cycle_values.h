#pragma once

// How high each cycle stands on a day, in percent of its peak: the numbers behind the three-symbol
// codes, for the curves and for scripts. They agree with the codes: a "+" day is above zero, a
// "-" day below, and a curve crosses zero on the "*" days (for the odd cycles the middle critical
// day lies just past the crossing, at -14 % and -10 %).

#include <array>
#include <cstdint>
#include <string_view>

namespace kolvex {

// sin(2π t / length) for t days since birth (any real t; fractions give the curve between days).
double CycleHeight(double t, int length) noexcept;

// round(100 sin(2π t / length)), -100 to 100, for whole days t since birth (negative t too).
int CyclePercent(std::int64_t t, int length) noexcept;

struct CyclePercents {
  int physical = 0;
  int emotional = 0;
  int intellectual = 0;

  // The three in the order of the Cycles table.
  constexpr std::array<int, 3> InOrder() const noexcept {
    return {physical, emotional, intellectual};
  }

  friend bool operator==(const CyclePercents &, const CyclePercents &) = default;
};

// The three cycles' percents on day t since birth.
CyclePercents CyclePercentsOn(std::int64_t t) noexcept;

} // namespace kolvex
