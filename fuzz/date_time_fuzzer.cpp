// The date-time text reader and the day-count arithmetic: any text is read
// or refused with the exact message; a value read formats to a text that
// reads back to the same value; any day count decodes or is refused, and a
// decoded one encodes back to within a millisecond.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "scratch_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const platform::TDateTime t = platform::StrToDateTime(text);
    const std::string shown = platform::DateTimeToStr(t);
    fuzz::Require(platform::StrToDateTime(shown) == t, "a read date-time reads back from its text");
  } catch (const std::invalid_argument& e) {
    // what() is a C string: a zero byte in the text ends the message there.
    const std::string message = "'" + std::string(text) + "' is not a valid date and time";
    fuzz::Require(std::string(e.what()) == message.substr(0, message.find('\0')),
                  "the error names the text");
  }

  if (size >= sizeof(double)) {
    double t;
    std::memcpy(&t, data, sizeof t);
    try {
      const platform::DateTimeParts parts = platform::DecodeDateTime(t);
      const double back = platform::EncodeDateTime(parts);
      fuzz::Require(std::fabs(back - t) <= 1.0 / 86400000, "decode then encode keeps the instant");
      platform::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz yy", t);
    } catch (const std::invalid_argument&) {
      // Outside year 1 to 9999 or not a number: refusing is the contract.
    }
  }
  return 0;
}
