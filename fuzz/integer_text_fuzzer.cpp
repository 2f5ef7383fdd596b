// The integer text reader: any bytes give a value or none, the three entry
// points agree, a value read back from its own decimal text is the same,
// and plain decimal text gives exactly the number it spells when it fits.
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/integer_text.h"
#include "scratch_dir.h"

namespace {

// Blanks, an optional sign and 1 to 18 decimal digits, nothing else.
bool PlainDecimal(std::string_view text, std::int64_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::string_view digits = text.substr(i);
  if (digits.empty() || digits.size() > 18) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (negative) value = -value;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = platform::TryStrToInt(text);

  bool threw = false;
  try {
    fuzz::Require(platform::StrToInt(text) == *value, "StrToInt agrees with TryStrToInt");
  } catch (const std::invalid_argument& e) {
    threw = true;
    // what() is a C string: a zero byte in the text ends the message there.
    const std::string message = "'" + std::string(text) + "' is not a valid integer value";
    fuzz::Require(std::string(e.what()) == message.substr(0, message.find('\0')),
                  "the error names the text");
  }
  fuzz::Require(threw == !value.has_value(), "StrToInt throws exactly when there is no value");
  fuzz::Require(platform::StrToIntDef(text, 12345) == value.value_or(12345), "StrToIntDef agrees");

  if (value) {
    fuzz::Require(platform::TryStrToInt(std::to_string(*value)) == value, "decimal round trip");
  }
  std::int64_t plain = 0;
  if (PlainDecimal(text, plain)) {
    const bool fits = plain >= INT32_MIN && plain <= INT32_MAX;
    fuzz::Require(value.has_value() == fits, "plain decimal reads exactly when it fits");
    if (fits) fuzz::Require(*value == plain, "plain decimal gives its number");
  }
  return 0;
}
