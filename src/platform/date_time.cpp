#include "platform/date_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/local_clock.h"

namespace platform {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days from 1970-01-01 (the civil algorithm's epoch) to 1899-12-30.
constexpr std::int64_t kEpochShift = -25569;
// 0001-01-01 and 9999-12-31 as day counts.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

bool PartsInRange(const DateTimeParts& p) {
  return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
         p.day <= DaysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 &&
         p.minute <= 59 && p.second >= 0 && p.second <= 59 && p.millisecond >= 0 &&
         p.millisecond <= 999;
}

// Proleptic Gregorian day count from 1970-01-01, valid for every year used here.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

std::string Pad(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads minDigits..maxDigits digits at pos into value.
bool ReadNumber(std::string_view s, std::size_t& pos, int minDigits, int maxDigits, int& value) {
  int count = 0;
  value = 0;
  while (pos < s.size() && IsDigit(s[pos]) && count < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++count;
  }
  // A third digit where at most two belong is an error, not the next field.
  return count >= minDigits && !(pos < s.size() && IsDigit(s[pos]));
}

bool Expect(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

bool ParseDateTime(std::string_view s, DateTimeParts& p) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  s = s.substr(begin, end - begin);

  std::size_t pos = 0;
  if (!ReadNumber(s, pos, 4, 4, p.year) || !Expect(s, pos, '-') ||
      !ReadNumber(s, pos, 1, 2, p.month) || !Expect(s, pos, '-') ||
      !ReadNumber(s, pos, 1, 2, p.day))
    return false;
  if (pos >= s.size() || !IsBlank(s[pos])) return false;
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  if (!ReadNumber(s, pos, 1, 2, p.hour) || !Expect(s, pos, ':') ||
      !ReadNumber(s, pos, 1, 2, p.minute))
    return false;
  p.second = 0;
  if (pos < s.size() && (!Expect(s, pos, ':') || !ReadNumber(s, pos, 1, 2, p.second))) return false;
  p.millisecond = 0;
  return pos == s.size() && PartsInRange(p);
}

}  // namespace

TDateTime Now() { return EncodeDateTime(LocalNowParts()); }

TDateTime AddMinutes(TDateTime t, int minutes) { return (t * 1440 + minutes) / 1440; }

TDateTime EncodeDateTime(const DateTimeParts& p) {
  if (!PartsInRange(p)) throw std::invalid_argument("Invalid argument to date encode");
  const std::int64_t days = DaysFromCivil(p.year, p.month, p.day) - kEpochShift;
  const std::int64_t ms = ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
  // Before the epoch the count still runs forward: the day is the floor and
  // the fraction the time of day, so adding minutes works the same everywhere.
  return static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime t) {
  if (!std::isfinite(t) || std::fabs(t) > 1e7)
    throw std::invalid_argument("Invalid argument to date decode");
  // Rounding the whole count to milliseconds lets 23:59:59.9996 carry into
  // the next day rather than read as second 60.
  const std::int64_t total = std::llround(t * kMsPerDay);
  std::int64_t days = total / kMsPerDay;
  std::int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  // Year 1 to year 9999, the span EncodeDateTime gives.
  if (days < kFirstDay || days > kLastDay)
    throw std::invalid_argument("Invalid argument to date decode");
  DateTimeParts p;
  CivilFromDays(days + kEpochShift, p.year, p.month, p.day);
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.millisecond = static_cast<int>(ms % 1000);
  return p;
}

std::string FormatDateTime(std::string_view pattern, TDateTime t) {
  const DateTimeParts p = DecodeDateTime(t);
  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    if (rest.starts_with("yyyy")) {
      out += Pad(p.year, 4);
      i += 4;
    } else if (rest.starts_with("zzz")) {
      out += Pad(p.millisecond, 3);
      i += 3;
    } else if (rest.starts_with("yy")) {
      out += Pad(p.year % 100, 2);
      i += 2;
    } else if (rest.starts_with("mm")) {
      out += Pad(p.month, 2);
      i += 2;
    } else if (rest.starts_with("dd")) {
      out += Pad(p.day, 2);
      i += 2;
    } else if (rest.starts_with("hh")) {
      out += Pad(p.hour, 2);
      i += 2;
    } else if (rest.starts_with("nn")) {
      out += Pad(p.minute, 2);
      i += 2;
    } else if (rest.starts_with("ss")) {
      out += Pad(p.second, 2);
      i += 2;
    } else {
      out += pattern[i];
      i += 1;
    }
  }
  return out;
}

std::string DateTimeToStr(TDateTime t) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", t); }

TDateTime StrToDateTime(std::string_view text) {
  DateTimeParts parts;
  if (!ParseDateTime(text, parts))
    throw std::invalid_argument("'" + std::string(text) + "' is not a valid date and time");
  return EncodeDateTime(parts);
}

}  // namespace platform
