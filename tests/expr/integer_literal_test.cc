#include "expr/integer_literal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace rw {
namespace {

TEST(IntegerLiteral, BothRulesSideBySide) {
  struct Case {
    std::string text;
    uint64_t expression;
    uint64_t size;
  };
  const Case cases[] = {
      {"0", 0, 0},
      {"017", 15, 15},
      {"0xfF", 255, 255},
      {"0b101", 5, 5},
      {"0x", 0, 0},
      {"", 0, 0},
      {"-", 0, 0},
      // Digits are not checked against the base.
      {"09", 9, 9},
      {"0b12", 4, 4},
      {"1A", 20, 20},
      {"1z", 45, 45},
      // Only lower-case prefixes: here X is digit 33 in base 8.
      {"0X20", 2128, 2128},
      {"12UL", 12, 12},
      {"10LU", 10, 10},
      {"u5", 0, 0},
      {" \t-0x10", static_cast<uint64_t>(-16), static_cast<uint64_t>(-16)},
      {"+7", 7, 7},
      {"18446744073709551617", 1, 1},
      {"0x100000001", 0x100000001, 0x100000001},
      // Characters that are no letter or digit: the size rule stops there,
      // the expression rule counts their code minus 55.
      {"0x@", 9, 0},
      {"32 ", 297, 32},
      {"1.5", 15, 1},
      {"12\xC3", 260, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(expressionLiteralValue(c.text), c.expression);
    EXPECT_EQ(sizeLiteralValue(c.text), c.size);
  }
}

}  // namespace
}  // namespace rw
