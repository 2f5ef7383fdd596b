#include "platform/text_codec.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/utf8.h"

namespace platform {

namespace {

constexpr UINT kGbk = 936;


std::uint32_t DecodeUtf8(std::string_view s, std::size_t n) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (n == 1) return at(0);
  std::uint32_t cp = at(0) & (0xFF >> (n + 1));
  for (std::size_t i = 1; i < n; ++i) cp = (cp << 6) | (at(i) & 0x3F);
  return cp;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 text from one GBK conversion back to UTF-8.
void AppendWide(std::string& out, const wchar_t* w, int n) {
  for (int i = 0; i < n; ++i) {
    std::uint32_t cp = static_cast<std::uint16_t>(w[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n) {
      const std::uint32_t low = static_cast<std::uint16_t>(w[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, cp);
  }
}

}  // namespace

std::string ToGbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const std::size_t n = Utf8CharLength(utf8);
    if (n == 0) {
      out += '?';  // one broken byte, one mark
      utf8.remove_prefix(1);
      continue;
    }
    if (n == 1) {
      out += utf8[0];
      utf8.remove_prefix(1);
      continue;
    }
    // One character at a time, so that "GBK lacks it" is known per
    // character: the system's default character and its best-fit guesses
    // (an accented letter turned plain) are both refused in favour of '?'.
    const std::uint32_t cp = DecodeUtf8(utf8, n);
    wchar_t wide[2];
    int wideLength = 1;
    if (cp >= 0x10000) {
      wide[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
      wide[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      wideLength = 2;
    } else {
      wide[0] = static_cast<wchar_t>(cp);
    }
    char gbk[8];
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, wideLength, gbk,
                                            sizeof gbk, "?", &usedDefault);
    if (written <= 0 || usedDefault) {
      out += '?';
    } else {
      out.append(gbk, static_cast<std::size_t>(written));
    }
    utf8.remove_prefix(n);
  }
  return out;
}

std::string FromGbk(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  std::size_t i = 0;
  while (i < gbk.size()) {
    const unsigned char b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // A lead byte takes its trail byte with it when the pair is GBK; anything
    // else is one unconvertible byte, and the next byte gets its own chance,
    // so one stray byte never swallows the character after it.
    const bool pair = b >= 0x81 && b <= 0xFE && i + 1 < gbk.size();
    const int length = pair ? 2 : 1;
    wchar_t wide[2];
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i, length, wide, 2);
    if (n > 0) {
      AppendWide(out, wide, n);
      i += static_cast<std::size_t>(length);
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

}  // namespace platform
