#include "people/person.h"

#include "chart/birth_input.h"

namespace kolvex {

bool IsChartable(const BirthDate &date) noexcept {
  return IsInRange({date.day, date.month, date.year, date.year});
}

} // namespace kolvex
