#include <benchmark/benchmark.h>

#include "chart/legend.h"
#include "chart/year_chart.h"

static void BM_YearChart(benchmark::State &state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kolvex::YearChart::Compute({17, 9, 1974, 1999}));
  }
}
BENCHMARK(BM_YearChart);
