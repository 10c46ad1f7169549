#pragma once

// The sayings for the 27 day codes, and the description of one chart cell: the saying for its
// code and its full date with the weekday.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "chart/year_chart.h"

namespace kolvex {

// One line for each code, the code first; this order is also the order of the printout.
inline constexpr std::array<std::string_view, 27> LegendTable{
    "+++ Попытай судьбу - караулит удача",
    "+-+ Сегодня даже черт тебе не брат",
    "-++ Можешь смело писать стихи",
    "--- Самое время вспомнить друзей",
    "**- Побудь один - так будет лучше",
    "-** Жди гостей (баню от начальства)",
    "+-* Чего-то лишишься",
    "++* Сегодня слегка пронесет",
    "**+ Не усердствуй в интимных делах",
    "+-- Будь самим собой",
    "-+* В любви красивым не отказывай",
    "+*- Ликуй, коль день не понедельник",
    "*+* Берегись автомобиля",
    "*++ Надо сделать что-нибудь хорошее",
    "*** Самый плохой день. Хуже не бывает",
    "+** Встанешь с левой ноги - будет ссора",
    "*-- Очень плохо, если этот день - пятница",
    "-+- Сдержи эмоции, и все придет в порядок",
    "--* В карты играть не садись - встанешь без гроша",
    "-*- День может кончиться самым неожиданным",
    "+*+ Найдешь истину - не забудь положить в карман",
    "*+- Отдай долги",
    "--+ Береги свое мнение - еще пригодится",
    "*-+ Если знаешь, что нельзя, но очень хочется, то можно",
    "*-* Откажись от всех соблазнов",
    "-*+ Уйми желания, надейся лишь на разум",
    "++- Пригласи друзей на пиво - проведешь свой день красиво",
};

// The legend line while no saying applies.
inline constexpr std::string_view LegendPrompt = "Поместите указатель мыши в нужную клетку";

// The legend line for a cell text: the last LegendTable line that contains the text, or the
// prompt for an empty text or one that no line contains.
std::string_view LegendLine(std::string_view cellText) noexcept;

struct DayDescription {
  std::string_view legend; // a LegendTable line or the prompt
  std::string date;        // "17 сентября 1999  пятница      ", or empty

  friend bool operator==(const DayDescription &, const DayDescription &) = default;
};

// Describes the cell (column, row) of `chart`, as the grid's hit test reports it: −1 stands for
// no cell. Header cells and positions off the chart get the prompt and an empty date line. The
// date line does not look at the cell: a day past the month's end counts on into the next month.
DayDescription DescribeCell(const YearChart &chart, int column, int row);

// A date as one says it, with the weekday: "17 сентября 2030, вторник". The day must exist.
std::string DateWithWeekday(std::int64_t year, int month, int day);

// A day cell of `chart` (month 1 to 12, day 1 to 31) as a screen reader reads it: the name is its
// date, weekday and code in words ("17 сентября 2030, вторник, плюс, критический, минус"), the
// description its saying without the code. Speech gets letters, digits, commas and full stops
// only: a screen reader reads "-", ":", "*" or "(" aloud as the symbol's name. A day the year lacks
// says so, and a day before the birth date has no code.
struct SpokenDay {
  std::string name;
  std::string description;

  friend bool operator==(const SpokenDay &, const SpokenDay &) = default;
};
SpokenDay SpeakDay(const YearChart &chart, int month, int day);

// A code's symbols as words: "+-*" is "плюс, минус, критический".
std::string SpokenCode(std::string_view code);

// The day under the curves' cursor: `day` of `month` in the year of `chart`, which is computed for
// `birth`. `shown` is the line under the curves, with the three cycles' percents and the code
// ("14 марта 2030, четверг: физический 89 %, эмоциональный -90 %, интеллектуальный 81 %, +-+"),
// `spoken` the same for a screen reader, in words. Before the birth date there are no values.
struct CursorDay {
  std::string shown;
  std::string spoken;

  friend bool operator==(const CursorDay &, const CursorDay &) = default;
};
CursorDay DescribeCursorDay(const YearChart &chart, const BirthInput &birth, int month, int day);

} // namespace kolvex
