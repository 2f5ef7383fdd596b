#pragma once
#include <cstddef>
#include <string_view>

namespace platform {

// Length of the well-formed UTF-8 character starting the text, 0 when the
// first byte does not start one. Overlong forms and encoded surrogates count
// as broken bytes: the codecs turn each into '?'.
std::size_t Utf8CharLength(std::string_view text);

}  // namespace platform
