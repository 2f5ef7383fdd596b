#include "platform/utf8.h"

namespace platform {

std::size_t Utf8CharLength(std::string_view s) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.empty()) return 0;
  const unsigned char b = at(0);
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;  // no encoded surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() < n || at(1) < lo || at(1) > hi) return 0;
  for (std::size_t i = 2; i < n; ++i) {
    if ((at(i) & 0xC0) != 0x80) return 0;
  }
  return n;
}

}  // namespace platform
