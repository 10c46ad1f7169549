#include "chart/input_reader.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tests/fuzz/str_to_int_model.h"

namespace kolvex {
namespace {

using namespace std::string_view_literals;

constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::optional<std::int32_t> Invalid;

struct Reading {
  std::string_view text;
  std::optional<std::int32_t> value;
};

const Reading Readings[] = {
    // plain decimal, spaces and signs
    {"1974", 1974},
    {"  1974", 1974},
    {"1974 ", Invalid},
    {"", Invalid},
    {"   ", Invalid},
    {"\t1974", Invalid}, // only code 32 counts as a space
    {"+17", 17},
    {"-17", -17},
    {"-0", 0},
    {"007", 7},
    {"+", Invalid},
    {"-", Invalid},
    {"+-1", Invalid},
    {"--1", Invalid},
    {"+ 1", Invalid},
    {" - 1", Invalid},
    {"1 2", Invalid},
    {"12a", Invalid},
    {"1e3", Invalid},
    {"1974\n", Invalid},
    {"19\0 74"sv, Invalid},
    {"١٩", Invalid},   // Arabic-Indic digits
    {"１７", Invalid}, // full-width digits
    // hexadecimal
    {"$7B6", 1974},
    {"$7b6", 1974},
    {"  $7B6", 1974},
    {"$0", 0},
    {"$", Invalid},
    {"+$11", Invalid},
    {"-$11", Invalid},
    {"$-1", Invalid},
    {"$+1", Invalid},
    {"$$1", Invalid},
    {"$ 1", Invalid},
    {"$1 ", Invalid},
    {"$g", Invalid},
    {"0x10", Invalid},
    {"$FFFFFFFF", -1},
    {"$ffffffff", -1},
    {"$80000000", Min},
    {"$7FFFFFFF", Max},
    {"$0FFFFFFF", 0x0FFFFFFF},
    {"$00000000FFFFFFFF", -1}, // leading zeros are no significant digits
    {"$100000000", Invalid},   // nine significant digits
    {"$FFFFFFFF0", Invalid},
    // the 32-bit decimal boundaries
    {"2147483647", Max},
    {"+2147483647", Max},
    {"2147483648", Invalid},
    {"-2147483648", Min},
    {"-2147483649", Invalid},
    {"2147483650", Invalid}, // 214748365 before the last digit
    {"-2147483650", Invalid},
    {"0000000000002147483647", Max},
    {"21474836470", Invalid},
    {"4294967295", Invalid},
    {"4294967296", Invalid}, // would wrap to 0 in 32 bits
    {"99999999999999999999999", Invalid},
};

TEST(TryStrToInt, ReadsTheInputWindowsIntegerSyntax) {
  for (const Reading &r : Readings) {
    EXPECT_EQ(r.value, TryStrToInt(r.text)) << '"' << r.text << '"';
  }
}

TEST(StrToInt, NamesTheTextExactlyAsTyped) {
  for (const Reading &r : Readings) {
    if (r.value) {
      EXPECT_EQ(*r.value, StrToInt(r.text)) << '"' << r.text << '"';
      continue;
    }
    if (r.text.find('\0') != std::string_view::npos) {
      EXPECT_THROW(StrToInt(r.text), EConvertError); // what() would end at the NUL
      continue;
    }
    try {
      StrToInt(r.text);
      ADD_FAILURE() << "no error for \"" << r.text << '"';
    } catch (const EConvertError &error) {
      EXPECT_EQ("'" + std::string(r.text) + "' is not a valid integer value", error.what());
    }
  }
  EXPECT_THROW(StrToInt("Иван"), EConvertError);
}

// Texts mostly made of the characters that matter to the reading, so that most of them come
// close to being numbers: spaces, signs, "$", digits, hex letters, long runs, 32-bit boundaries.
class TextGenerator {
public:
  explicit TextGenerator(std::uint32_t seed) : rng_(seed) {}

  // Replaces `text` with the next text.
  void Next(std::string &text) {
    text.clear();
    switch (Below(10)) {
    case 0:
    case 1:
    case 2:
    case 3: // a number, now and then spoilt
      text.append(Below(4) == 0 ? Below(3) : 0, ' ');
      if (Below(2) == 0) {
        text += Pick("+-$$$ x"sv); // a lead-in
      }
      AppendRun(text, Below(2) == 0 ? "0123456789"sv : "0123456789abcdefABCDEF"sv, 1 + Below(12));
      if (Below(10) == 0) {
        text += Pick(" +-$gG\t\0"sv);
      }
      break;
    case 4:
    case 5:
    case 6: // pieces run together
      for (std::size_t n = 1 + Below(5); n > 0; --n) {
        text += Pieces[Below(std::size(Pieces))];
      }
      break;
    default: // any bytes of an alphabet weighted towards the interesting ones
      for (std::size_t n = Below(14); n > 0; --n) {
        text += Below(20) == 0 ? static_cast<char>(Below(256)) : Pick(Alphabet);
      }
      break;
    }
  }

private:
  static constexpr std::string_view Alphabet =
      "   ++--$$$0000111122223456789789aAbBcCdDeEfFgxX\t."sv;
  static constexpr std::string_view Pieces[] = {
      " ",        "  ",         "+",          "-",         "$",          "0",
      "00000000", "1",          "7",          "8",         "9",          "F",
      "f",        "2147483647", "2147483648", "214748364", "214748365",  "FFFFFFFF",
      "0FFFFFFF", "10000000",   "80000000",   "7FFFFFFF",  "4294967295", "9999999999"};

  // Slightly uneven for large n, which does not matter here.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(rng_() % n); }
  char Pick(std::string_view chars) { return chars[Below(chars.size())]; }
  void AppendRun(std::string &text, std::string_view digits, std::size_t length) {
    for (; length > 0; --length) {
      text += Pick(digits);
    }
  }

  std::minstd_rand rng_; // cheap: most of the time goes into making texts
};

TEST(TryStrToInt, AgreesWithAnIndependentReadingOnMillionsOfTexts) {
  TextGenerator generator(20261208);
  std::size_t accepted = 0;
  std::size_t extremes = 0;
  constexpr std::size_t Count = 3'000'000;
  std::string text;
  for (std::size_t i = 0; i < Count; ++i) {
    generator.Next(text);
    const std::optional<std::int32_t> expected = model::StrToInt(text);
    ASSERT_EQ(expected, TryStrToInt(text)) << '"' << text << '"';
    accepted += expected.has_value();
    extremes += expected == Min || expected == Max || expected == -1;
  }
  // The texts are worth comparing only when many of them are numbers, the extremes included.
  EXPECT_GT(accepted, Count / 5);
  EXPECT_LT(accepted, Count * 4 / 5);
  EXPECT_GT(extremes, 1000u);
}

// The fields in the order of the parameters: day, month, year, forecast year.
struct Fields {
  std::string_view day, month, year, forecast;
};

std::string ConversionErrorOf(const Fields &f) {
  try {
    ParseAndCheck(f.day, f.month, f.year, f.forecast);
  } catch (const EConvertError &error) {
    return error.what();
  }
  return "no error";
}

TEST(ParseAndCheck, ReadsYearMonthDayForecastAndStopsAtTheFirstBadText) {
  const struct {
    Fields fields;
    std::string_view named;
  } cases[] = {
      {{"x", "9", "y", "1999"}, "y"},    // year before day
      {{"x", "m", "1974", "1999"}, "m"}, // month before day
      {{"x", "9", "1974", "f"}, "x"},    // day before forecast
      {{"17", "9", "1974", "f"}, "f"},          {{"d", "m", "y", "f"}, "y"},
      {{"x", "9", "3000", "1999"}, "x"}, // every text is read before the range check
      {{"17", "13", "1974", "1999 "}, "1999 "},
  };
  for (const auto &c : cases) {
    std::string message = "'";
    message.append(c.named).append("' is not a valid integer value");
    EXPECT_EQ(message, ConversionErrorOf(c.fields));
  }

  // The window's month list cannot hold a bad text: the year still comes before the day.
  try {
    ParseAndCheck("x", 8, "y", "1999");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError &error) {
    EXPECT_STREQ("'y' is not a valid integer value", error.what());
  }
}

TEST(ParseAndCheck, ChecksTheRange) {
  const struct {
    Fields fields;
    bool accepted;
  } cases[] = {
      {{"17", "9", "1974", "1999"}, true},
      {{"  17", "$9", "$7B6", "+1999"}, true},
      {{"1", "1", "1", "1"}, true},
      {{"31", "12", "2099", "2099"}, true}, // forecast year equal to the birth year
      {{"17", "9", "1974", "1973"}, false}, // forecast year before the birth year
      {{"1", "1", "2100", "2100"}, false},
      {{"1", "1", "0", "1999"}, false},
      {{"1", "1", "-1974", "1999"}, false},
      {{"1", "1", "1974", "2100"}, false},
      {{"1", "1", "1974", "0"}, false},
      {{"0", "1", "1974", "1999"}, false},
      {{"-5", "1", "1974", "1999"}, false},
      {{"31", "1", "1974", "1999"}, true},
      {{"32", "1", "1974", "1999"}, false},
      {{"30", "4", "1974", "1999"}, true},
      {{"31", "4", "1974", "1999"}, false},
      {{"31", "6", "1974", "1999"}, false},
      {{"31", "9", "1974", "1999"}, false},
      {{"31", "11", "1974", "1999"}, false},
      {{"29", "2", "1972", "1999"}, true}, // leap year
      {{"29", "2", "1974", "1999"}, false},
      {{"29", "2", "2000", "2000"}, true},
      {{"29", "2", "1900", "1999"}, false}, // divisible by 100, not by 400
      {{"30", "2", "2000", "2000"}, false},
      {{"1", "0", "1974", "1999"}, false},
      {{"1", "13", "1974", "1999"}, false},
      {{"2147483647", "2147483647", "2147483647", "2147483647"}, false},
      {{"-2147483648", "-2147483648", "-2147483648", "-2147483648"}, false},
      {{"1", "1", "1974", "-2147483648"}, false},
  };
  for (const auto &c : cases) {
    const Fields &f = c.fields;
    const std::optional<BirthInput> input = ParseAndCheck(f.day, f.month, f.year, f.forecast);
    EXPECT_EQ(c.accepted, input.has_value())
        << f.day << ' ' << f.month << ' ' << f.year << ' ' << f.forecast;
    if (input) {
      EXPECT_EQ(
          (BirthInput{StrToInt(f.day), StrToInt(f.month), StrToInt(f.year), StrToInt(f.forecast)}),
          *input);
      EXPECT_TRUE(IsInRange(*input));
    }
  }
}

TEST(ParseAndCheck, TakesTheMonthFromTheListPosition) {
  EXPECT_EQ((BirthInput{17, 9, 1974, 1999}), ParseAndCheck("17", 8, "1974", "1999"));
  EXPECT_EQ((BirthInput{31, 1, 1974, 1999}), ParseAndCheck("31", 0, "1974", "1999"));
  EXPECT_EQ((BirthInput{31, 12, 1974, 1999}), ParseAndCheck("31", 11, "1974", "1999"));
  EXPECT_EQ(std::nullopt, ParseAndCheck("31", 3, "1974", "1999")); // 31 April
  EXPECT_EQ(std::nullopt, ParseAndCheck("1", -1, "1974", "1999")); // nothing selected
  EXPECT_EQ(std::nullopt, ParseAndCheck("1", 12, "1974", "1999"));
  EXPECT_EQ(std::nullopt, ParseAndCheck("1", std::numeric_limits<int>::max(), "1974", "1999"));
}

} // namespace
} // namespace kolvex
