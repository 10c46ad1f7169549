#include "chart/year_chart.h"

#include <chrono>
#include <string>
#include <string_view>
#include <type_traits>

#include <gtest/gtest.h>

#include "chart/calendar.h"

namespace kolvex {
namespace {

namespace chrono = std::chrono;

static_assert(std::is_trivially_copyable_v<YearChart>);

// The three cycles from the birth date on, day by day, as the program's documentation tables them:
// "*" on the critical days, "+" between the first and the middle one, "-" after it.
constexpr std::string_view Cycles[] = {
    "*+++++++++++*----------",            // physical, 23 days
    "*+++++++++++++*-------------",       // emotional, 28 days
    "*++++++++++++++++*---------------"}; // intellectual, 33 days
static_assert(Cycles[0].size() == 23 && Cycles[1].size() == 28 && Cycles[2].size() == 33);

std::string ExpectedCode(std::int64_t t) {
  std::string code;
  for (const std::string_view cycle : Cycles) {
    code += cycle[static_cast<std::size_t>(t) % cycle.size()];
  }
  return code;
}

// The chart's text for day t of a life that began on 1 January 1900.
std::string ChartCode(std::int64_t t) {
  const chrono::year_month_day date{chrono::sys_days{chrono::year{1900} / 1 / 1} + chrono::days{t}};
  const YearChart chart = YearChart::Compute({1, 1, 1900, static_cast<int>(date.year())});
  return std::string(chart.Text(static_cast<int>(static_cast<unsigned>(date.month())),
                                static_cast<int>(static_cast<unsigned>(date.day()))));
}

// The days from the birth date to the given day, by the standard calendar; nothing when the day
// does not exist.
std::optional<std::int64_t> DaysSinceBirth(const BirthInput &b, int year, int month, int day) {
  const chrono::year_month_day date{chrono::year{year}, chrono::month{static_cast<unsigned>(month)},
                                    chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) {
    return std::nullopt;
  }
  const chrono::sys_days birth{chrono::year{b.year} / b.month / b.day};
  return (chrono::sys_days{date} - birth).count();
}

TEST(PhaseSymbol, TheMiddleOfAnOddCycleIsRoundedUp) {
  // 11 "+" days against 10 "-" days, 16 against 15.
  EXPECT_EQ('+', PhaseSymbol(11, 23));
  EXPECT_EQ('*', PhaseSymbol(12, 23));
  EXPECT_EQ('+', PhaseSymbol(16, 33));
  EXPECT_EQ('*', PhaseSymbol(17, 33));
}

TEST(YearChart, KnownDays) {
  const struct {
    std::int64_t t;
    std::string_view code;
  } cases[] = {{0, "***"},   {1, "+++"},    {12, "*++"},    {14, "-*+"},   {17, "--*"},
               {644, "***"}, {8872, "---"}, {21252, "***"}, {21253, "+++"}}; // 21252 = 23·28·33
  for (const auto &c : cases) {
    EXPECT_EQ(c.code, ExpectedCode(c.t)) << c.t;
    EXPECT_EQ(c.code, ChartCode(c.t)) << c.t;
  }
}

TEST(YearChart, WorkedExamples) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  EXPECT_EQ("---", chart.Text(1, 1)); // day 8872
  EXPECT_EQ(1999, chart.Year());
  EXPECT_EQ("+++", YearChart::Compute({31, 12, 1999, 2000}).Text(1, 1)); // day 1
}

TEST(YearChart, HeadersAndMissingDays) {
  const std::string_view months[] = {"янв", "фев", "мар", "апр", "май", "июн",
                                     "июл", "авг", "сен", "окт", "ноя", "дек"};
  for (const int year : {1999, 2000, 2001, 2099}) {
    const YearChart chart = YearChart::Compute({1, 1, 1, year});
    EXPECT_EQ("", chart.Text(0, 0));
    for (int month = 1; month <= 12; ++month) {
      EXPECT_EQ(months[month - 1], chart.Text(month, 0));
    }
    for (int day = 1; day <= 31; ++day) {
      EXPECT_EQ(std::to_string(day), chart.Text(0, day));
    }
    for (const auto &[month, day] :
         {std::pair{2, 30}, {2, 31}, {4, 31}, {6, 31}, {9, 31}, {11, 31}}) {
      EXPECT_EQ("", chart.Text(month, day)) << year << ": " << month << '/' << day;
    }
    EXPECT_EQ(IsLeapYear(year) ? 3u : 0u, chart.Text(2, 29).size()) << year;
  }
}

TEST(YearChart, RunsOnAcrossMonthsAndLeapDays) {
  const BirthInput birth{17, 9, 1974, 2000};
  const std::int64_t t = DaysLived(17, 9, 1974, 2000) + 31 + 28; // 29 February 2000
  const YearChart leap = YearChart::Compute(birth);
  EXPECT_EQ(ExpectedCode(t), leap.Text(2, 29));
  EXPECT_EQ(ExpectedCode(t + 1), leap.Text(3, 1));

  const YearChart common = YearChart::Compute({17, 9, 1974, 2001}); // right after a leap year
  const std::int64_t u = DaysLived(17, 9, 1974, 2001) + 31 + 27;    // 28 February 2001
  EXPECT_EQ("", common.Text(2, 29));
  EXPECT_EQ(ExpectedCode(u), common.Text(2, 28));
  EXPECT_EQ(ExpectedCode(u + 1), common.Text(3, 1));
}

TEST(YearChart, RunsOnFromDecemberIntoJanuary) {
  const BirthInput birth{17, 9, 1974, 1974};
  const std::int64_t end1999 = DaysLived(17, 9, 1974, 2000) - 1;
  EXPECT_EQ(ExpectedCode(end1999), YearChart::Compute({17, 9, 1974, 1999}).Text(12, 31));
  EXPECT_EQ(ExpectedCode(end1999 + 1), YearChart::Compute({17, 9, 1974, 2000}).Text(1, 1));
  // From the birth year into the next.
  EXPECT_EQ(ExpectedCode(105), YearChart::Compute(birth).Text(12, 31));
  EXPECT_EQ(ExpectedCode(106), YearChart::Compute({17, 9, 1974, 1975}).Text(1, 1));
}

TEST(YearChart, BirthYearStartsAtTheBirthDate) {
  const struct {
    BirthInput birth;
    int codes; // day cells that hold a code
  } cases[] = {{{17, 9, 1974, 1974}, 106},
               {{1, 1, 1974, 1974}, 365},
               {{31, 12, 1974, 1974}, 1},
               {{29, 2, 2000, 2000}, 307},
               {{1, 1, 1, 1}, 365}};
  for (const auto &c : cases) {
    const YearChart chart = YearChart::Compute(c.birth);
    EXPECT_EQ("***", chart.Text(c.birth.month, c.birth.day));
    int codes = 0;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        const bool beforeBirth =
            month < c.birth.month || (month == c.birth.month && day < c.birth.day);
        if (beforeBirth) {
          EXPECT_EQ("", chart.Text(month, day)) << month << '/' << day;
        }
        codes += !chart.Text(month, day).empty();
      }
    }
    EXPECT_EQ(c.codes, codes) << c.birth.day << '.' << c.birth.month << '.' << c.birth.year;
  }
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1974});
  EXPECT_EQ("", chart.Text(9, 16));
  EXPECT_EQ("+++", chart.Text(9, 18));
}

// Every cell of every chart a few people can ask for, against the standard calendar: the code of
// the days since birth where the day exists and the person is born, the empty text elsewhere.
TEST(YearChart, EveryCellOfEveryForecastYearAgreesWithTheCalendar) {
  const BirthInput births[] = {{1, 1, 1, 1},         {29, 2, 4, 4},       {31, 12, 99, 99},
                               {17, 9, 1974, 1974},  {29, 2, 2000, 2000}, {1, 3, 2000, 2000},
                               {31, 12, 2098, 2098}, {15, 6, 2099, 2099}};
  for (BirthInput input : births) {
    for (; input.forecastYear <= 2099; ++input.forecastYear) {
      const YearChart chart = YearChart::Compute(input);
      ASSERT_EQ(input.forecastYear, chart.Year());
      for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 31; ++day) {
          const auto t = DaysSinceBirth(input, input.forecastYear, month, day);
          const std::string expected = t && *t >= 0 ? ExpectedCode(*t) : "";
          ASSERT_EQ(expected, chart.Text(month, day))
              << input.day << '.' << input.month << '.' << input.year << " -> "
              << input.forecastYear << ", cell " << month << '/' << day;
        }
      }
    }
  }
}

TEST(YearChart, IsAValueComputedWhole) {
  const BirthInput input{17, 9, 1974, 1999};
  EXPECT_EQ(YearChart::Compute(input), YearChart::Compute(input));
  YearChart chart = YearChart::Compute({31, 12, 1999, 1999}); // nearly all empty
  const YearChart copy = chart;
  chart = YearChart::Compute(input);
  EXPECT_EQ("", copy.Text(1, 1));
  EXPECT_EQ("---", chart.Text(1, 1));
  EXPECT_NE(copy, chart);
}

TEST(YearChart, EmptyBeforeAnyComputationAndOutsideTheChart) {
  const YearChart chart;
  EXPECT_EQ(0, chart.Year());
  for (int column = 0; column < YearChart::Columns; ++column) {
    for (int row = 0; row < YearChart::Rows; ++row) {
      EXPECT_EQ("", chart.Text(column, row));
    }
  }
  const YearChart computed = YearChart::Compute({17, 9, 1974, 1999});
  for (const auto &[column, row] : {std::pair{-1, -1}, {-1, 1}, {1, -1}, {13, 1}, {1, 32}}) {
    EXPECT_EQ("", computed.Text(column, row)) << column << ',' << row;
  }
}

} // namespace
} // namespace kolvex
