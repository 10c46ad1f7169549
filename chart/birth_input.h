#pragma once

// The birth date and forecast year a chart is computed for, and the check of their range.

#include <cstdint>
#include <string_view>

#include "chart/calendar.h"

namespace kolvex {

struct BirthInput {
  std::int32_t day = 0;
  std::int32_t month = 0; // 1 = January ... 12 = December
  std::int32_t year = 0;
  std::int32_t forecastYear = 0;

  friend bool operator==(const BirthInput &, const BirthInput &) = default;
};

// What the program says, in a box of its own, about numbers out of range.
inline constexpr std::string_view InvalidDataMessage = "Неверные данные";

// Days from the birth date to `day` of `month` of the forecast year: the birth date is day 0 of a
// life, a day before it is negative. The day may run past the month's end, as in DayOrdinal.
constexpr std::int64_t DaysSinceBirth(const BirthInput &input, int month,
                                      std::int64_t day) noexcept {
  return DayOrdinal(input.forecastYear, month, day) -
         DayOrdinal(input.year, input.month, input.day);
}

// True when the date exists, its year lies in 1..2099 and the forecast year in year..2099.
bool IsInRange(const BirthInput &input) noexcept;

} // namespace kolvex
