#include "chart/legend.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace kolvex {
namespace {

constexpr std::string_view Prompt = "Поместите указатель мыши в нужную клетку";

std::string AllCodes(std::size_t i) {
  const std::string_view symbols = "+-*";
  return {symbols[i / 9], symbols[i / 3 % 3], symbols[i % 3]};
}

TEST(LegendTable, EveryCodeBeginsExactlyOneLineAndNoLineHoldsAnother) {
  EXPECT_EQ(Prompt, LegendPrompt);
  for (std::size_t i = 0; i < 27; ++i) {
    const std::string code = AllCodes(i);
    int beginning = 0;
    int containing = 0;
    for (const std::string_view line : LegendTable) {
      beginning += line.starts_with(code + " ");
      containing += line.find(code) != std::string_view::npos;
    }
    EXPECT_EQ(1, beginning) << code;
    EXPECT_EQ(1, containing) << code;
  }
  EXPECT_EQ("+++ Попытай судьбу - караулит удача", LegendTable.front());
  EXPECT_EQ("*** Самый плохой день. Хуже не бывает", LegendTable[14]);
  EXPECT_EQ("++- Пригласи друзей на пиво - проведешь свой день красиво", LegendTable.back());
}

TEST(LegendLine, TheLastLineThatContainsTheText) {
  // Every code begins exactly one line and stands in no other (see above).
  for (std::size_t i = 0; i < 27; ++i) {
    const std::string code = AllCodes(i);
    EXPECT_TRUE(LegendLine(code).starts_with(code + " ")) << code;
  }
  // Texts that are no code: the last containing line wins.
  const struct {
    std::string_view text;
    std::string_view line;
  } cases[] = {{"", Prompt},
               {"*", LegendTable[25]}, // "-*+ ...", the last line holding a star
               {"+", LegendTable[26]},
               {"-", LegendTable[26]},
               {" ", LegendTable[26]},
               {"++", LegendTable[26]},
               {"Отдай долги", LegendTable[21]},
               {"xyz", Prompt},
               {"++++", Prompt}};
  for (const auto &c : cases) {
    EXPECT_EQ(c.line, LegendLine(c.text)) << c.text;
  }
}

TEST(DescribeCell, HeadersAndNoCellGiveThePromptAndNoDate) {
  const YearChart chart = YearChart::Compute({17, 9, 1974, 1999});
  for (const auto &[column, row] :
       {std::pair{0, 0}, {0, 17}, {9, 0}, {12, 0}, {0, 31}, {-1, -1}, {-1, 5}, {5, -1}}) {
    EXPECT_EQ((DayDescription{Prompt, ""}), DescribeCell(chart, column, row))
        << column << ',' << row;
  }
}

TEST(DescribeCell, DayCells) {
  const YearChart chart1999 = YearChart::Compute({17, 9, 1974, 1999});
  const YearChart chart2000 = YearChart::Compute({17, 9, 1974, 2000});
  const YearChart chart2001 = YearChart::Compute({17, 9, 1974, 2001});
  const YearChart birthYear = YearChart::Compute({17, 9, 1974, 1974});
  const YearChart chart2026 = YearChart::Compute({17, 9, 1974, 2026});
  const struct {
    const YearChart &chart;
    int column, row;
    std::string_view legend;
    std::string_view date;
  } cases[] = {
      {chart1999, 9, 17, LegendLine(chart1999.Text(9, 17)), "17 сентября 1999  пятница      "},
      {chart1999, 1, 1, "--- Самое время вспомнить друзей", "1 января 1999  пятница      "},
      {chart2000, 1, 1, LegendLine(chart2000.Text(1, 1)), "1 января 2000  суббота    "},
      {chart2026, 12, 7, LegendLine(chart2026.Text(12, 7)), "7 декабря 2026  понедельник   "},
      // empty cells: the prompt, and the date counted on past the month's end
      {chart2001, 2, 30, Prompt, "30 февраля 2001  пятница      "}, // 2 March 2001
      {chart2000, 2, 30, Prompt, "30 февраля 2000  среда        "}, // 1 March 2000
      {chart1999, 4, 31, Prompt, "31 апреля 1999  суббота    "},    // 1 May 1999
      // the birth year: empty before the birth date, line 15 on it
      {birthYear, 9, 16, Prompt, "16 сентября 1974  понедельник   "},
      {birthYear, 9, 17, "*** Самый плохой день. Хуже не бывает", "17 сентября 1974  вторник   "},
  };
  for (const auto &c : cases) {
    EXPECT_EQ((DayDescription{c.legend, std::string(c.date)}),
              DescribeCell(c.chart, c.column, c.row))
        << c.chart.Year() << ' ' << c.column << ',' << c.row;
  }
}

// What a screen reader says of a day cell: the date, weekday and code in words, then the saying
// alone, with no symbol that speech would name ("-", ":", "*", brackets).
TEST(SpeakDay, NamesTheDateAndCodeAndDescribesTheSaying) {
  const YearChart chart2030 = YearChart::Compute({17, 9, 1974, 2030});
  const YearChart birthYear = YearChart::Compute({17, 9, 1974, 1974});
  const struct {
    const YearChart &chart;
    int month, day;
    SpokenDay expected;
  } cases[] = {
      {chart2030,
       3,
       13,
       {"13 марта 2030, среда, плюс, минус, плюс", "Сегодня даже черт тебе не брат"}},
      {chart2030, 2, 29, {"29 февраля 2030, такого дня нет", ""}},
      {birthYear, 9, 16, {"16 сентября 1974, понедельник, до рождения", ""}},
      {birthYear,
       9,
       17,
       {"17 сентября 1974, вторник, критический, критический, критический",
        "Самый плохой день. Хуже не бывает"}},
      {chart2030,
       1,
       7,
       {"7 января 2030, понедельник, плюс, плюс, плюс", "Попытай судьбу, караулит удача"}},
      {chart2030, 4, 11, {"11 апреля 2030, четверг, плюс, минус, критический", "Чего то лишишься"}},
      {chart2030,
       5,
       14,
       {"14 мая 2030, вторник, минус, критический, критический", "Жди гостей, баню от начальства"}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.expected, SpeakDay(c.chart, c.month, c.day)) << c.month << '/' << c.day;
  }
}

// The line under the curves and its spoken form; the percents agree with GNU gcal's (see the CLI's
// --json test), and Russian numbers take their plural: 1 процент, 22 процента, 14 процентов.
TEST(DescribeCursorDay, GivesThePercentsAndTheCodeShownAndSpoken) {
  const BirthInput birth{17, 9, 1974, 2030};
  const YearChart chart2030 = YearChart::Compute(birth);
  const YearChart birthYear = YearChart::Compute({17, 9, 1974, 1974});
  const struct {
    const YearChart &chart;
    int month, day;
    const char *shown;
    const char *spoken;
  } cases[] = {
      {chart2030, 3, 14,
       "14 марта 2030, четверг: физический 89 %, эмоциональный -90 %, интеллектуальный 81 %, +-+",
       "14 марта 2030, четверг, физический 89 процентов, эмоциональный минус 90 процентов, "
       "интеллектуальный 81 процент, плюс, минус, плюс"},
      {chart2030, 1, 23,
       "23 января 2030, среда: физический 0 %, эмоциональный 22 %, интеллектуальный -76 %, *+-",
       "23 января 2030, среда, физический 0 процентов, эмоциональный 22 процента, "
       "интеллектуальный минус 76 процентов, критический, плюс, минус"},
      {chart2030, 2, 4,
       "4 февраля 2030, понедельник: физический -14 %, эмоциональный 22 %, интеллектуальный 0 %, "
       "*+*",
       "4 февраля 2030, понедельник, физический минус 14 процентов, эмоциональный 22 процента, "
       "интеллектуальный 0 процентов, критический, плюс, критический"},
      {birthYear, 9, 16, "16 сентября 1974, понедельник: до рождения",
       "16 сентября 1974, понедельник, до рождения"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ((CursorDay{c.shown, c.spoken}), DescribeCursorDay(c.chart, birth, c.month, c.day))
        << c.month << '/' << c.day;
  }
}

} // namespace
} // namespace kolvex
