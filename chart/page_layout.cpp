#include "chart/page_layout.h"

#include "chart/legend.h"

namespace kolvex {

PageUnits UnitsForPage(std::int32_t pageWidth, std::int32_t pageHeight) noexcept {
  return {static_cast<std::uint16_t>(pageWidth / PageWidthInW),
          static_cast<std::uint16_t>(pageHeight / PageHeightInH)};
}

std::vector<PlacedText> LayOutPage(const YearChart &chart, std::int32_t pageWidth,
                                   std::int32_t pageHeight) {
  const PageUnits units = UnitsForPage(pageWidth, pageHeight);
  const std::int32_t w = units.w;
  const std::int32_t h = units.h;

  std::vector<PlacedText> page;
  page.reserve(PlacedTextCount);
  for (int row = 0; row < YearChart::Rows; ++row) {
    for (int column = 0; column < YearChart::Columns; ++column) {
      page.push_back({column * w * CellWidthInW, row * h * CellHeightInH,
                      std::string(chart.Text(column, row))});
    }
  }
  for (int i = 1; i <= static_cast<int>(LegendTable.size()); ++i) {
    page.push_back({w * LegendLeftInW, (LegendLineHeightInH * i + LegendTopInH) * h,
                    std::string(LegendTable[static_cast<std::size_t>(i - 1)])});
  }
  return page;
}

} // namespace kolvex
