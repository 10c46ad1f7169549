#pragma once

// The printed page: the chart at the top, the 27 legend lines under it, every text at a fixed
// fraction of the page.

#include <cstdint>
#include <string>
#include <vector>

#include "chart/year_chart.h"

namespace kolvex {

// A text and the device pixel of its top-left corner.
struct PlacedText {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::string text;

  friend bool operator==(const PlacedText &, const PlacedText &) = default;
};

// The column unit W (a hundredth of the page width) and the row unit H (a hundred-and-fiftieth of
// its height), whole device pixels kept as 16-bit unsigned numbers.
struct PageUnits {
  std::uint16_t w = 0;
  std::uint16_t h = 0;
};

PageUnits UnitsForPage(std::int32_t pageWidth, std::int32_t pageHeight) noexcept;

// The face a canvas starts with, the program's face on the screen and on the printed page.
inline constexpr const char *DefaultFontFace = "MS Sans Serif";

inline constexpr int PlacedTextCount = YearChart::Columns * YearChart::Rows + 27;

// The 443 texts of the page in drawing order: the chart row by row, cell (c, r) at (5cW, 2rH),
// empty cells included, then legend line i (1 to 27) at (5W, (2i + 65)H).
std::vector<PlacedText> LayOutPage(const YearChart &chart, std::int32_t pageWidth,
                                   std::int32_t pageHeight);

} // namespace kolvex
