// libFuzzer target: TryStrToInt and StrToInt must agree with the independent model on any bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chart/input_reader.h"
#include "tests/fuzz/str_to_int_model.h"

namespace {

[[noreturn]] void Disagree(std::string_view text, const char *what) {
  std::fprintf(stderr, "%s for \"", what);
  for (const char c : text) {
    std::fprintf(stderr, "\\x%02x", static_cast<unsigned char>(c));
  }
  std::fprintf(stderr, "\"\n");
  std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  const std::optional<std::int32_t> expected = kolvex::model::StrToInt(text);
  const std::optional<std::int32_t> actual = kolvex::TryStrToInt(text);
  if (expected != actual) {
    Disagree(text, "TryStrToInt differs from the model");
  }
  try {
    if (kolvex::StrToInt(text) != expected) {
      Disagree(text, "StrToInt read another value");
    }
  } catch (const kolvex::EConvertError &error) {
    if (expected) {
      Disagree(text, "StrToInt refused a number");
    }
    const std::string message = "'" + std::string(text) + "' is not a valid integer value";
    if (text.find('\0') == std::string_view::npos && message != error.what()) {
      Disagree(text, "StrToInt's message differs");
    }
  }
  return 0;
}
