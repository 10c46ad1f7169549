#include "chart/year_json.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace kolvex {
namespace {

// Whole lines of the JSON, their heights worked out by hand: on day t of a life a cycle of L days
// stands at position p = t mod L and height round(100 sin(2π p / L)).
TEST(YearJson, WritesEveryDayWithItsCodeSayingAndHeights) {
  const struct Case {
    BirthInput input;
    const char *line;
  } cases[] = {
      // t = 8872: p = 17, 24, 28; sin = -0.998, -0.782, -0.815.
      {{17, 9, 1974, 1999},
       R"({"date": "1999-01-01", "code": "---", "saying": "--- Самое время вспомнить друзей", )"
       R"("physical": -100, "emotional": -78, "intellectual": -81},)"},
      // t = 9000: p = 7, 12, 24; sin = 0.942, 0.434, -0.990.
      {{17, 9, 1974, 1999},
       R"({"date": "1999-05-09", "code": "++-", "saying": "++- Пригласи друзей на пиво - )"
       R"(проведешь свой день красиво", "physical": 94, "emotional": 43, "intellectual": -99},)"},
      // t = 9236, the last day, which ends the list: p = 13, 24, 29; sin = -0.398, -0.782, -0.690.
      {{17, 9, 1974, 1999},
       R"({"date": "1999-12-31", "code": "---", "saying": "--- Самое время вспомнить друзей", )"
       R"("physical": -40, "emotional": -78, "intellectual": -69})"},
      // In the birth year the list starts on the birth date, t = 0, every sine 0.
      {{17, 9, 1974, 1974},
       R"({"birth": "1974-09-17", "year": 1974, "days": [)"
       "\n"
       R"({"date": "1974-09-17", "code": "***", "saying": "*** Самый плохой день. Хуже не )"
       R"(бывает", "physical": 0, "emotional": 0, "intellectual": 0},)"},
      // t = 1: p = 1 everywhere; sin = 0.270, 0.223, 0.189.
      {{17, 9, 1974, 1974},
       R"({"date": "1974-09-18", "code": "+++", "saying": "+++ Попытай судьбу - караулит )"
       R"(удача", "physical": 27, "emotional": 22, "intellectual": 19},)"},
  };
  for (const Case &c : cases) {
    const std::string json = YearJson(Forecast::Of(c.input));
    EXPECT_NE(std::string::npos, json.find(std::string(c.line) + "\n")) << c.line;
    EXPECT_TRUE(json.ends_with("}\n]}\n"));
  }
  // 1974 from 17 September: 14 + 31 + 30 + 31 days.
  const std::string json = YearJson(Forecast::Of({17, 9, 1974, 1974}));
  EXPECT_EQ(106, std::count(json.begin(), json.end(), '\n') - 2);
}

} // namespace
} // namespace kolvex
