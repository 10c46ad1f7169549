#include "chart/icalendar.h"

#include <array>
#include <cstdio>

#include "chart/calendar.h"
#include "chart/legend.h"

namespace kolvex {
namespace {

constexpr std::size_t MaxLineOctets = 75;

// A DATE value, YYYYMMDD.
std::string DateValue(int year, int month, int day) {
  std::array<char, 16> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%04d%02d%02d", year, month, day);
  return buffer.data();
}

std::string NextDate(int year, int month, int day) {
  if (day < MonthLength(month, year)) {
    return DateValue(year, month, day + 1);
  }
  return month < 12 ? DateValue(year, month + 1, 1) : DateValue(year + 1, 1, 1);
}

std::string CriticalCycles(std::string_view code) {
  std::string text = "Критический день: ";
  bool first = true;
  for (std::size_t i = 0; i < Cycles.size(); ++i) {
    if (code[i] == '*') {
      text += first ? "" : ", ";
      text += Cycles[i].name;
      first = false;
    }
  }
  return text;
}

void AppendLine(std::string &out, std::string_view name, std::string_view value) {
  std::string line(name);
  line += value;
  out += FoldLine(line);
}

} // namespace

std::string EscapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' || c == ';' || c == ',') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r' || c == '\n') {
      escaped += "\\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string FoldLine(std::string_view line) {
  std::string folded;
  std::size_t room = MaxLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    // Back to the first byte of the character the limit falls in.
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
      --cut;
    }
    folded.append(line.substr(0, cut));
    folded += "\r\n ";
    line.remove_prefix(cut);
    room = MaxLineOctets - 1; // the leading space counts
  }
  folded.append(line);
  folded += "\r\n";
  return folded;
}

std::string CriticalDaysCalendar(const Forecast &forecast, std::string_view stamp,
                                 std::string_view name) {
  const auto &[input, chart] = forecast;
  const int year = chart.Year();
  const std::string birth = DateValue(input.year, input.month, input.day);
  std::string out;
  AppendLine(out, "BEGIN:", "VCALENDAR");
  AppendLine(out, "VERSION:", "2.0");
  AppendLine(out, "PRODID:", "-//Kolvex//Biorhythm critical days//RU");
  AppendLine(out, "CALSCALE:", "GREGORIAN");
  const std::string summaryStart = name.empty() ? "" : std::string(name) + ": ";
  if (!name.empty()) {
    AppendLine(out, "X-WR-CALNAME:", EscapeText("Критические дни: " + std::string(name)));
  }
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= 31; ++day) {
      const std::string_view code = chart.Text(month, day);
      if (code.find('*') == std::string_view::npos) {
        continue;
      }
      const std::string date = DateValue(year, month, day);
      AppendLine(out, "BEGIN:", "VEVENT");
      AppendLine(out, "UID:", date + "-b" + birth + "@kolvex");
      AppendLine(out, "DTSTAMP:", stamp);
      AppendLine(out, "DTSTART;VALUE=DATE:", date);
      AppendLine(out, "DTEND;VALUE=DATE:", NextDate(year, month, day));
      AppendLine(out, "SUMMARY:",
                 EscapeText(summaryStart + std::string(DescribeCell(chart, month, day).legend)));
      AppendLine(out, "DESCRIPTION:", EscapeText(CriticalCycles(code)));
      AppendLine(out, "TRANSP:", "TRANSPARENT");
      AppendLine(out, "END:", "VEVENT");
    }
  }
  AppendLine(out, "END:", "VCALENDAR");
  return out;
}

} // namespace kolvex
