#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <ctime>
#include <stdexcept>

namespace platform {
namespace {

DateTimeParts Parts(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  DateTimeParts p;
  p.year = y, p.month = mo, p.day = d, p.hour = h, p.minute = mi, p.second = s, p.millisecond = ms;
  return p;
}

void ExpectParts(const DateTimeParts& actual, const DateTimeParts& expected) {
  EXPECT_EQ(actual.year, expected.year);
  EXPECT_EQ(actual.month, expected.month);
  EXPECT_EQ(actual.day, expected.day);
  EXPECT_EQ(actual.hour, expected.hour);
  EXPECT_EQ(actual.minute, expected.minute);
  EXPECT_EQ(actual.second, expected.second);
  EXPECT_EQ(actual.millisecond, expected.millisecond);
}

TEST(DateTime, EncodesDaysSinceTheEndOf1899) {
  const struct {
    DateTimeParts parts;
    double value;
  } cases[] = {
      {Parts(1899, 12, 30), 0.0},
      {Parts(1899, 12, 31, 6), 1.25},
      {Parts(1900, 3, 1), 61.0},
      {Parts(2000, 1, 1, 12), 36526.5},
      {Parts(2024, 2, 29), 45351.0},
      {Parts(2024, 3, 9, 14, 5, 9), 45360.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0},
      {Parts(1899, 12, 29, 18), -0.25},  // before the epoch the count runs on
      {Parts(1, 1, 1), -693593.0},
      {Parts(9999, 12, 31), 2958465.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_DOUBLE_EQ(EncodeDateTime(c.parts), c.value);
    ExpectParts(DecodeDateTime(c.value), c.parts);
  }
}

TEST(DateTime, EncodeRejectsFieldsOutOfRange) {
  const DateTimeParts cases[] = {
      Parts(2023, 2, 29),
      Parts(2024, 13, 1),
      Parts(2024, 0, 1),
      Parts(2024, 4, 31),
      Parts(0, 1, 1),
      Parts(10000, 1, 1),
      Parts(2024, 1, 1, 24),
      Parts(2024, 1, 1, 0, 60),
      Parts(2024, 1, 1, 0, 0, 60),
      Parts(2024, 1, 1, 0, 0, 0, 1000),
      Parts(1900, 2, 29),
  };
  for (const auto& p : cases) {
    SCOPED_TRACE(testing::Message() << p.year << "-" << p.month << "-" << p.day << " " << p.hour
                                    << ":" << p.minute << ":" << p.second << "." << p.millisecond);
    EXPECT_THROW(EncodeDateTime(p), std::invalid_argument);
  }
}

TEST(DateTime, DecodeRoundsToMillisecondsWithCarry) {
  const double day = 45360.0;  // 2024-03-09
  // Half a millisecond short of midnight reads as the next day, never second 60.
  ExpectParts(DecodeDateTime(day + 1 - 0.4 / 86400000.0), Parts(2024, 3, 10));
  ExpectParts(DecodeDateTime(day + 59.9996 / 86400.0), Parts(2024, 3, 9, 0, 1, 0, 0));
  ExpectParts(DecodeDateTime(day + 1.2344 / 86400.0), Parts(2024, 3, 9, 0, 0, 1, 234));
  // Every millisecond of a day survives encode and decode.
  for (int ms : {0, 1, 499, 500, 999}) {
    SCOPED_TRACE(ms);
    const DateTimeParts p = Parts(2024, 12, 31, 23, 59, 59, ms);
    ExpectParts(DecodeDateTime(EncodeDateTime(p)), p);
  }
  EXPECT_THROW(DecodeDateTime(3e6), std::invalid_argument);
}

TEST(DateTime, AddMinutesMovesByWholeMinutesBothWays) {
  const double t = EncodeDateTime(Parts(2024, 2, 28, 23, 30));
  EXPECT_DOUBLE_EQ(AddMinutes(t, 45), (t * 1440 + 45) / 1440);
  EXPECT_EQ(DateTimeToStr(AddMinutes(t, 45)), "2024-02-29 00:15:00");
  EXPECT_EQ(DateTimeToStr(AddMinutes(t, -1470)), "2024-02-27 23:00:00");
  EXPECT_EQ(DateTimeToStr(AddMinutes(t, 0)), "2024-02-28 23:30:00");
}

TEST(DateTime, FormatsWithFixedTokens) {
  const double t = EncodeDateTime(Parts(2024, 3, 9, 4, 5, 6, 7));
  const struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"yyyymmdd", "20240309"},
      {"yymmddhhnnss", "240309040506"},
      {"yymmddhhnn", "2403090405"},
      {"hh:nn:ss.zzz", "04:05:06.007"},
      {"yyyy-mm-dd hh:nn:ss ", "2024-03-09 04:05:06 "},
      {"[y m d h n s z]", "[y m d h n s z]"},  // single letters are copied
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(FormatDateTime(c.pattern, t), c.text);
  }
  EXPECT_EQ(DateTimeToStr(EncodeDateTime(Parts(2024, 12, 31, 23, 59, 59))), "2024-12-31 23:59:59");
}

TEST(DateTime, StrToDateTimeReadsTheFixedForm) {
  const struct {
    const char* text;
    DateTimeParts parts;
  } cases[] = {
      {"2024-03-09 14:05", Parts(2024, 3, 9, 14, 5)},
      {"2024-03-09 14:05:09", Parts(2024, 3, 9, 14, 5, 9)},
      {"2024-2-29 8:05", Parts(2024, 2, 29, 8, 5)},
      {"2024-1-1 0:0:0", Parts(2024, 1, 1)},
      {"  2024-01-01 00:00  ", Parts(2024, 1, 1)},
      {"2024-01-01  23:59:59", Parts(2024, 1, 1, 23, 59, 59)},
      {"2000-02-29 12:00", Parts(2000, 2, 29, 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(StrToDateTime(c.text), EncodeDateTime(c.parts));
  }
}

TEST(DateTime, StrToDateTimeRejectsAnythingElseWithTheOriginalText) {
  const char* cases[] = {
      "",
      "   ",
      "2023-02-29 08:05",  // 2023 is not a leap year
      "1900-02-29 08:05",  // nor is 1900
      "2024-03-09 24:00",
      "2024-03-09 23:60",
      "2024-03-09 23:59:60",
      "2024-13-01 00:00",
      "2024-00-01 00:00",
      "2024-04-31 00:00",
      "0000-01-01 00:00",
      "24-03-09 14:05",  // the year has four digits
      "02024-03-09 14:05",
      "2024-003-09 14:05",
      "2024-03-09",  // the time is not optional
      "2024-03-09 14",
      "2024-03-0914:05",
      "2024/03/09 14:05",
      "2024-03-09 14:05:",
      "2024-03-09 14:05:09.123",
      "2024-03-09 14:05 x",
      "2024-03-09 1:2:3:4",
      "2024-03-09 -1:05",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    try {
      StrToDateTime(text);
      ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid date and time");
    }
  }
}

TEST(DateTime, NowIsTheLocalWallClock) {
  const std::time_t before = std::time(nullptr);
  const double now = Now();
  const std::time_t after = std::time(nullptr);
  std::tm b{}, a{};
  localtime_r(&before, &b);
  localtime_r(&after, &a);
  const double low = EncodeDateTime(
      Parts(b.tm_year + 1900, b.tm_mon + 1, b.tm_mday, b.tm_hour, b.tm_min, b.tm_sec));
  const double high = EncodeDateTime(
      Parts(a.tm_year + 1900, a.tm_mon + 1, a.tm_mday, a.tm_hour, a.tm_min, a.tm_sec, 999));
  EXPECT_GE(now, low);
  EXPECT_LE(now, high);
}

}  // namespace
}  // namespace platform
