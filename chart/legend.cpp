#include "chart/legend.h"

#include <algorithm>
#include <charconv>

#include "chart/calendar.h"
#include "chart/cycle_values.h"

namespace kolvex {

namespace {

constexpr std::string_view ScanLegendTable(std::string_view cellText) noexcept {
  std::string_view line = LegendPrompt;
  if (cellText.empty()) {
    return line;
  }
  for (std::string_view candidate : LegendTable) {
    if (candidate.find(cellText) != std::string_view::npos) {
      line = candidate;
    }
  }
  return line;
}

constexpr int SymbolDigit(char symbol) noexcept {
  return symbol == '+' ? 0 : symbol == '-' ? 1 : symbol == '*' ? 2 : -1;
}

// The scan's answer for each of the 27 codes, indexed by the code read as three base-3 digits,
// made when the program is compiled so that a chart cell needs no scan.
constexpr std::array<std::string_view, 27> CodeLegends() noexcept {
  constexpr std::string_view symbols = "+-*";
  std::array<std::string_view, 27> lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::array<char, 3> code{symbols[i / 9], symbols[i / 3 % 3], symbols[i % 3]};
    lines[i] = ScanLegendTable({code.data(), code.size()});
  }
  return lines;
}

void AppendNumber(std::string &out, std::int64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), result.ptr);
}

// "17 сентября 1999": the day number, the month in the genitive and the year.
std::string DayMonthYear(std::int64_t year, int month, std::int64_t day) {
  const std::string_view name = MonthNamesGenitive[static_cast<std::size_t>(month - 1)];
  std::string date;
  date.reserve(64); // room for the weekday that the callers append
  AppendNumber(date, day);
  date.append(" ").append(name).append(" ");
  AppendNumber(date, year);
  return date;
}

// A saying as speech reads it: a dash between words and an opening bracket become a comma's pause,
// a hyphen inside a word ("что-нибудь") a space. No saying begins with a dash or a bracket.
std::string SpokenSaying(std::string_view saying) {
  std::string spoken;
  for (std::size_t i = 0; i < saying.size(); ++i) {
    const char c = saying[i];
    if (c == '(') {
      spoken.back() = ','; // "гостей (баню": "гостей, баню"
      spoken += ' ';
    } else if (c == ')') {
      continue;
    } else if (c == '-') {
      const bool between = i > 0 && saying[i - 1] == ' ';
      if (between) {
        spoken.back() = ','; // "судьбу - караулит": "судьбу, караулит"
        ++i;                 // the space after the dash is the comma's
        spoken += ' ';
      } else {
        spoken += ' ';
      }
    } else {
      spoken += c;
    }
  }
  return spoken;
}

// A percent in words for speech: "минус 10 процентов", "1 процент", "22 процента".
std::string SpokenPercent(int percent) {
  std::string spoken = percent < 0 ? "минус " : "";
  const int size = percent < 0 ? -percent : percent;
  AppendNumber(spoken, size);
  const int last = size % 10;
  const bool teen = size % 100 >= 11 && size % 100 <= 14;
  spoken += teen || last == 0 || last >= 5 ? " процентов" : last == 1 ? " процент" : " процента";
  return spoken;
}

} // namespace

std::string_view LegendLine(std::string_view cellText) noexcept {
  if (cellText.size() == 3) {
    const int a = SymbolDigit(cellText[0]);
    const int b = SymbolDigit(cellText[1]);
    const int c = SymbolDigit(cellText[2]);
    if (a >= 0 && b >= 0 && c >= 0) {
      static constexpr std::array<std::string_view, 27> legends = CodeLegends();
      return legends[static_cast<std::size_t>(a * 9 + b * 3 + c)];
    }
  }
  return ScanLegendTable(cellText);
}

DayDescription DescribeCell(const YearChart &chart, int column, int row) {
  DayDescription description;
  const bool dayCell =
      column >= 1 && column < YearChart::Columns && row >= 1 && row < YearChart::Rows;
  description.legend = dayCell ? LegendLine(chart.Text(column, row)) : LegendPrompt;
  if (dayCell) {
    description.date = DayMonthYear(chart.Year(), column, row)
                           .append("  ")
                           .append(WeekdayName(chart.Year(), column, row));
  }
  return description;
}

std::string DateWithWeekday(std::int64_t year, int month, int day) {
  const std::string_view weekday = WeekdayName(year, month, day);
  return DayMonthYear(year, month, day).append(", ").append(weekday.substr(0, weekday.find(' ')));
}

SpokenDay SpeakDay(const YearChart &chart, int month, int day) {
  if (day > MonthLength(month, chart.Year())) {
    return {DayMonthYear(chart.Year(), month, day).append(", такого дня нет"), {}};
  }
  const std::string_view code = chart.Text(month, day);
  if (code.empty()) {
    return {DateWithWeekday(chart.Year(), month, day).append(", до рождения"), {}};
  }
  const std::string_view legend = LegendLine(code);
  return {DateWithWeekday(chart.Year(), month, day).append(", ").append(SpokenCode(code)),
          SpokenSaying(legend.substr(std::min(legend.size(), code.size() + 1)))};
}

std::string SpokenCode(std::string_view code) {
  std::string spoken;
  for (const char symbol : code) {
    spoken.append(spoken.empty() ? "" : ", ")
        .append(symbol == '+'   ? "плюс"
                : symbol == '-' ? "минус"
                                : "критический");
  }
  return spoken;
}

CursorDay DescribeCursorDay(const YearChart &chart, const BirthInput &birth, int month, int day) {
  const std::string date = DateWithWeekday(chart.Year(), month, day);
  BirthInput shown = birth;
  shown.forecastYear = chart.Year();
  const std::int64_t t = DaysSinceBirth(shown, month, day);
  if (t < 0) {
    return {date + ": до рождения", date + ", до рождения"};
  }
  const CyclePercents percents = CyclePercentsOn(t);
  const int values[] = {percents.physical, percents.emotional, percents.intellectual};
  CursorDay cursor{date + ": ", date};
  for (std::size_t i = 0; i < Cycles.size(); ++i) {
    cursor.shown.append(Cycles[i].name).append(" ");
    AppendNumber(cursor.shown, values[i]);
    cursor.shown.append(" %, ");
    cursor.spoken.append(", ").append(Cycles[i].name).append(" ").append(SpokenPercent(values[i]));
  }
  const std::string_view code = chart.Text(month, day);
  cursor.shown.append(code);
  cursor.spoken.append(", ").append(SpokenCode(code));
  return cursor;
}

} // namespace kolvex
