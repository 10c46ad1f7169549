#include "chart/birth_input.h"

#include "chart/calendar.h"

namespace kolvex {

bool IsInRange(const BirthInput &input) noexcept {
  return input.year > 0 && input.year < 2100 && input.year <= input.forecastYear &&
         input.month >= 1 && input.month <= 12 && input.day >= 1 &&
         input.day <= MonthLength(input.month, input.year) && input.forecastYear > 0 &&
         input.forecastYear < 2100;
}

} // namespace kolvex
