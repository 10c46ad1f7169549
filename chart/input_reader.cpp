#include "chart/input_reader.h"

#include <string>

namespace kolvex {

namespace {

int HexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

template <typename ReadMonth>
std::optional<BirthInput> ReadFields(std::string_view dayText, ReadMonth readMonth,
                                     std::string_view yearText, std::string_view forecastText) {
  BirthInput input;
  input.year = StrToInt(yearText);
  input.month = readMonth();
  input.day = StrToInt(dayText);
  input.forecastYear = StrToInt(forecastText);
  if (!IsInRange(input)) {
    return std::nullopt;
  }
  return input;
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') {
    ++i;
  }
  if (i == text.size()) {
    return std::nullopt;
  }

  if (text[i] == '$') {
    ++i;
    if (i == text.size()) {
      return std::nullopt;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
      const int digit = HexDigitValue(text[i]);
      if (digit < 0 || value > 0x0FFFFFFFu) {
        return std::nullopt;
      }
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value); // eight F digits read as -1
  }

  bool negative = false;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9' || value > 214748364) {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  if (negative) {
    value = -value;
  }
  if (value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text)) {
    return *value;
  }
  std::string message;
  message.reserve(text.size() + 32);
  message.append("'").append(text).append("' is not a valid integer value");
  throw EConvertError(message);
}

std::optional<BirthInput> ParseAndCheck(std::string_view dayText, int monthListIndex,
                                        std::string_view yearText, std::string_view forecastText) {
  // A list position outside 0..11 (nothing selected) gives a month out of range, never an overflow.
  const auto month = [monthListIndex] {
    return monthListIndex >= 0 && monthListIndex < 12 ? monthListIndex + 1 : 0;
  };
  return ReadFields(dayText, month, yearText, forecastText);
}

std::optional<BirthInput> ParseAndCheck(std::string_view dayText, std::string_view monthText,
                                        std::string_view yearText, std::string_view forecastText) {
  const auto month = [monthText] { return StrToInt(monthText); };
  return ReadFields(dayText, month, yearText, forecastText);
}

} // namespace kolvex
