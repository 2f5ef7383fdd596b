#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Integer text: leading blanks skipped, an optional sign, then decimal digits
// (signed 32-bit range) or up to eight hexadecimal digits after "$", "x",
// "X", "0x" or "0X" (a 32-bit pattern). Nothing may follow.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// Throws std::invalid_argument("'<text>' is not a valid integer value").
std::int32_t StrToInt(std::string_view text);

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

}  // namespace platform
