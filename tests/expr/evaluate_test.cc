#include "expr/evaluate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "text_builders.h"

namespace rw {
namespace {

using testing::join;
using testing::repeat;

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TEST(Evaluate, Numbers) {
  struct Case {
    std::string text;
    uint64_t asUnsigned;
    int64_t asSigned;
  };
  const Case cases[] = {
      {"2 + 3 * 4", 14, 14},
      {"(2 + 3) * 4", 20, 20},
      {"10 - 2 - 3", 5, 5},
      {"100 / 10 / 5", 2, 2},
      {"1 + 2 << 3", 24, 24},
      {"6 & 3 | 8 ^ 1", 11, 11},
      {"- -5 + +1 + ~0", 5, 5},
      {"-1", UINT64_MAX, -1},
      {"0x10 + 010 + 0b1", 25, 25},
      {"09", 9, 9},
      {"0x1fULL + 10lu", 41, 41},  // "10l" and an ignored "u"
      {"0X10", 0, 0},              // "0" and an ignored identifier
      {"0b102", 2, 2},
      {"12)", 12, 12},
      {"12 abc", 12, 12},
      {"0x1FFFFFFFFFFFFFFFF", UINT64_MAX, -1},
      {"0x100000000 * 0x100000000", 0, 0},
      {"-7 / 2", static_cast<uint64_t>(-3), -3},
      {"-7 % 2", static_cast<uint64_t>(-1), -1},
      {"(-0x7FFFFFFFFFFFFFFF - 1) / -1", 1ull << 63, kMin},
      {"(-0x7FFFFFFFFFFFFFFF - 1) % -1", 0, 0},
      {"1 << 65", 2, 2},
      {"1 << -1", 1ull << 63, kMin},
      {"-16 >> 2", static_cast<uint64_t>(-4), -4},
      {"1 && 2", 1, 1},
      {"0 || 0", 0, 0},
      {"1 || 1 && 0", 1, 1},  // && binds tighter than ||
      {"1 && 0.5", 0, 0},  // 0.5 read as an integer
      {"2 + (1 == 1)", 3, 3},
      {"-(1 == 1)", UINT64_MAX, -1},
      {"1 + \"a\"", 1, 1},
      {"7 % 2.5", 1, 1},
      // A double reads unsigned as its bits, signed truncated and saturated.
      {"1.5", 0x3FF8000000000000, 1},
      {"-1.5", 0xBFF8000000000000, -1},
      {"-0.0", 0x8000000000000000, 0},
      {"1 + 0.5", 0x3FF8000000000000, 1},
      {"7 / 2.0", 0x400C000000000000, 3},
      {"99999999999999999999.0", 0x4415AF1D78B58C40, kMax},
      {"0 - 99999999999999999999.0", 0xC415AF1D78B58C40, kMin},
      {join({repeat("9", 400), ".0"}), 0x7FF0000000000000, kMax},
      {join({"0.", repeat("0", 400), "1"}), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    const UnsignedResult u = evaluateUnsigned(c.text);
    EXPECT_TRUE(u.ok);
    EXPECT_EQ(u.value, c.asUnsigned);
    const SignedResult s = evaluateSigned(c.text);
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.value, c.asSigned);
    EXPECT_FALSE(evaluateCondition(c.text).ok);
  }
}

TEST(Evaluate, Conditions) {
  struct Case {
    std::string text;
    bool expected;
  };
  const Case cases[] = {
      {"1 != 1", false},
      {"2 > 1 && 1", true},
      {"2 > 1 && 0", false},
      {"1 > 2 || 1", true},
      {"-1 < 0", true},
      {"0 < 0.5", false},  // 0.5 read as an integer
      {"!0 == !0.0", true},
      {"!5", false},
      {"\"abc\" < \"abd\"", true},
      {"\"12\" == 12", true},
      {"\"1.5\" == 1.5", true},
      {"\"true\" == (1 == 1)", true},
      // A boolean reads the low byte of the other operand.
      {"(1 == 1) == 257", true},
      {"(1 == 1) && 256", false},
      {"(1 == 1) + (1 == 1)", true},
      {"(1 == 1) - (1 == 1)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ConditionResult r = evaluateCondition(c.text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, c.expected);
    EXPECT_FALSE(evaluateUnsigned(c.text).ok);
  }
}

TEST(Evaluate, FailuresGiveZeroAndSayNothing) {
  const std::string failures[] = {
      "", "   ", "\"abc\"",
      "5 / 0", "5 % 0", "5 / (1 == 2)", "5 / 0.0", "1.0 / 0.0", "7 % 0.5",
      "FOO + 1", "0 && FOO", "1 || FOO", "@R0", "a::b", "::a",
      "(int)3", "sizeof(int)", "sizeof 3", "&3", "*3", "2[0]", "(2).x", "2->x", "2 (3)",
      "addressof(\"main.c\", 12)", "2++", "--2", "1 = 2", "x += 1",
      "1 ? 2 : 3", "1, 2", "8 >>> 1", "12 #", "(12", "\"abc", "2.",
      "\"a\" + 1", "\"a\" && 1", "-\"a\"", "1.5 % 2", "1.5 & 1", "1.5 > 1", "1.5 && 1", "~1.5",
      "1 << 1.0", "1 << (1 == 1)", "1.0 << 1", "(1 == 1) << 1",
  };
  for (const std::string& text : failures) {
    SCOPED_TRACE(text);
    ::testing::internal::CaptureStderr();
    const UnsignedResult u = evaluateUnsigned(text);
    const SignedResult s = evaluateSigned(text);
    const ConditionResult c = evaluateCondition(text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(u.ok || s.ok || c.ok);
    EXPECT_TRUE(u.value == 0 && s.value == 0 && !c.value);
  }
}

// Parsing goes on after what cannot be evaluated, so the bounds apply to
// every text the syntax accepts, and only to those.
TEST(Evaluate, NestingBoundsWarn) {
  struct Case {
    const char* name;
    std::string text;
    bool warns;
    bool ok;  // of evaluateUnsigned, when it does not warn
  };
  const std::string chain = join({"1", repeat("+1", 1023)});  // 1024 high
  const std::string deep = repeat("- ", 300);  // "--" would be one token
  const Case cases[] = {
      {"255 parentheses", join({repeat("(", 255), "1", repeat(")", 255)}), false, true},
      {"256 parentheses", join({repeat("(", 256), "1", repeat(")", 256)}), true, false},
      {"100,000 parentheses", join({repeat("(", 100000), "1", repeat(")", 100000)}), true, false},
      {"unbalanced", repeat("(", 100000), true, false},
      {"255 negations", join({repeat("- ", 255), "1"}), false, true},
      {"256 negations", join({repeat("- ", 256), "1"}), true, false},
      {"1023 operators", chain, false, true},
      {"1024 operators", join({chain, "+1"}), true, false},
      {"1024 high in parentheses", join({"+(", chain, ")"}), false, true},
      {"1024 high under minus", join({"-(", chain, ")"}), true, false},
      {"1024 high under a cast", join({"(int)(", chain, ")"}), true, false},
      {"1023 postfixes", join({"a", repeat("[0].b->c++", 255), "[0].b->c"}), false, false},
      {"1024 postfixes", join({"a", repeat("[0].b->c++", 256)}), true, false},
      {"1024 calls", join({"f", repeat("(1, 2)", 1024)}), true, false},
      {"a literal far past 64 bits", repeat("9", 100000), false, true},
      {"after a failure", join({"5 / FOO + ", deep, "1"}), true, false},
      {"after accepted syntax",
       join({"a::b + @R0 + addressof(\"f.c\", 1) + sizeof(int) + x.y->z[0]++ + ", deep, "1"}), true,
       false},
      {"casts", join({repeat("(unsigned long *)", 300), "1"}), true, false},
      {"structs", join({repeat("(struct { int *a; char b : 3; })", 300), "1"}), true, false},
      {"registers", join({repeat("(register 4 { EN 0 1; })", 300), "1"}), true, false},
      {"array lengths", join({repeat("(int[", 300), "1", repeat("])1", 300)}), true, false},
      {"sizeof", join({repeat("sizeof ", 300), "1"}), true, false},
      {"prefixes", join({repeat("&*++!~", 60), "1"}), true, false},
      {"after ?", join({"1 ? ", deep, "1"}), false, false},
      {"after >>>", join({"1 >>> ", deep, "1"}), false, false},
      {"after an unknown struct", join({"(struct s)", deep, "1"}), false, false},
      {"after #", join({"1 + # ", deep, "1"}), false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::testing::internal::CaptureStderr();
    const UnsignedResult r = evaluateUnsigned(c.text);
    const std::string warning =
        c.warns ? join({"warning: expression nested too deeply; not evaluated: ",
                        c.text.substr(0, 16), "...\n"})
                : "";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), warning);
    EXPECT_EQ(r.ok, c.ok);
  }
}

// Plain literals, the way nearly every start in a map is written, take a
// shorter way than the parser; they must come out the same.
TEST(Evaluate, PlainLiteralsOfEveryLength) {
  for (uint64_t value = 1, step = 0; step < 64; ++step, value = value * 3 + step) {
    const uint64_t v = value & 0xFFFFFFFFu;
    for (const char* format : {"%llu", "+%llu", "0x%llX", "+0x%llx"}) {
      char text[32];
      std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(v));
      const UnsignedResult result = evaluateUnsigned(text);
      EXPECT_TRUE(result.ok) << text;
      EXPECT_EQ(result.value, v) << text;
    }
  }
  EXPECT_EQ(evaluateUnsigned("0x100000000").value, 0x100000000u);
  EXPECT_EQ(evaluateUnsigned("1234567890").value, 1234567890u);
  EXPECT_EQ(evaluateUnsigned("010").value, 8u);
  EXPECT_TRUE(evaluateUnsigned("0x").ok);
  EXPECT_FALSE(evaluateUnsigned("+").ok);
}

}  // namespace
}  // namespace rw
