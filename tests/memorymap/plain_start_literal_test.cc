#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "expr/evaluate.h"
#include "memorymap/memory_map_element.h"

namespace rw {
namespace {

// The direct reading must agree with the evaluator wherever it answers, and
// leave everything else to it.
TEST(PlainStartLiteral, AgreesWithTheEvaluatorOrDeclines) {
  struct Case {
    const char* text;
    bool plain;
  };
  const Case cases[] = {
      {"0", true},           {"+0", true},           {"7", true},           {"123456789", true},
      {"0x0", true},         {"0x40000000", true},   {"+0x4", true},        {"0xFFFFFFFF", true},
      {"0xabcdef12", true},  {"0x80000000", true},   {"+0xDeadBeef", true}, {"1234567890", false},
      {"0x100000000", false}, {"010", false},        {"00", false},         {"0x", false},
      {"0X10", false},       {"+", false},           {"", false},           {"-4", false},
      {"++4", false},        {" 4", false},          {"4 ", false},         {"4U", false},
      {"0x4L", false},       {"0b101", false},       {"1+1", false},        {"0xG", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<uint32_t> plain = plainStartLiteral(c.text);
    ASSERT_EQ(plain.has_value(), c.plain);
    if (!plain) continue;
    const UnsignedResult evaluated = evaluateUnsigned(c.text);
    ASSERT_TRUE(evaluated.ok);
    EXPECT_EQ(*plain, static_cast<uint32_t>(evaluated.value));
  }
}

TEST(PlainStartLiteral, AgreesWithTheEvaluatorOnRandomNumbers) {
  std::mt19937 random(12345);
  char text[32];
  for (int i = 0; i < 20000; ++i) {
    const uint32_t value = random() >> (random() % 32);
    const char* format = (i % 4 == 0) ? "%u" : (i % 4 == 1) ? "0x%X" : (i % 4 == 2) ? "+0x%x" : "+%u";
    std::snprintf(text, sizeof text, format, value);
    SCOPED_TRACE(text);
    const std::optional<uint32_t> plain = plainStartLiteral(text);
    if (!plain) continue;
    const UnsignedResult evaluated = evaluateUnsigned(text);
    ASSERT_TRUE(evaluated.ok);
    ASSERT_EQ(*plain, static_cast<uint32_t>(evaluated.value));
  }
}

}  // namespace
}  // namespace rw
