// The chart must be instant: a whole YearChart well under 2 us, one cell's description under
// 200 ns, and neither may cost more for a later year.

#include <benchmark/benchmark.h>

#include "chart/calendar.h"
#include "chart/input_reader.h"
#include "chart/legend.h"
#include "chart/year_chart.h"

namespace {

void BM_YearChart(benchmark::State &state, kolvex::BirthInput input) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(input);
    benchmark::DoNotOptimize(kolvex::YearChart::Compute(input));
  }
}
BENCHMARK_CAPTURE(BM_YearChart, 17.9.1974_1999, kolvex::BirthInput{17, 9, 1974, 1999});
// Born 1 January of year 1: a chart of an early, a middle and the last year.
BENCHMARK_CAPTURE(BM_YearChart, 1.1.1_1, kolvex::BirthInput{1, 1, 1, 1});
BENCHMARK_CAPTURE(BM_YearChart, 1.1.1_1000, kolvex::BirthInput{1, 1, 1, 1000});
BENCHMARK_CAPTURE(BM_YearChart, 1.1.1_2099, kolvex::BirthInput{1, 1, 1, 2099});
// The birth year, nearly all of it before the birth date.
BENCHMARK_CAPTURE(BM_YearChart, 31.12.1974_1974, kolvex::BirthInput{31, 12, 1974, 1974});

// One mouse movement over a day cell, in a chart of the year given.
void BM_DescribeCell(benchmark::State &state) {
  const kolvex::YearChart chart =
      kolvex::YearChart::Compute({1, 1, 1, static_cast<std::int32_t>(state.range(0))});
  int column = 9;
  int row = 17;
  for (auto _ : state) {
    benchmark::DoNotOptimize(column);
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(kolvex::DescribeCell(chart, column, row));
  }
}
BENCHMARK(BM_DescribeCell)->Arg(1)->Arg(1000)->Arg(2099);

void BM_DaysLived(benchmark::State &state) {
  std::int64_t year = state.range(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(year);
    benchmark::DoNotOptimize(kolvex::DaysLived(1, 1, 1, year));
  }
}
BENCHMARK(BM_DaysLived)->Arg(1)->Arg(1000)->Arg(2099);

void BM_ParseAndCheck(benchmark::State &state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kolvex::ParseAndCheck("17", 8, "1974", "1999"));
  }
}
BENCHMARK(BM_ParseAndCheck);

} // namespace
