#pragma once

// Turns the texts of the input window into a checked BirthInput.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "chart/birth_input.h"

namespace kolvex {

// A text that is no integer. The message holds the text exactly as typed.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Reads a whole text as a signed 32-bit integer: leading spaces (code 32 only), then an optional
// "+" or "-" and decimal digits, or "$" and hexadecimal digits read as an unsigned 32-bit number
// and then taken as signed. Nothing may follow the last digit. Returns nothing for any other text.
std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept;

// As TryStrToInt, but throws EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// Reads the fields in the fixed order birth year, month, birth day, forecast year; the first text
// that is no integer throws EConvertError and the later fields are not read. Returns nothing when
// the numbers are out of range (the caller reports InvalidDataMessage).
// `monthListIndex` is the position in the month list: 0 is January.
std::optional<BirthInput> ParseAndCheck(std::string_view dayText, int monthListIndex,
                                        std::string_view yearText, std::string_view forecastText);

// The same with the month as a text read like the others (1 is January).
std::optional<BirthInput> ParseAndCheck(std::string_view dayText, std::string_view monthText,
                                        std::string_view yearText, std::string_view forecastText);

} // namespace kolvex
