#include "expr/value_operations.h"

#include <compare>
#include <limits>

#include "expr/parser_exception.h"

namespace rw {

namespace {

using Kind = Value::Kind;

constexpr const char* kUnsupportedNumeric = "unsupported binary numeric operation";
constexpr const char* kUnsupportedComparison = "unsupported comparison operation";
constexpr const char* kDivideByZero = "divide by zero";

bool isArithmetic(BinaryOperator op) {
  return op == BinaryOperator::Plus || op == BinaryOperator::Minus ||
         op == BinaryOperator::Multiply || op == BinaryOperator::Divide;
}

bool isComparison(BinaryOperator op) {
  return op >= BinaryOperator::Eq && op <= BinaryOperator::Ge;
}

template <typename Ordering>
bool compareResult(BinaryOperator op, Ordering order) {
  switch (op) {
    case BinaryOperator::Eq: return order == 0;
    case BinaryOperator::Ne: return order != 0;
    case BinaryOperator::Lt: return order < 0;
    case BinaryOperator::Le: return order <= 0;
    case BinaryOperator::Gt: return order > 0;
    default: return order >= 0;
  }
}

// The unsigned 64-bit operations, which wrap. Signed operands use them too
// for + - * & | ^ (two's complement makes the bits identical), so no
// operation can overflow a signed type. `%` by zero fails like `/` does:
// there is no sensible remainder to give, and quietly giving 0 would hide a
// mistake in the map.
uint64_t unsignedOperation(BinaryOperator op, uint64_t a, uint64_t b) {
  switch (op) {
    case BinaryOperator::Plus: return a + b;
    case BinaryOperator::Minus: return a - b;
    case BinaryOperator::Multiply: return a * b;
    case BinaryOperator::Divide:
      if (b == 0) throw ParserException(kDivideByZero);
      return a / b;
    case BinaryOperator::Mod:
      if (b == 0) throw ParserException(kDivideByZero);
      return a % b;
    case BinaryOperator::BitAnd: return a & b;
    case BinaryOperator::BitOr: return a | b;
    default: return a ^ b;
  }
}

int64_t signedOperation(BinaryOperator op, int64_t a, int64_t b) {
  if (op == BinaryOperator::Divide || op == BinaryOperator::Mod) {
    if (b == 0) throw ParserException(kDivideByZero);
    // The one quotient that does not fit wraps, as the hardware would give
    // it, instead of being undefined.
    if (a == std::numeric_limits<int64_t>::min() && b == -1)
      return op == BinaryOperator::Divide ? a : 0;
    return op == BinaryOperator::Divide ? a / b : a % b;
  }
  return static_cast<int64_t>(
      unsignedOperation(op, static_cast<uint64_t>(a), static_cast<uint64_t>(b)));
}

Value floatingArithmetic(BinaryOperator op, double a, double b) {
  switch (op) {
    case BinaryOperator::Plus: return Value::floating(a + b);
    case BinaryOperator::Minus: return Value::floating(a - b);
    case BinaryOperator::Multiply: return Value::floating(a * b);
    default:
      if (b == 0.0) throw ParserException(kDivideByZero);
      return Value::floating(a / b);
  }
}

Value numeric(BinaryOperator op, const Value& left, const Value& right) {
  const bool leftNumeric = left.kind() == Kind::Boolean || left.isInteger();
  if (isArithmetic(op) && leftNumeric && right.kind() == Kind::Floating)
    return floatingArithmetic(op, left.toDouble(), right.toDouble());
  switch (left.kind()) {
    case Kind::Boolean:
      return Value::boolean(unsignedOperation(op, left.toBoolean(), right.toBoolean()) != 0);
    case Kind::Signed:
      return Value::signedInteger(signedOperation(op, left.toSigned(), right.toSigned()),
                                  left.size());
    case Kind::Unsigned:
      return Value::unsignedInteger(unsignedOperation(op, left.toUnsigned(), right.toUnsigned()),
                                    left.size());
    case Kind::Floating:
      if (isArithmetic(op)) return floatingArithmetic(op, left.toDouble(), right.toDouble());
      throw ParserException(kUnsupportedNumeric);
    default:
      throw ParserException(kUnsupportedNumeric);
  }
}

Value comparison(BinaryOperator op, const Value& left, const Value& right) {
  switch (left.kind()) {
    case Kind::Boolean:
      return Value::boolean(compareResult(op, (left.payload() & 0xFF) <=> (right.payload() & 0xFF)));
    case Kind::Signed:
      return Value::boolean(
          compareResult(op, static_cast<int64_t>(left.payload()) <=> right.toSigned()));
    case Kind::Unsigned:
      return Value::boolean(compareResult(op, left.toUnsigned() <=> right.toUnsigned()));
    case Kind::String:
      return Value::boolean(compareResult(op, left.text().compare(right.toText()) <=> 0));
    default:
      throw ParserException(kUnsupportedComparison);
  }
}

Value logical(BinaryOperator op, const Value& left, const Value& right) {
  const bool isAnd = op == BinaryOperator::LogicalAnd;
  switch (left.kind()) {
    case Kind::Boolean: {
      const bool a = left.toBoolean(), b = right.toBoolean();
      return Value::boolean(isAnd ? a && b : a || b);
    }
    case Kind::Signed: {
      const bool a = left.toSigned() != 0, b = right.toSigned() != 0;
      return Value::signedInteger((isAnd ? a && b : a || b) ? 1 : 0, left.size());
    }
    case Kind::Unsigned: {
      const bool a = left.toUnsigned() != 0, b = right.toUnsigned() != 0;
      return Value::unsignedInteger((isAnd ? a && b : a || b) ? 1 : 0, left.size());
    }
    default:
      throw ParserException(kUnsupportedNumeric);
  }
}

Value shift(BinaryOperator op, const Value& left, const Value& right) {
  if (!left.isInteger()) throw ParserException("can only shift numeric values");
  if (right.kind() != Kind::Signed) throw ParserException("integer shift value expected");
  const unsigned count = static_cast<unsigned>(right.toSigned() & 63);
  const uint64_t bits = left.payload();
  if (op == BinaryOperator::Lshift)
    return Value::integerBits(left.kind(), bits << count, left.size());
  if (left.kind() == Kind::Signed)  // arithmetic shift (defined since C++20)
    return Value::integerBits(left.kind(),
                              static_cast<uint64_t>(static_cast<int64_t>(bits) >> count),
                              left.size());
  return Value::integerBits(left.kind(), bits >> count, left.size());
}

}  // namespace

Value applyBinary(BinaryOperator op, const Value& left, const Value& right) {
  if (isComparison(op)) return comparison(op, left, right);
  if (op == BinaryOperator::LogicalAnd || op == BinaryOperator::LogicalOr)
    return logical(op, left, right);
  if (op == BinaryOperator::Lshift || op == BinaryOperator::Rshift)
    return shift(op, left, right);
  return numeric(op, left, right);
}

Value negate(const Value& operand) {
  switch (operand.kind()) {
    case Kind::Boolean:
      return Value::signedInteger(operand.toBoolean() ? -1 : 0);
    case Kind::Signed:
    case Kind::Unsigned:
      return Value::integerBits(operand.kind(), 0 - operand.payload(), operand.size(),
                                operand.bitWidth());
    case Kind::Floating: {
      const uint64_t sign = operand.size() == 4 ? uint64_t{1} << 31 : uint64_t{1} << 63;
      return Value::integerBits(Kind::Floating, operand.payload() ^ sign, operand.size());
    }
    default:
      throw ParserException("unsupported unary num operation");
  }
}

Value bitNot(const Value& operand) {
  if (!operand.isInteger()) throw ParserException("unsupported unary num operation");
  return Value::integerBits(operand.kind(), ~operand.payload(), operand.size(),
                            operand.bitWidth());
}

Value logicalNot(const Value& operand) {
  switch (operand.kind()) {
    case Kind::Boolean: return Value::boolean(!operand.toBoolean());
    case Kind::Signed:
    case Kind::Unsigned: return Value::boolean(operand.toUnsigned() == 0);
    case Kind::Floating: return Value::boolean(operand.toDouble() == 0.0);
    default: throw ParserException("unsupported unary num operation");
  }
}

}  // namespace rw
