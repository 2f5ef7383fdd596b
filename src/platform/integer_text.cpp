#include "platform/integer_text.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;

  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    i += 1;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }

  std::string_view digits = text.substr(i);
  if (digits.empty()) return std::nullopt;

  if (hex) {
    if (digits.size() > 8) return std::nullopt;
    std::uint32_t pattern = 0;
    for (char c : digits) {
      int v = HexDigitValue(c);
      if (v < 0) return std::nullopt;
      pattern = pattern << 4 | static_cast<std::uint32_t>(v);
    }
    // The digits are a bit pattern, so "$FFFFFFFF" is -1 and a sign negates
    // that pattern modulo 2^32.
    if (negative) pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
  }

  // Accumulated as a magnitude in 64 bits so that -2147483648 fits while
  // 2147483648 does not; leading zeros never overflow the accumulator.
  const std::int64_t limit = negative ? std::int64_t{2147483648} : std::int64_t{2147483647};
  std::int64_t magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t StrToInt(std::string_view text) {
  if (auto value = TryStrToInt(text)) return *value;
  throw std::invalid_argument("'" + std::string(text) + "' is not a valid integer value");
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) {
  return TryStrToInt(text).value_or(fallback);
}

}  // namespace platform
