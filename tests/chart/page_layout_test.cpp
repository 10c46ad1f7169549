#include "chart/page_layout.h"

#include <vector>

#include <gtest/gtest.h>

#include "chart/legend.h"

namespace kolvex {
namespace {

TEST(UnitsForPage, WholeHundredthsAndHundredFiftiethsOfThePage) {
  const struct {
    std::int32_t width, height;
    std::uint16_t w, h;
  } cases[] = {{4800, 6600, 48, 44},    {4960, 7016, 49, 46}, {2480, 3508, 24, 23},
               {99, 149, 0, 0},         {100, 150, 1, 1},     {6553599, 9830399, 65535, 65535},
               {6553600, 9830400, 0, 0}}; // kept in 16 bits
  for (const auto &c : cases) {
    const PageUnits units = UnitsForPage(c.width, c.height);
    EXPECT_EQ(c.w, units.w) << c.width;
    EXPECT_EQ(c.h, units.h) << c.height;
  }
}

TEST(LayOutPage, ChartRowByRowThenTheLegend) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 2001});
  const std::vector<PlacedText> page = LayOutPage(chart, 4800, 6600); // W = 48, H = 44
  ASSERT_EQ(443u, page.size());

  const struct {
    std::size_t index;
    PlacedText text;
  } spots[] = {
      {0, {0, 0, ""}},
      {1, {240, 0, "янв"}},
      {12, {2880, 0, "дек"}},
      {13, {0, 88, "1"}},
      {14, {240, 88, std::string(chart.Text(1, 1))}},
      {30 * 13 + 2, {480, 2640, ""}}, // 30 February: empty, in its place all the same
      {31 * 13 + 12, {2880, 2728, std::string(chart.Text(12, 31))}},
      {416, {240, 2948, std::string(LegendTable[0])}},
      {442, {240, 5236, std::string(LegendTable[26])}},
  };
  for (const auto &s : spots) {
    EXPECT_EQ(s.text, page[s.index]) << s.index;
  }
}

} // namespace
} // namespace kolvex
