#include "expr/whole_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace rw {
namespace {

TEST(WholeNumber, TheWholeTextOrNothing) {
  struct Case {
    std::string text;
    std::optional<uint64_t> value;
  };
  const Case cases[] = {
      // SVD numbers, tried first: "010" is ten, "08" eight.
      {"12", 12},
      {" 0x1F\t", 0x1F},
      {"0X1f", 0x1F},
      {"+7", 7},
      {"#101", 5},
      {"0B11", 3},
      {"010", 10},
      {"08", 8},
      {"1k", 1024},
      {"2M", 2 << 20},
      {"0x100000T", uint64_t{1} << 60},
      {"0xFFFFFFFFFFFFFFFF", UINT64_MAX},
      // C constant expressions, every literal whole.
      {"1 << 4", 16},
      {"(2 + 3) * 4U", 20},
      {"010 + 0", 8},
      {"0x10UL | 1", 0x11},
      {"0b11 + 0", 3},
      {"-1", UINT64_MAX},
      {"~0 & 0xFF", 0xFF},
      // What the evaluator reads up to its first bad character.
      {"12abc", std::nullopt},
      {"0x1z", std::nullopt},
      {"0x12junk", std::nullopt},
      {"0b1x1x", std::nullopt},
      {"1 2", std::nullopt},
      {"12)", std::nullopt},
      {"12) + (3", std::nullopt},
      {"(1", std::nullopt},
      // Literals not whole for their base, or past 64 bits.
      {"08 + 1", std::nullopt},
      {"0x + 1", std::nullopt},
      {"0b + 1", std::nullopt},
      {"0x10000000000000000", std::nullopt},
      {"18446744073709551616 + 0", std::nullopt},
      {"0x10000000000000000 + 0", std::nullopt},
      {"0x1000000T", std::nullopt},
      // No integer: floating literals, booleans, names, nothing.
      {"1.5", std::nullopt},
      {"1.0 * 2", std::nullopt},
      {"1 < 2", std::nullopt},
      {"RESET", std::nullopt},
      {"", std::nullopt},
      {"()", std::nullopt},
      {"1 #", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(wholeNumber(c.text), c.value);
  }
}

TEST(WholeNumber, DontCarePatterns) {
  struct Case {
    std::string text;
    bool pattern;
  };
  const Case cases[] = {
      {"#1x0", true},   {"0b1x1x", true}, {" 0BxX ", true}, {"#101", true},
      {"#", false},     {"0b", false},    {"1x0", false},   {"0x1x", false},
      {"#1x2", false},  {"#1 x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(isDontCarePattern(c.text), c.pattern);
  }
}

}  // namespace
}  // namespace rw
