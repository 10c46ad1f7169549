#pragma once

// A second, independent reading of the integer syntax of the input window, written another way
// round: split the text into its parts first, check each part whole, and leave the arithmetic to
// std::from_chars. The randomized test and the fuzzer compare kolvex::TryStrToInt with it.

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kolvex::model {

constexpr bool IsDecimalDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

constexpr bool IsHexDigit(char c) noexcept {
  return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The digits without their leading zeros ("" for zero itself).
constexpr std::string_view Significant(std::string_view digits) noexcept {
  return digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
}

inline std::optional<std::int32_t> StrToInt(std::string_view text) noexcept {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return std::nullopt; // empty, or spaces only
  }
  std::string_view rest = text.substr(start);

  if (rest.front() == '$') {
    const std::string_view digits = rest.substr(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
      return std::nullopt;
    }
    const std::string_view significant = Significant(digits);
    if (significant.size() > 8) {
      return std::nullopt; // more than 32 bits
    }
    std::uint32_t value = 0;
    std::from_chars(significant.data(), significant.data() + significant.size(), value, 16);
    return std::bit_cast<std::int32_t>(value);
  }

  const bool negative = rest.front() == '-';
  if (rest.front() == '+' || rest.front() == '-') {
    rest.remove_prefix(1);
  }
  if (rest.empty() || !std::all_of(rest.begin(), rest.end(), IsDecimalDigit)) {
    return std::nullopt;
  }
  const std::string_view significant = Significant(rest);
  if (significant.size() > 10) {
    return std::nullopt; // far beyond 32 bits, and beyond what from_chars below may hold
  }
  std::int64_t value = 0;
  std::from_chars(significant.data(), significant.data() + significant.size(), value);
  if (negative) {
    value = -value;
  }
  if (value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

} // namespace kolvex::model
