#include "people/person.h"

#include "chart/birth_input.h"

namespace kolvex {

bool IsChartable(const BirthDate &birth) noexcept {
  return IsInRange({birth.day, birth.month, birth.year, birth.year});
}

} // namespace kolvex
