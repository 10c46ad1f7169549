#include "chart/year_chart.h"

#include <algorithm>
#include <cassert>

#include "chart/calendar.h"

namespace kolvex {

namespace {

// The symbols of a cycle from position 0 on, long enough to run through a whole year from any
// starting position without wrapping: a day's code is three look-ups at one common offset.
template <int Length> constexpr std::array<char, Length + 366> CycleSymbols() noexcept {
  std::array<char, Length + 366> symbols{};
  for (int i = 0; i < Length + 366; ++i) {
    symbols[static_cast<std::size_t>(i)] = PhaseSymbol(i % Length, Length);
  }
  return symbols;
}

constexpr auto PhysicalSymbols = CycleSymbols<PhysicalCycle>();
constexpr auto EmotionalSymbols = CycleSymbols<EmotionalCycle>();
constexpr auto IntellectualSymbols = CycleSymbols<IntellectualCycle>();

// The position of day t (≥ 0) in a cycle.
constexpr std::size_t CyclePosition(std::int64_t t, int length) noexcept {
  return static_cast<std::size_t>(t % length);
}

} // namespace

constexpr void YearChart::SetText(int column, int row, std::string_view text) noexcept {
  Cell &cell = CellAt(column, row);
  cell.size = static_cast<std::uint8_t>(std::min(text.size(), cell.bytes.size()));
  std::copy_n(text.begin(), cell.size, cell.bytes.begin());
}

constexpr YearChart YearChart::Frame() noexcept {
  YearChart chart;
  for (int month = 1; month <= 12; ++month) {
    chart.SetText(month, 0, MonthAbbreviations[static_cast<std::size_t>(month - 1)]);
  }
  constexpr std::string_view digits = "0123456789";
  for (int day = 1; day <= 31; ++day) {
    const std::array<char, 2> text{digits[static_cast<std::size_t>(day / 10)],
                                   digits[static_cast<std::size_t>(day % 10)]};
    chart.SetText(0, day,
                  day < 10 ? std::string_view(&text[1], 1) : std::string_view(text.data(), 2));
  }
  return chart;
}

YearChart YearChart::Compute(const BirthInput &input) noexcept {
  assert(IsInRange(input));
  // The headers are the same in every chart: made once, when the program is compiled.
  static constexpr YearChart frame = Frame();
  YearChart chart = frame;
  chart.year_ = input.forecastYear;

  // t is the day of life of 1 January; from there the three cycles run on day by day. In the
  // birth year t is below 0: the days before the birth date stay empty and the cycles start at
  // the birth date, day 0.
  const std::int64_t t = DaysLived(input.day, input.month, input.year, input.forecastYear);
  std::int64_t unborn = t < 0 ? -t : 0;
  const char *physical = &PhysicalSymbols[CyclePosition(t + unborn, PhysicalCycle)];
  const char *emotional = &EmotionalSymbols[CyclePosition(t + unborn, EmotionalCycle)];
  const char *intellectual = &IntellectualSymbols[CyclePosition(t + unborn, IntellectualCycle)];
  for (int month = 1; month <= 12; ++month) {
    const int length = MonthLength(month, input.forecastYear);
    int day = 1;
    if (unborn > 0) {
      const int skipped = static_cast<int>(std::min<std::int64_t>(unborn, length));
      day += skipped;
      unborn -= skipped;
    }
    for (; day <= length; ++day) {
      chart.CellAt(month, day) = Cell{3, {*physical++, *emotional++, *intellectual++}};
    }
  }
  return chart;
}

std::string_view YearChart::Text(int column, int row) const noexcept {
  if (column < 0 || column >= Columns || row < 0 || row >= Rows) {
    return {};
  }
  const Cell &cell = cells_[static_cast<std::size_t>(row * Columns + column)];
  return {cell.bytes.data(), cell.size};
}

} // namespace kolvex
