#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "platform/utf8.h"

namespace platform {

namespace {

// Converts with iconv, writing '?' for each stretch the converter refuses
// (a character the target lacks, or bytes that are not valid input) and
// going on with the rest; skip tells how many input bytes one '?' stands for.
bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One converter per thread and direction, opened on first use: opening one
// costs far more than most conversions (every log line and settings line
// goes through here), and a converter must never be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : Cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(Cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return Cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const {
    iconv(Cd_, nullptr, nullptr, nullptr, nullptr);  // the initial state, whatever came before
    return Cd_;
  }

 private:
  iconv_t Cd_;
};

template <typename Skip>
std::string Convert(const Converter& converter, std::string_view input, Skip skip) {
  // ASCII is the same bytes in GBK and in UTF-8.
  if (IsAscii(input)) return std::string(input);
  std::string out;
  if (!converter.Valid()) {
    // Without the converter (a C library lacking GBK) plain ASCII still
    // passes through unchanged, and everything else is marked as lost.
    for (char c : input) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return out;
  }

  iconv_t cd = converter.Get();
  char* in = const_cast<char*>(input.data());  // iconv's signature is not const-correct
  std::size_t inLeft = input.size();
  std::string buffer(input.size() * 2 + 16, '\0');
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
    out.append(buffer.data(), buffer.size() - outLeft);
    if (error == EILSEQ || error == EINVAL) {
      const std::size_t n = skip(std::string_view(in, inLeft));
      in += n;
      inLeft -= n;
      out += '?';
    } else if (error != 0 && error != E2BIG) {
      out += '?';  // an unexpected failure: keep what converted, mark the loss
      break;
    }
  }
  char* outPtr = buffer.data();
  std::size_t outLeft = buffer.size();
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer.data(), buffer.size() - outLeft);
  return out;
}

}  // namespace

std::string ToGbk(std::string_view utf8) {
  thread_local const Converter converter("GBK", "UTF-8");
  return Convert(converter, utf8, [](std::string_view rest) -> std::size_t {
    // A well-formed character that GBK lacks is one '?'; a broken byte is one '?'.
    const std::size_t n = Utf8CharLength(rest);
    return n == 0 ? 1 : n;
  });
}

std::string FromGbk(std::string_view gbk) {
  thread_local const Converter converter("UTF-8", "GBK");
  return Convert(converter, gbk, [](std::string_view) -> std::size_t { return 1; });
}

}  // namespace platform
