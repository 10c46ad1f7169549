#include "chart/cycle_values.h"

#include <gtest/gtest.h>

#include "chart/calendar.h"
#include "chart/year_chart.h"

namespace kolvex {
namespace {

// Percents that GNU gcal prints for the same births and days ("Phy=-100% Emo=-078% Int=-081%").
TEST(CyclePercentsOn, AgreesWithGcal) {
  struct Case {
    int birthDay, birthMonth, birthYear, year, month, day;
    CyclePercents expected;
  };
  const Case cases[] = {
      {17, 9, 1974, 1999, 1, 1, {-100, -78, -81}}, {17, 9, 1974, 1999, 9, 17, {0, 62, -95}},
      {17, 9, 1974, 2030, 3, 13, {73, -97, 69}},   {17, 9, 1974, 1974, 9, 18, {27, 22, 19}},
      {17, 9, 1974, 1974, 10, 1, {-63, 0, 46}},    {29, 2, 1972, 1999, 1, 1, {98, 62, 37}},
      {29, 2, 1972, 2000, 12, 31, {-27, 90, 91}},  {29, 2, 1972, 1974, 9, 18, {-14, 97, 100}},
      {29, 2, 1972, 1974, 10, 1, {52, -100, -76}},
  };
  for (const Case &c : cases) {
    const std::int64_t t =
        DayOrdinal(c.year, c.month, c.day) - DayOrdinal(c.birthYear, c.birthMonth, c.birthDay);
    EXPECT_EQ(c.expected, CyclePercentsOn(t)) << c.year << '-' << c.month << '-' << c.day;
  }
}

// Every day of a few years: "+" above zero, "-" below, "*" where the curve crosses zero (the
// middle critical day of an odd cycle just past it).
TEST(CyclePercentsOn, SignsAgreeWithTheCodes) {
  for (const int year : {1974, 1999, 2000, 2030, 2099}) {
    const YearChart chart = YearChart::Compute({17, 9, 1974, year});
    std::int64_t t = DaysLived(17, 9, 1974, year);
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(month, year); ++day, ++t) {
        const std::string_view code = chart.Text(month, day);
        if (code.empty()) {
          continue; // before the birth date
        }
        const CyclePercents p = CyclePercentsOn(t);
        const int values[] = {p.physical, p.emotional, p.intellectual};
        for (int i = 0; i < 3; ++i) {
          const int v = values[i];
          switch (code[static_cast<std::size_t>(i)]) {
          case '+':
            EXPECT_GT(v, 0) << year << '-' << month << '-' << day;
            break;
          case '-':
            EXPECT_LT(v, 0) << year << '-' << month << '-' << day;
            break;
          default:
            EXPECT_TRUE(v == 0 || v == -14 || v == -10) << v;
            break;
          }
        }
      }
    }
  }
  EXPECT_EQ(0, CyclePercent(-23, PhysicalCycle));
  EXPECT_EQ(-27, CyclePercent(-1, PhysicalCycle));
}

} // namespace
} // namespace kolvex
