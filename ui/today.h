#pragma once

#include <cstdint>
#include <functional>

namespace kolvex {

// A local calendar date as the program keeps today's date.
struct Today {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;

  friend bool operator==(const Today &, const Today &) = default;
};

// Where the program reads today's date; tests put a fixed date in its place.
using TodayClock = std::function<Today()>;

// Today's date on the local clock.
Today LocalToday();

} // namespace kolvex
