#pragma once

// How the program words an error for the user, in its error box and in the terminal alike.

#include <string>
#include <string_view>

namespace kolvex {

// The message of an error as the user reads it: a full stop is added after a last character
// above '.'. Bytes of a UTF-8 sequence all lie above '.', so any letter gets one.
inline std::string ErrorText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
    text += '.';
  }
  return text;
}

} // namespace kolvex
