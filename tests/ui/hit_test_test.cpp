#include "ui/grid/hit_test.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

// Days 1 to 6 start at row 1, days 27 to 31 at row 22, the days between five rows under the top.
static_assert(TopRowForDay(1) == 1 && TopRowForDay(6) == 1 && TopRowForDay(7) == 2 &&
              TopRowForDay(26) == 21 && TopRowForDay(27) == 22 && TopRowForDay(31) == 22);

TEST(GridCellAt, FollowsTheCellPitchFromTheFirstVisibleCells) {
  struct Case {
    int x, y, leftCol, topRow;
    GridCell expected;
  };
  const Case cases[] = {
      // The fixed row and column own everything up to and including their lines.
      {0, 0, 1, 1, {0, 0}},
      {34, 19, 1, 1, {0, 0}},
      {34, 20, 1, 1, {0, 1}},
      {35, 19, 1, 1, {1, 0}},
      // A line belongs to the cell left of or above it.
      {35, 20, 1, 1, {1, 1}},
      {69, 39, 1, 1, {1, 1}},
      {70, 40, 1, 1, {2, 2}},
      // Counting starts at the first visible scrollable column and row.
      {35, 20, 2, 21, {2, 21}},
      {100, 45, 2, 10, {3, 11}},
      // Left of or above the grid (a drag after a press in the cells) falls to the fixed cells.
      {-1, 25, 1, 1, {0, 1}},
      {50, -300, 1, 5, {1, 0}},
      {-40, -40, 2, 21, {0, 0}},
      // The last column shows in part beside the vertical scroll bar.
      {440, 25, 1, 1, {12, 1}},
      // Beyond the view: hidden cells by the same rule, or no cell past the last.
      {100, 300, 1, 1, {2, 15}},
      {455, 25, 1, 1, {-1, -1}},
      {440, 25, 2, 1, {-1, -1}},
      {100, 239, 1, 21, {2, 31}},
      {100, 240, 1, 21, {-1, -1}},
      {100, 225, 1, 22, {-1, -1}},
      {-10, 700, 1, 1, {-1, -1}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.expected, GridCellAt(c.x, c.y, c.leftCol, c.topRow))
        << "at (" << c.x << ", " << c.y << ") from column " << c.leftCol << " row " << c.topRow;
  }
}

} // namespace
} // namespace kolvex
