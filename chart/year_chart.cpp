#include "chart/year_chart.h"

#include <algorithm>

#include "chart/calendar.h"

namespace kolvex {

namespace {

// The position of day t in a cycle, also for the days before birth (t < 0).
int CyclePosition(std::int64_t t, int length) noexcept {
  const std::int64_t r = t % length;
  return static_cast<int>(r < 0 ? r + length : r);
}

} // namespace

YearChart YearChart::Frame() noexcept {
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
  static const YearChart frame = Frame();
  YearChart chart = frame;
  chart.year_ = input.forecastYear;

  // t is the day of life of 1 January; the three positions follow it day by day.
  std::int64_t t = DaysLived(input.day, input.month, input.year, input.forecastYear);
  int physical = CyclePosition(t, PhysicalCycle);
  int emotional = CyclePosition(t, EmotionalCycle);
  int intellectual = CyclePosition(t, IntellectualCycle);
  for (int month = 1; month <= 12; ++month) {
    const int length = MonthLength(month, input.forecastYear);
    for (int day = 1; day <= length; ++day) {
      if (t >= 0) {
        chart.SetText(month, day, DayCode(physical, emotional, intellectual).Text());
      }
      ++t;
      physical = physical + 1 == PhysicalCycle ? 0 : physical + 1;
      emotional = emotional + 1 == EmotionalCycle ? 0 : emotional + 1;
      intellectual = intellectual + 1 == IntellectualCycle ? 0 : intellectual + 1;
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

void YearChart::SetText(int column, int row, std::string_view text) noexcept {
  Cell &cell = cells_[static_cast<std::size_t>(row * Columns + column)];
  cell.size = static_cast<std::uint8_t>(std::min(text.size(), cell.bytes.size()));
  std::copy_n(text.begin(), cell.size, cell.bytes.begin());
}

} // namespace kolvex
