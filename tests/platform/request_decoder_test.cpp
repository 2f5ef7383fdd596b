#include "platform/request_decoder.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RequestDecoder, DecodesWellFormedAndLenientSequences) {
  const struct {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"ascii", "<root type=\"ReadCard\"/>\r\n", "<root type=\"ReadCard\"/>\r\n"},
      {"two and three bytes", "\xC3\xA9\xE4\xBD\xA0\xE5\xA5\xBD",
       "\xC3\xA9\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"overlong two-byte slash", "\xC0\xAF", "/"},
      {"overlong three-byte A", "\xE0\x81\x81", "A"},
      {"overlong zero",
       std::string("a\xC0\x80"
                   "b"),
       std::string("a\0b", 3)},
      {"four-byte emoji", "x\xF0\x9F\x98\x80y", "x\xF0\x9F\x98\x80y"},
      {"highest character", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"CESU surrogate pair joined", "\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80"},
      {"lone high surrogate",
       "a\xED\xA0\xBD"
       "b",
       "a\xEF\xBF\xBD"
       "b"},
      {"lone low surrogate", "\xED\xB8\x80", "\xEF\xBF\xBD"},
      {"low before high is not a pair", "\xED\xB8\x80\xED\xA0\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      // Past U+10FFFF a four-byte lead falls back to the three-byte reading:
      // F4 90 80 gives U+4400 and the trailing 80 80 gives U+0000.
      {"above U+10FFFF", std::string("\xF4\x90\x80\x80\x80"), std::string("\xE4\x90\x80\0", 4)},
      // A four-byte lead short of its third continuation is no four-byte
      // sequence, so the three-byte reading applies: F0 9F 98 gives U+07D8.
      {"four-byte lead with two continuations", "\xF0\x9F\x98", "\xDF\x98"},
      // A continuation byte as a lead is read by its bit pattern too.
      {"continuation as lead", "\x81\x81", "A"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeRequestBytes(c.bytes), c.text);
  }
}

TEST(RequestDecoder, ABrokenSequenceEmptiesTheWholeText) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"lone E9", "caf\xE9"},
      {"E9 before ascii", "caf\xE9 ok"},
      {"two-byte lead at end", "ab\xC3"},
      {"three-byte lead missing its last byte", "\xE4\xBD"},
      {"continuation replaced by ascii", "\xE4\x41\xA0 tail"},
      {"four-byte lead with one continuation", "\xF0\x9F"},
      {"above U+10FFFF without a second sequence", "\xF4\x90\x80\x80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeRequestBytes(c.bytes), "");
  }
}

}  // namespace
}  // namespace platform
