#include "chart/year_chart.h"

#include <gtest/gtest.h>

#include "chart/legend.h"

namespace kolvex {
namespace {

TEST(YearChart, FirstOfJanuaryOfTheWorkedExample) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  EXPECT_EQ("---", chart.Text(1, 1));
  EXPECT_EQ(1999, chart.Year());
}

TEST(DescribeCell, WorkedExample) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  EXPECT_EQ("17 сентября 1999  пятница      ", DescribeCell(chart, 9, 17).date);
}

} // namespace
} // namespace kolvex
