#pragma once
#include <string>
#include <string_view>

namespace platform {

// Days since 1899-12-30 00:00 local time; the fraction is the time of day.
using TDateTime = double;

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The computer's local date and time now.
TDateTime Now();

// (t * 1440 + minutes) / 1440: the one rule for moving a date-time by whole
// minutes, negative to move back.
TDateTime AddMinutes(TDateTime t, int minutes);

// Throws std::invalid_argument for a field out of range.
TDateTime EncodeDateTime(const DateTimeParts& parts);
DateTimeParts DecodeDateTime(TDateTime t);

// Formats with a fixed pattern, never the locale's: "yyyy" or "yy" (year),
// "mm" (month), "dd" (day), "hh" (hour 00-23), "nn" (minute), "ss" (second),
// "zzz" (milliseconds); every other character is copied.
std::string FormatDateTime(std::string_view pattern, TDateTime t);

// "yyyy-mm-dd hh:nn:ss", the text of a date-time wherever one is shown.
std::string DateTimeToStr(TDateTime t);

// Reads "Y-M-D H:M" with optional ":S": a four-digit year, one or two digits
// for the other fields, blanks around the whole ignored, every field range
// checked. Throws std::invalid_argument("'<text>' is not a valid date and
// time") for anything else.
TDateTime StrToDateTime(std::string_view text);

}  // namespace platform
