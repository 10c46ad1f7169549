#pragma once

// The year chart: for every day of the forecast year a three-symbol code telling where the
// physical (23-day), emotional (28-day) and intellectual (33-day) cycles stand.

#include <array>
#include <cstdint>
#include <string_view>

#include "chart/birth_input.h"

namespace kolvex {

// A biorhythm cycle: its length in days, its name as the windows and the calendar say it, and
// its key in the JSON of a year.
struct Cycle {
  int length;
  std::string_view name;
  std::string_view key;
};

// The three cycles, in the order of a code's symbols. Everything that names or counts a cycle
// reads this table.
inline constexpr std::array<Cycle, 3> Cycles{{
    {23, "физический", "physical"},
    {28, "эмоциональный", "emotional"},
    {33, "интеллектуальный", "intellectual"},
}};
inline constexpr int PhysicalCycle = Cycles[0].length;
inline constexpr int EmotionalCycle = Cycles[1].length;
inline constexpr int IntellectualCycle = Cycles[2].length;

// Where a cycle of `length` days stands at `position` (0 to length − 1): '*' at the start and at
// the middle critical day ⌈length / 2⌉, '+' in the first half, '-' in the second.
constexpr char PhaseSymbol(int position, int length) noexcept {
  const int middle = (length + 1) / 2;
  if (position == 0 || position == middle) {
    return '*';
  }
  return position < middle ? '+' : '-';
}

// 13 columns by 32 rows of texts, addressed (column, row): the corner (0, 0) empty, the month
// abbreviations in row 0, the day numbers in column 0, and in cell (month, day) the code of that
// day of the year: its three phase symbols in the order physical, emotional, intellectual, the
// birth date "***", or the empty text where the day does not exist in the year (or, in the
// birth year, comes before the birth date). A chart knows the year it was computed for.
// It is a plain value: copying one copies every text.
class YearChart {
public:
  static constexpr int Columns = 13;
  static constexpr int Rows = 32;

  // A chart with every text empty, for year 0: what a window shows before any computation.
  constexpr YearChart() = default;

  // Computes the whole chart of the input's forecast year afresh. The input must have passed
  // IsInRange; for such an input it cannot fail.
  static YearChart Compute(const BirthInput &input) noexcept;

  // The text of a cell; the empty text for a position outside the chart.
  std::string_view Text(int column, int row) const noexcept;

  std::int32_t Year() const noexcept { return year_; }

  friend bool operator==(const YearChart &, const YearChart &) = default;

private:
  // Room for the longest text: a month abbreviation, three Cyrillic letters of two bytes each.
  struct Cell {
    std::uint8_t size = 0;
    std::array<char, 7> bytes{};
    friend bool operator==(const Cell &, const Cell &) = default;
  };

  constexpr Cell &CellAt(int column, int row) noexcept {
    return cells_[static_cast<std::size_t>(row * Columns + column)];
  }
  static constexpr YearChart Frame() noexcept;
  constexpr void SetText(int column, int row, std::string_view text) noexcept;

  std::array<Cell, Columns * Rows> cells_{};
  std::int32_t year_ = 0;
};

} // namespace kolvex
