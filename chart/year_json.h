#pragma once

// The forecast year as JSON, for scripts: every day's code, saying and cycle heights.

#include <string>
#include <string_view>

#include "chart/forecast.h"

namespace kolvex {

// {"birth": "1974-09-17", "year": 1999, "days": [{"date": "1999-01-01", "code": "---",
// "saying": "--- Самое время вспомнить друзей", "physical": -100, "emotional": -78,
// "intellectual": -81}, ...]}: one entry for every day of the forecast's chart that has a code, in
// date order (in the birth year the days before the birth date have none), the heights from
// CyclePercentsOn. UTF-8, one day to a line, ended by a line end. A person's `name`, when given,
// comes first: {"name": "Иван", "birth": ...}.
std::string YearJson(const Forecast &forecast, std::string_view name = {});

} // namespace kolvex
