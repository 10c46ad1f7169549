#pragma once

// The critical days of a year chart as an iCalendar (RFC 5545) calendar, and the two text rules
// of that format every line of it goes through.

#include <string>
#include <string_view>

#include "chart/forecast.h"

namespace kolvex {

// The calendar of the forecast's chart: one all-day event for every day whose code holds
// a '*', in date order. SUMMARY is the day's legend line, DESCRIPTION names the critical cycles,
// the UID is made of the day and the birth date, so that importing the calendar again updates the
// events instead of doubling them. `stamp` is the DTSTAMP of every event, a UTC date-time such as
// "19990917T120000Z". Lines end in CRLF and are folded. A person's `name`, when given, names the
// calendar (X-WR-CALNAME) and starts every SUMMARY; the UIDs stay those of the birth date.
std::string CriticalDaysCalendar(const Forecast &forecast, std::string_view stamp,
                                 std::string_view name = {});

// A TEXT value: backslash, semicolon and comma escaped by a backslash, a line end written "\n".
std::string EscapeText(std::string_view text);

// One content line as it is written: at most 75 octets to a line, each continuation line starting
// with a space, never a UTF-8 character cut in two, every line ended by CRLF.
std::string FoldLine(std::string_view line);

} // namespace kolvex
