#include "expr/value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

#include "expr/parser_exception.h"
#include "expr/value_operations.h"

namespace rw {
namespace {

using Kind = Value::Kind;

TEST(Value, ReadsIntegersThroughTheirSizeAndBitWidth) {
  struct Case {
    const char* name;
    Value value;
    int64_t asSigned;
    uint64_t asUnsigned;
  };
  const Case cases[] = {
      {"size 1", Value::integerBits(Kind::Signed, 0x1FF, 1), -1, 0xFF},
      {"size 2", Value::integerBits(Kind::Unsigned, 0x18000, 2), -32768, 0x8000},
      // A 4-byte value reads zero-extended, even as signed.
      {"size 4", Value::integerBits(Kind::Signed, 0xFFFFFFFFFFFFFFFF, 4), 0xFFFFFFFF, 0xFFFFFFFF},
      {"size 8", Value::integerBits(Kind::Signed, 0xFFFFFFFFFFFFFFFF, 8), -1, 0xFFFFFFFFFFFFFFFF},
      {"3-bit field", Value::integerBits(Kind::Signed, 0xFC, 8, 3), -4, 4},
      {"3-bit field positive", Value::integerBits(Kind::Signed, 0x3, 8, 3), 3, 3},
      {"true", Value::boolean(true), 1, 1},
      {"string", Value::string("12"), 0, 0},
      {"none", Value(), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.value.toSigned(), c.asSigned);
    EXPECT_EQ(c.value.toUnsigned(), c.asUnsigned);
  }
}

TEST(Value, ReadsFloatingValues) {
  struct Case {
    const char* name;
    Value value;
    int64_t asSigned;
    uint64_t asUnsigned;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"double", Value::floating(-2.75), -2, std::bit_cast<uint64_t>(-2.75)},
      {"single", Value::singleFloating(2.5f), 2, std::bit_cast<uint32_t>(2.5f)},
      {"nan", Value::floating(nan), 0, std::bit_cast<uint64_t>(nan)},
      {"infinity", Value::floating(infinity), std::numeric_limits<int64_t>::max(),
       std::bit_cast<uint64_t>(infinity)},
      {"-infinity", Value::floating(-infinity), std::numeric_limits<int64_t>::min(),
       std::bit_cast<uint64_t>(-infinity)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.value.toSigned(), c.asSigned);
    EXPECT_EQ(c.value.toUnsigned(), c.asUnsigned);
  }
}

TEST(Value, BooleanReadingTakesTheLowestByte) {
  EXPECT_TRUE(Value::signedInteger(1).toBoolean());
  EXPECT_FALSE(Value::signedInteger(0x100).toBoolean());
}

TEST(Value, TextForComparison) {
  struct Case {
    Value value;
    std::string text;
  };
  const Case cases[] = {
      {Value::string("abc"), "abc"},       {Value::signedInteger(-12), "-12"},
      {Value::unsignedInteger(~0ull), "18446744073709551615"},
      {Value::floating(0.1), "0.1"},       {Value::boolean(true), "true"},
      {Value(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value.toText(), c.text);
  }
}

TEST(ValueOperations, UnsignedLeftOperandsStayUnsigned) {
  struct Case {
    const char* name;
    BinaryOperator op;
    Value right;
    Kind kind;
    uint64_t bits;
  };
  const Value left = Value::unsignedInteger(0x8000000000000000u);
  const Case cases[] = {
      {"shift right is logical", BinaryOperator::Rshift, Value::signedInteger(63), Kind::Unsigned, 1},
      {"division is unsigned", BinaryOperator::Divide, Value::signedInteger(-1), Kind::Unsigned, 0},
      {"comparison is unsigned", BinaryOperator::Gt, Value::signedInteger(1), Kind::Boolean, 1},
      {"logical and", BinaryOperator::LogicalAnd, Value::signedInteger(2), Kind::Unsigned, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Value result = applyBinary(c.op, left, c.right);
    EXPECT_EQ(result.kind(), c.kind);
    EXPECT_EQ(result.payload(), c.bits);
  }
  EXPECT_EQ(negate(Value::unsignedInteger(1)).kind(), Kind::Unsigned);
  EXPECT_THROW(applyBinary(BinaryOperator::Mod, left, Value::unsignedInteger(0)), ParserException);
}

TEST(ValueOperations, KeepTheLeftOperandsSize) {
  const Value left = Value::integerBits(Kind::Signed, 0xFF, 1);
  const Value sum = applyBinary(BinaryOperator::Plus, left, Value::signedInteger(2));
  EXPECT_EQ(sum.size(), 1u);
  EXPECT_EQ(sum.toSigned(), 1);  // -1 + 2
}

TEST(ValueOperations, NegateFlipsTheSignOfSingleFloats) {
  EXPECT_EQ(negate(Value::singleFloating(2.5f)).toDouble(), -2.5);
  EXPECT_EQ(negate(Value::floating(0.0)).toUnsigned(), 0x8000000000000000u);
}

}  // namespace
}  // namespace rw
