#pragma once

// Calendar arithmetic on plain proleptic Gregorian year, month and day numbers, and the Russian
// month and weekday names the windows and the printout show. Year 0 exists and is a leap year.
// Every count here runs in constant time, whatever the year.

#include <array>
#include <cstdint>
#include <string_view>

namespace kolvex {

inline constexpr std::array<int, 12> MonthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Month names in the genitive case, as they follow a day number in a date ("17 сентября").
inline constexpr std::array<std::string_view, 12> MonthNamesGenitive{
    "января", "февраля", "марта",    "апреля",  "мая",    "июня",
    "июля",   "августа", "сентября", "октября", "ноября", "декабря"};

// Month names in the nominative case, as a month stands alone ("март 2030").
inline constexpr std::array<std::string_view, 12> MonthNamesNominative{
    "январь", "февраль", "март",     "апрель",  "май",    "июнь",
    "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};

// Column headers of the year chart.
inline constexpr std::array<std::string_view, 12> MonthAbbreviations{
    "янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"};

// Indexed by (DayOrdinal + 2) mod 7, so index 0 is Wednesday. The trailing spaces belong to the
// names: the date line shows them.
inline constexpr std::array<std::string_view, 7> WeekdayNames{
    "среда        ",   // 8 spaces
    "четверг        ", // 8 spaces
    "пятница      ",   // 6 spaces
    "суббота    ",     // 4 spaces
    "воскресенье  ",   // 2 spaces
    "понедельник   ",  // 3 spaces
    "вторник   ",      // 3 spaces
};

// True for years divisible by 4 and not by 100, or divisible by 400; year 0 included.
constexpr bool IsLeapYear(std::int64_t year) noexcept {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days in `month` (1 to 12) of `year`: 29 for February of a leap year.
constexpr int MonthLength(int month, std::int64_t year) noexcept {
  return month == 2 && IsLeapYear(year) ? 29 : MonthLengths[static_cast<std::size_t>(month - 1)];
}

// Days in the years 0 to year − 1; 0 when year ≤ 0.
constexpr std::int64_t DaysBeforeYear(std::int64_t year) noexcept {
  if (year <= 0) {
    return 0;
  }
  const std::int64_t last = year - 1; // years 1..last follow year 0, which has 366 days
  return 366 + 365 * last + last / 4 - last / 100 + last / 400;
}

// Days in the months 1 to month − 1 of `year`; `month` is 1 to 12.
constexpr std::int64_t DaysBeforeMonth(int month, std::int64_t year) noexcept {
  constexpr std::array<int, 12> kCommonYear{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  return kCommonYear[static_cast<std::size_t>(month - 1)] + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

// The number of days from the start of year 0 up to and including the given day. The day is not
// checked against the month's length: day 31 of a 30-day month counts one day further, which is
// the 1st of the next month.
constexpr std::int64_t DayOrdinal(std::int64_t year, int month, std::int64_t day) noexcept {
  return DaysBeforeYear(year) + DaysBeforeMonth(month, year) + day;
}

// Days from the birth date to 1 January of the forecast year: the birth date is day 0 of a life,
// so 1 January of the forecast year is day DaysLived. Negative when the forecast year is the birth
// year and the birth date is later than 1 January.
constexpr std::int64_t DaysLived(int birthDay, int birthMonth, std::int64_t birthYear,
                                 std::int64_t forecastYear) noexcept {
  return DayOrdinal(forecastYear, 1, 1) - DayOrdinal(birthYear, birthMonth, birthDay);
}

// Index into WeekdayNames of the given day (day may run past the month's end, as in DayOrdinal).
constexpr int WeekdayIndex(std::int64_t year, int month, std::int64_t day) noexcept {
  const std::int64_t r = (DayOrdinal(year, month, day) + 2) % 7;
  return static_cast<int>(r < 0 ? r + 7 : r);
}

constexpr std::string_view WeekdayName(std::int64_t year, int month, std::int64_t day) noexcept {
  return WeekdayNames[static_cast<std::size_t>(WeekdayIndex(year, month, day))];
}

static_assert(DayOrdinal(0, 1, 1) == 1);
static_assert(DayOrdinal(1, 1, 1) == 367);
static_assert(WeekdayIndex(2000, 1, 1) == 3);  // Saturday
static_assert(WeekdayIndex(2026, 12, 7) == 5); // Monday
static_assert(DaysLived(17, 9, 1974, 1999) == 8872);

} // namespace kolvex
