#include "expr/integer_literal.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace rw {
namespace {

TEST(ExpressionLiteralValue, AccumulatesEveryCharacterInTheChosenBase) {
  struct Case {
    std::string text;
    uint64_t expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"017", 15},
      {"0x", 0},
      {"0b", 0},
      {"0xfF", 255},
      {"1A", 20},       // 'A' counts 10 even in base 10
      {"1z", 45},       // 'z' counts 35
      {"0x@", 9},       // '@' counts its code minus 55
      {"12UL", 12},
      {"12l", 12},
      {"  -0x10", static_cast<uint64_t>(-16)},
      {"+7", 7},
      {"18446744073709551616", 0},  // wraps at 64 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(expressionLiteralValue(c.text), c.expected);
  }
}

TEST(SizeLiteralValue, ReadsCStyleLiterals) {
  struct Case {
    std::string text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"32", 32},
      {"0x20", 32},
      {"0b101", 5},
      {"010", 8},
      {"10UL", 10},
      {"u5", 0},
      {"-1", 0xFFFFFFFFu},
      {"+7", 7},
      {"  \t12", 12},
      {"0X20", 2128},
      {"0x", 0},
      {"", 0},
      {"0xFF", 255},
      {"19a", 1 * 100 + 9 * 10 + 10},
      {"32 ", 32},
      {"0x100000001", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(static_cast<uint32_t>(sizeLiteralValue(c.text)), c.expected);
  }
}

}  // namespace
}  // namespace rw
