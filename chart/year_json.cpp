#include "chart/year_json.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "chart/calendar.h"
#include "chart/cycle_values.h"
#include "chart/legend.h"

namespace kolvex {
namespace {

std::string IsoDate(int year, int month, int day) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

// A JSON string: the sayings and codes hold no quote, backslash or control character, but a
// string is never written unchecked, and a person's name may hold quotes and backslashes.
void AppendString(std::string &out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

} // namespace

std::string YearJson(const Forecast &forecast, std::string_view name) {
  const auto &[input, chart] = forecast;
  const int year = input.forecastYear;
  std::string out = "{";
  out.reserve(366 * 140);
  if (!name.empty()) {
    out += "\"name\": ";
    AppendString(out, name);
    out += ", ";
  }
  out += "\"birth\": \"" + IsoDate(input.year, input.month, input.day) +
         "\", \"year\": " + std::to_string(year) + ", \"days\": [";
  const char *separator = "\n";
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= MonthLength(month, year); ++day) {
      const std::string_view code = chart.Text(month, day);
      if (code.empty()) {
        continue;
      }
      const std::array<int, 3> heights =
          CyclePercentsOn(DaysSinceBirth(input, month, day)).InOrder();
      out += separator;
      out += "{\"date\": \"" + IsoDate(year, month, day) + "\", \"code\": ";
      AppendString(out, code);
      out += ", \"saying\": ";
      AppendString(out, LegendLine(code));
      for (std::size_t i = 0; i < Cycles.size(); ++i) {
        out.append(", \"").append(Cycles[i].key).append("\": ");
        out += std::to_string(heights[i]);
      }
      out += "}";
      separator = ",\n";
    }
  }
  out += "\n]}\n";
  return out;
}

} // namespace kolvex
