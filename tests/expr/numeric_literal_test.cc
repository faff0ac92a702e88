#include "expr/numeric_literal.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace rw {
namespace {

TEST(ConvertIntegerLiteral, AccumulatesEveryCharacterInTheChosenBase) {
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
    EXPECT_EQ(convertIntegerLiteral(c.text), c.expected);
  }
}

TEST(ConvertFloatingLiteral, HandlesMagnitudesBeyondDouble) {
  const std::string huge = std::string(400, '9') + ".0";
  const std::string tiny = "0." + std::string(400, '0') + "1";
  EXPECT_EQ(convertFloatingLiteral("2.5"), 2.5);
  EXPECT_EQ(convertFloatingLiteral(huge), std::numeric_limits<double>::infinity());
  EXPECT_EQ(convertFloatingLiteral(tiny), 0.0);
}

}  // namespace
}  // namespace rw
