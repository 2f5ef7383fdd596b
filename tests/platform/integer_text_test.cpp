#include "platform/integer_text.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace platform {
namespace {

TEST(IntegerText, ReadsDecimalAndHexadecimalForms) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},
      {"8886", 8886},
      {"  42", 42},  // leading blanks are skipped
      {"+7", 7},
      {"-15", -15},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$22B6", 8886},
      {"0x22B6", 8886},
      {"0X22b6", 8886},
      {"x1f", 31},
      {"X1F", 31},
      {"$FFFFFFFF", -1},  // eight digits are a 32-bit pattern
      {"$80000000", INT32_MIN},
      {"-$10", -16},
      {" -0x1", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TryStrToInt(c.text), std::optional<std::int32_t>(c.value));
  }
}

TEST(IntegerText, RejectsTextThatBreaksTheRules) {
  const char* cases[] = {
      "",           "   ", "8886x",      "abc",         "true",        "$",
      "0x",         "x",   "-",          "+",           "42 ",  // nothing may follow, not even
                                                                // blanks
      "4 2",        "- 5", "2147483648", "-2147483649", "99999999999",
      "$100000000",  // nine hexadecimal digits
      "$12G",       "1.5", "0x-1",       "--1",         "\t",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TryStrToInt(text), std::nullopt);
  }
}

TEST(IntegerText, StrToIntThrowsWithTheOriginalText) {
  EXPECT_EQ(StrToInt(" $FF"), 255);
  try {
    StrToInt(" 12a");
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "' 12a' is not a valid integer value");
  }
}

TEST(IntegerText, StrToIntDefGivesTheFallbackOnlyForInvalidText) {
  EXPECT_EQ(StrToIntDef("8886x", 8886), 8886);
  EXPECT_EQ(StrToIntDef("", -3), -3);
  EXPECT_EQ(StrToIntDef("0", 5), 0);
  EXPECT_EQ(StrToIntDef("-9", 5), -9);
}

}  // namespace
}  // namespace platform
