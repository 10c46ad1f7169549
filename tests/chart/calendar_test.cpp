#include "chart/calendar.h"

#include <algorithm>
#include <chrono>
#include <string_view>

#include <gtest/gtest.h>

namespace kolvex {
namespace {

namespace chrono = std::chrono;

// Every year a birth date or a forecast year may have, and year 0 where the day count starts.
constexpr int FirstYear = 0;
constexpr int LastYear = 2099;

// Day `day` of the month counted on from its 1st, so day 31 of April is 1 May, as the program
// counts past a month's end.
chrono::sys_days CountedOn(int year, int month, int day) {
  return chrono::sys_days{chrono::year{year} / month / 1} + chrono::days{day - 1};
}

// The program's weekday index: 0 is Wednesday.
int WeekdayIndexOf(chrono::sys_days date) {
  return static_cast<int>((chrono::weekday{date}.c_encoding() + 7 - 3) % 7);
}

TEST(IsLeapYear, GregorianRule) {
  const struct {
    std::int64_t year;
    bool leap;
  } cases[] = {{0, true},    {1, false},    {4, true},     {100, false},  {400, true},
               {1600, true}, {1900, false}, {1972, true},  {1974, false}, {2000, true},
               {2024, true}, {2099, false}, {2100, false}, {-4, true},    {-100, false}};
  for (const auto &c : cases) {
    EXPECT_EQ(c.leap, IsLeapYear(c.year)) << c.year;
  }
  for (int year = FirstYear; year <= LastYear; ++year) {
    ASSERT_EQ(chrono::year{year}.is_leap(), IsLeapYear(year)) << year;
  }
}

TEST(MonthLength, AgreesWithTheCalendarForEveryMonth) {
  for (int year = FirstYear; year <= LastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      const chrono::year_month_day_last last{
          chrono::year{year} / chrono::month{static_cast<unsigned>(month)} / chrono::last};
      ASSERT_EQ(static_cast<int>(static_cast<unsigned>(last.day())), MonthLength(month, year))
          << year << '-' << month;
    }
  }
}

// Every day 1 to 31 of every month of every year, days past a month's end included.
TEST(DayOrdinal, CountsFromTheStartOfYearZeroLikeTheCalendar) {
  const chrono::sys_days yearZero = CountedOn(0, 1, 1);
  for (int year = FirstYear; year <= LastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        const chrono::sys_days date = CountedOn(year, month, day);
        ASSERT_EQ((date - yearZero).count() + 1, DayOrdinal(year, month, day))
            << year << '-' << month << '-' << day;
        ASSERT_EQ(WeekdayIndexOf(date), WeekdayIndex(year, month, day))
            << year << '-' << month << '-' << day;
      }
    }
  }
}

// Every birth date the input admits, with the forecast years that show the most: the birth year
// itself (a signed difference), the next year and the last admitted year.
TEST(DaysLived, IsTheDayDifferenceForEveryBirthDate) {
  for (int year = 1; year <= LastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day) {
        const chrono::sys_days birth = CountedOn(year, month, day);
        for (const int forecast : {year, std::min(year + 1, LastYear), LastYear}) {
          ASSERT_EQ((CountedOn(forecast, 1, 1) - birth).count(),
                    DaysLived(day, month, year, forecast))
              << day << '.' << month << '.' << year << " -> " << forecast;
        }
      }
    }
  }
}

TEST(DaysLived, EveryForecastYearOfAFewBirthDates) {
  const struct {
    int day, month, year;
  } births[] = {{1, 1, 1}, {29, 2, 4}, {31, 12, 99}, {17, 9, 1974}, {1, 3, 2000}, {31, 12, 2098}};
  for (const auto &b : births) {
    const chrono::sys_days birth = CountedOn(b.year, b.month, b.day);
    for (int forecast = b.year; forecast <= LastYear; ++forecast) {
      ASSERT_EQ((CountedOn(forecast, 1, 1) - birth).count(),
                DaysLived(b.day, b.month, b.year, forecast))
          << b.day << '.' << b.month << '.' << b.year << " -> " << forecast;
    }
  }
}

TEST(DaysLived, WorkedExamples) {
  const struct {
    int day, month, year, forecast;
    std::int64_t days;
  } cases[] = {
      {17, 9, 1974, 1999, 8872}, {31, 12, 1999, 2000, 1}, {29, 2, 1972, 2000, 10168},
      {1, 1, 2000, 2001, 366},   {1, 1, 1999, 2000, 365}, {1, 1, 1974, 1974, 0},
      {17, 9, 1974, 1974, -259}, // birth year: 1 January lies 259 days before the birth date
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.days, DaysLived(c.day, c.month, c.year, c.forecast))
        << c.day << '.' << c.month << '.' << c.year << " -> " << c.forecast;
  }
}

TEST(WeekdayName, WorkedExamples) {
  EXPECT_EQ("суббота    ", WeekdayName(2000, 1, 1));
  EXPECT_EQ("пятница      ", WeekdayName(1999, 9, 17));
  EXPECT_EQ("понедельник   ", WeekdayName(2026, 12, 7));
  EXPECT_EQ("понедельник   ", WeekdayName(2026, 11, 37)); // counted on past the month's end
}

// The trailing spaces are part of what the date line shows; lengths are in letters.
TEST(WeekdayNames, KeepTheirTrailingSpaces) {
  const struct {
    std::string_view word;
    std::size_t spaces;
    std::size_t letters;
  } names[] = {{"среда", 8, 13},   {"четверг", 8, 15},     {"пятница", 6, 13},
               {"суббота", 4, 11}, {"воскресенье", 2, 13}, {"понедельник", 3, 14},
               {"вторник", 3, 10}};
  for (std::size_t i = 0; i < WeekdayNames.size(); ++i) {
    const std::string_view name = WeekdayNames[i];
    const std::size_t spaces = name.size() - name.find_last_not_of(' ') - 1;
    const std::size_t cyrillicLetters = (name.size() - spaces) / 2; // two bytes each in UTF-8
    EXPECT_EQ(names[i].word, name.substr(0, name.size() - spaces)) << i;
    EXPECT_EQ(names[i].spaces, spaces) << i;
    EXPECT_EQ(names[i].letters, cyrillicLetters + spaces) << i;
  }
}

} // namespace
} // namespace kolvex
