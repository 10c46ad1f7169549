#pragma once

#include <cstdint>

namespace kolvex {

// A local calendar date as the program keeps today's date.
struct Today {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;

  friend bool operator==(const Today &, const Today &) = default;
};

} // namespace kolvex
