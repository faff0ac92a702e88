#include "expr/evaluate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace rw {
namespace {

TEST(EvaluateUnsigned, GivesTheValueReadAsUnsigned) {
  struct Case {
    std::string text;
    uint64_t expected;
  };
  const Case cases[] = {
      {"3*4", 12},
      {"0x10 + 010", 24},
      {"0b101", 5},
      {"1 << 4", 16},
      {"+0x1C", 28},
      {"-1", 0xFFFFFFFFFFFFFFFFu},
      {"10UL", 10},
      {"0x1fULL + 1", 32},
      {"10lu", 10},       // "10l" then an ignored identifier
      {"09", 9},          // octal, digits not checked against the base
      {"0X10", 0},        // "0X" is no prefix: 0 and an ignored identifier
      {"0b102", 2},       // "0b10", then an ignored literal
      {"12)", 12},
      {"12 abc", 12},
      {"(12)", 12},
      {"  7  ", 7},
      {"2 + 3 * 4", 14},
      {"(2 + 3) * 4", 20},
      {"10 - 2 - 3", 5},   // left-associative
      {"100 / 10 / 5", 2},
      {"1 + 2 << 3", 24},  // + binds tighter than <<
      {"6 & 3 | 8 ^ 1", 11},
      {"-7 / 2", static_cast<uint64_t>(-3)},  // truncation toward zero
      {"-7 % 2", static_cast<uint64_t>(-1)},
      {"~0", 0xFFFFFFFFFFFFFFFFu},
      {"- -5", 5},
      {"0xFFFFFFFFFFFFFFFF + 1", 0},
      {"0x1FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFu},  // wraps while accumulating
      {"0x7FFFFFFFFFFFFFFF + 1", 0x8000000000000000u},
      {"-0x7FFFFFFFFFFFFFFF - 1", 0x8000000000000000u},
      {"(-0x7FFFFFFFFFFFFFFF - 1) / -1", 0x8000000000000000u},
      {"(-0x7FFFFFFFFFFFFFFF - 1) % -1", 0},
      {"-(-0x7FFFFFFFFFFFFFFF - 1)", 0x8000000000000000u},
      {"0x100000000 * 0x100000000", 0},
      {"1 << 64", 1},
      {"1 << 65", 2},
      {"1 << 63", 0x8000000000000000u},
      {"1 << -1", 0x8000000000000000u},
      {"-16 >> 2", static_cast<uint64_t>(-4)},  // arithmetic shift
      {"-1 >> 63", 0xFFFFFFFFFFFFFFFFu},
      {"-1 << 63", 0x8000000000000000u},
      {"1 && 2", 1},   // signed 0 or 1, not a boolean
      {"0 || 0", 0},
      {"1.5", 0x3FF8000000000000u},        // a floating value gives its bits
      {"1 + 0.5", 0x3FF8000000000000u},    // a floating right operand makes a double
      {"1.5 * 2", 0x4008000000000000u},
      {"-1.5", 0xBFF8000000000000u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UnsignedResult r = evaluateUnsigned(c.text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, c.expected);
  }
}

TEST(EvaluateUnsigned, MinusOneKeepsAllOnesInTheLow32Bits) {
  EXPECT_EQ(static_cast<uint32_t>(evaluateUnsigned("-1").value), 4294967295u);
}

TEST(EvaluateSigned, GivesTheValueReadAsSigned) {
  struct Case {
    std::string text;
    int64_t expected;
  };
  const Case cases[] = {
      {"-1", -1},
      {"0xFFFFFFFFFFFFFFFF", -1},
      {"-7 / 2", -3},
      {"7 % -2", 1},
      {"1.9", 1},     // truncation toward zero
      {"-1.9", -1},
      {"7 / 2.0", 3},  // 3.5 truncated
      {"7 % 2.5", 1},  // % reads a floating right operand as an integer
      {"99999999999999999999.0", std::numeric_limits<int64_t>::max()},
      {"0 - 99999999999999999999.0", std::numeric_limits<int64_t>::min()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const SignedResult r = evaluateSigned(c.text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, c.expected);
  }
}

TEST(EvaluateCondition, NeedsABooleanResult) {
  struct Case {
    std::string text;
    bool ok;
    bool expected;
  };
  const Case cases[] = {
      {"1 == 1", true, true},
      {"1 != 1", true, false},
      {"(5 > 2) && (3 < 4)", true, true},
      {"2 > 1 && 1", true, true},
      {"2 > 1 && 0", true, false},
      {"1 > 2 || 1", true, true},
      {"!0", true, true},
      {"!5", true, false},
      {"!0.0", true, true},
      {"-1 < 0", true, true},   // signed comparison
      {"2 > 1.5", true, true},  // the right read as signed: 2 > 1
      {"\"abc\" == \"abc\"", true, true},
      {"\"abc\" < \"abd\"", true, true},
      {"\"12\" == 12", true, true},  // the right converted to text
      {"\"1.5\" == 1.5", true, true},
      {"(1 == 1) == (2 == 2)", true, true},
      {"(1 == 1) + (1 == 1)", true, true},   // 1 + 1 on booleans is true
      {"(1 == 1) - (1 == 1)", true, false},
      {"(1 == 1) && 256", true, false},  // the right's lowest byte
      {"1", false, false},
      {"1 && 1", false, false},
      {"1.5 > 1", false, false},  // floating values do not compare
      {"\"abc\"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ConditionResult r = evaluateCondition(c.text);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.value, c.expected);
  }
}

TEST(CheckedEvaluations, FailWithAZeroResult) {
  const std::string failures[] = {
      "",
      "   ",
      "5 / 0",
      "5 % 0",
      "5 / (1 == 2)",
      "1.0 / 0.0",
      "5 / 0.0",
      "FOO + 1",
      "0 && FOO",  // no short-circuit
      "1 || FOO",
      "(int)3",
      "(unsigned long *)3",
      "sizeof(int)",
      "sizeof 3",
      "&3",
      "*3",
      "@R0",
      "a::b",
      "::a",
      "1 ? 2 : 3",
      "1, 2",
      "8 >>> 1",
      "2 (3)",
      "2[0]",
      "(2).x",
      "2->x",
      "2++",
      "--2",
      "1 = 2",
      "x += 1",
      "12 #",
      "#",
      "(12",
      "\"abc",
      "\"a\" + 1",
      "1 << 1.0",  // the shift count must be a signed integer
      "1 << (1 == 1)",
      "1.0 << 1",
      "(1 == 1) << 1",
      "1.5 % 2",
      "~1.5",
      "-\"a\"",
      "\"a\" && 1",
  };
  for (const std::string& text : failures) {
    SCOPED_TRACE(text);
    const UnsignedResult u = evaluateUnsigned(text);
    EXPECT_FALSE(u.ok);
    EXPECT_EQ(u.value, 0u);
    const SignedResult s = evaluateSigned(text);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.value, 0);
    const ConditionResult c = evaluateCondition(text);
    EXPECT_FALSE(c.ok);
    EXPECT_FALSE(c.value);
  }
}

TEST(CheckedEvaluations, ASuccessAfterAFailureIsUnaffected) {
  EXPECT_FALSE(evaluateUnsigned("(1 + FOO").ok);
  const UnsignedResult r = evaluateUnsigned("2 + 2");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.value, 4u);
}

}  // namespace
}  // namespace rw
