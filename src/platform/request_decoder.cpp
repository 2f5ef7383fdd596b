#include "platform/request_decoder.h"

#include <cstdint>
#include <vector>

namespace platform {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The hotel software's requests have always been read into 16-bit units by
// bit pattern alone; this keeps that reading so the same bytes give the same
// text (overlong forms and encoded surrogates included). Returns false on a
// broken sequence.
bool DecodeToUnits(std::string_view bytes, std::vector<std::uint16_t>& units) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      units.push_back(b);
      i += 1;
      continue;
    }
    // A well-formed four-byte sequence is taken whole; any other byte with
    // 0x20 set (F5-FF, a four-byte lead without its three continuations)
    // falls back to the three-byte reading below.
    if (b >= 0xF0 && b <= 0xF4 && i + 3 < bytes.size() && IsContinuation(at(i + 1)) &&
        IsContinuation(at(i + 2)) && IsContinuation(at(i + 3))) {
      const std::uint32_t cp = (b & 0x07u) << 18 | (at(i + 1) & 0x3Fu) << 12 |
                               (at(i + 2) & 0x3Fu) << 6 | (at(i + 3) & 0x3Fu);
      if (cp <= 0x10FFFF) {
        if (cp >= 0x10000) {
          units.push_back(static_cast<std::uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
          units.push_back(static_cast<std::uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
          units.push_back(static_cast<std::uint16_t>(cp));  // overlong, as elsewhere
        }
        i += 4;
        continue;
      }
    }
    if (b & 0x20) {
      if (i + 2 >= bytes.size() || !IsContinuation(at(i + 1)) || !IsContinuation(at(i + 2)))
        return false;
      units.push_back(static_cast<std::uint16_t>((b & 0x0Fu) << 12 | (at(i + 1) & 0x3Fu) << 6 |
                                                 (at(i + 2) & 0x3Fu)));
      i += 3;
    } else {
      if (i + 1 >= bytes.size() || !IsContinuation(at(i + 1))) return false;
      units.push_back(static_cast<std::uint16_t>((b & 0x1Fu) << 6 | (at(i + 1) & 0x3Fu)));
      i += 2;
    }
  }
  return true;
}

}  // namespace

std::string DecodeRequestBytes(std::string_view bytes) {
  std::vector<std::uint16_t> units;
  units.reserve(bytes.size());
  if (!DecodeToUnits(bytes, units)) return {};

  std::string out;
  out.reserve(bytes.size() + 8);
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::uint16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800u) << 10) + (units[i + 1] - 0xDC00u));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      // UTF-8 cannot carry a lone surrogate; the rest of the text stays usable.
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace platform
