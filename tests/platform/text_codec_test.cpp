#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextCodec, ConvertsBetweenUtf8AndGbk) {
  const struct {
    const char* utf8;
    std::string gbk;
  } cases[] = {
      {"", ""},
      {"Room 101\r\n", "Room 101\r\n"},
      {"\xE4\xBD\xA0", "\xC4\xE3"},  // 你
      {"\xE6\xA8\xA1\xE6\x8B\x9F\xE5\x8F\x91\xE5\x8D\xA1\xE5\x99\xA8",
       "\xC4\xA3\xC4\xE2\xB7\xA2\xBF\xA8\xC6\xF7"},  // 模拟发卡器
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(ToGbk(c.utf8), c.gbk);
    EXPECT_EQ(FromGbk(c.gbk), c.utf8);
  }
}

TEST(TextCodec, MarksWhatCannotBeConvertedAndKeepsTheRest) {
  const struct {
    const char* name;
    std::string utf8;
    std::string gbk;
  } cases[] = {
      {"emoji GBK lacks",
       "a\xF0\x9F\x98\x80\xE4\xBD\xA0"
       "b",
       "a?\xC4\xE3"
       "b"},
      {"Thai letter GBK lacks",
       "\xE0\xB8\x81"
       "1",
       "?1"},
      {"broken byte", "x\xE9y\xE4\xBD\xA0", "x?y\xC4\xE3"},
      {"truncated at end", "ok\xE4\xBD", "ok??"},
      {"encoded surrogate",
       "\xED\xA0\xBD"
       "z",
       "???z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToGbk(c.utf8), c.gbk);
  }
}

TEST(TextCodec, FromGbkMarksBytesThatAreNotGbk) {
  // 0xFF is never GBK; a lead byte at the end has no second byte.
  EXPECT_EQ(FromGbk("a\xFF"
                    "b"),
            "a?b");
  EXPECT_EQ(FromGbk("\xC4\xE3\xC4"), "\xE4\xBD\xA0?");
}

}  // namespace
}  // namespace platform
