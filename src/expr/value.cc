#include "expr/value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <compare>
#include <limits>
#include <optional>

namespace rw {

using Kind = Value::Kind;

Value Value::boolean(bool b) { return {Kind::Boolean, b ? 1u : 0u, {}}; }

Value Value::integer(int64_t i) { return {Kind::Integer, static_cast<uint64_t>(i), {}}; }

Value Value::floating(double d) { return {Kind::Floating, std::bit_cast<uint64_t>(d), {}}; }

Value Value::string(std::string_view text) { return {Kind::String, 0, text}; }

int64_t Value::toSigned() const {
  switch (kind) {
    case Kind::Boolean:
    case Kind::Integer:
      return static_cast<int64_t>(bits);
    case Kind::Floating: {
      // A double outside the 64-bit range has no integer reading in C++ (the
      // conversion would be undefined), so it saturates.
      const double d = toDouble();
      if (std::isnan(d)) return 0;
      if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
      if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
      return static_cast<int64_t>(d);
    }
    default:
      return 0;
  }
}

double Value::toDouble() const {
  switch (kind) {
    case Kind::Boolean:
    case Kind::Integer:
      return static_cast<double>(static_cast<int64_t>(bits));
    case Kind::Floating:
      return std::bit_cast<double>(bits);
    default:
      return 0.0;
  }
}

bool Value::toBoolean() const { return (bits & 0xFF) != 0; }

std::string Value::toText() const {
  char buffer[64];
  std::to_chars_result r{buffer, std::errc{}};
  switch (kind) {
    case Kind::String:
      return std::string(text);
    case Kind::Boolean:
      return toBoolean() ? "true" : "false";
    case Kind::Integer:
      r = std::to_chars(buffer, buffer + sizeof buffer, toSigned());
      break;
    case Kind::Floating:
      // Shortest round-trip form, independent of the locale.
      r = std::to_chars(buffer, buffer + sizeof buffer, toDouble());
      break;
    default:
      return {};
  }
  return std::string(buffer, r.ptr);
}

namespace {

bool isArithmetic(TokenKind op) {
  return op == TokenKind::Plus || op == TokenKind::Minus || op == TokenKind::Star ||
         op == TokenKind::Slash;
}

// Wrapping two's complement arithmetic, computed on unsigned bits so that no
// operation overflows a signed type. Nothing for `/` or `%` by zero: quietly
// giving 0 would hide a mistake in the map.
std::optional<int64_t> integerArithmetic(TokenKind op, int64_t a, int64_t b) {
  const auto ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
  switch (op) {
    case TokenKind::Plus: return static_cast<int64_t>(ua + ub);
    case TokenKind::Minus: return static_cast<int64_t>(ua - ub);
    case TokenKind::Star: return static_cast<int64_t>(ua * ub);
    case TokenKind::Ampersand: return a & b;
    case TokenKind::Bar: return a | b;
    case TokenKind::Caret: return a ^ b;
    default:  // Slash, Percent
      if (b == 0) return std::nullopt;
      // The one quotient that does not fit wraps, as the hardware would give
      // it, instead of being undefined.
      if (a == std::numeric_limits<int64_t>::min() && b == -1)
        return op == TokenKind::Slash ? a : 0;
      return op == TokenKind::Slash ? a / b : a % b;
  }
}

// `+ - * /` only.
Value floatingArithmetic(TokenKind op, double a, double b) {
  switch (op) {
    case TokenKind::Plus: return Value::floating(a + b);
    case TokenKind::Minus: return Value::floating(a - b);
    case TokenKind::Star: return Value::floating(a * b);
    default:
      if (b == 0.0) return {};
      return Value::floating(a / b);
  }
}

// `+ - * / % & | ^`. A double on the right makes `+ - * /` floating for any
// number on the left. A boolean on the left combines 0 or 1 with the right
// read as a boolean and gives a boolean again.
Value arithmetic(TokenKind op, const Value& left, const Value& right) {
  switch (left.kind) {
    case Kind::Boolean:
    case Kind::Integer: {
      if (isArithmetic(op) && right.kind == Kind::Floating)
        return floatingArithmetic(op, left.toDouble(), right.toDouble());
      if (left.kind == Kind::Boolean) {
        const std::optional<int64_t> r = integerArithmetic(op, left.toBoolean(), right.toBoolean());
        return r ? Value::boolean(*r != 0) : Value();
      }
      const std::optional<int64_t> r = integerArithmetic(op, left.toSigned(), right.toSigned());
      return r ? Value::integer(*r) : Value();
    }
    case Kind::Floating:
      if (isArithmetic(op)) return floatingArithmetic(op, left.toDouble(), right.toDouble());
      return {};
    default:
      return {};
  }
}

bool holds(TokenKind op, std::strong_ordering order) {
  switch (op) {
    case TokenKind::Equal: return order == 0;
    case TokenKind::NotEqual: return order != 0;
    case TokenKind::Less: return order < 0;
    case TokenKind::LessEqual: return order <= 0;
    case TokenKind::Greater: return order > 0;
    default: return order >= 0;  // GreaterEqual
  }
}

// Doubles do not compare.
Value comparison(TokenKind op, const Value& left, const Value& right) {
  switch (left.kind) {
    case Kind::Boolean:
      return Value::boolean(holds(op, (left.bits & 0xFF) <=> (right.bits & 0xFF)));
    case Kind::Integer:
      return Value::boolean(holds(op, left.toSigned() <=> right.toSigned()));
    case Kind::String:
      return Value::boolean(holds(op, left.text.compare(right.toText()) <=> 0));
    default:
      return {};
  }
}

// Both operands are always evaluated: `0 && x` needs a value for x. An
// integer on the left gives the integer 0 or 1, not a boolean.
Value logical(TokenKind op, const Value& left, const Value& right) {
  const bool isAnd = op == TokenKind::LogicalAnd;
  switch (left.kind) {
    case Kind::Boolean: {
      const bool a = left.toBoolean(), b = right.toBoolean();
      return Value::boolean(isAnd ? a && b : a || b);
    }
    case Kind::Integer: {
      const bool a = left.toSigned() != 0, b = right.toSigned() != 0;
      return Value::integer((isAnd ? a && b : a || b) ? 1 : 0);
    }
    default:
      return {};
  }
}

// Integers only; the count is taken modulo 64, and `>>` is arithmetic.
Value shift(TokenKind op, const Value& left, const Value& right) {
  if (left.kind != Kind::Integer || right.kind != Kind::Integer) return {};
  const unsigned count = static_cast<unsigned>(right.toSigned() & 63);
  if (op == TokenKind::LeftShift) return Value::integer(static_cast<int64_t>(left.bits << count));
  return Value::integer(left.toSigned() >> count);
}

}  // namespace

Value applyBinary(TokenKind op, const Value& left, const Value& right) {
  if (left.isNone() || right.isNone()) return {};
  switch (op) {
    case TokenKind::Equal:
    case TokenKind::NotEqual:
    case TokenKind::Less:
    case TokenKind::LessEqual:
    case TokenKind::Greater:
    case TokenKind::GreaterEqual:
      return comparison(op, left, right);
    case TokenKind::LogicalAnd:
    case TokenKind::LogicalOr:
      return logical(op, left, right);
    case TokenKind::LeftShift:
    case TokenKind::RightShift:
      return shift(op, left, right);
    default:
      return arithmetic(op, left, right);
  }
}

Value negate(const Value& operand) {
  switch (operand.kind) {
    case Kind::Boolean:
      return Value::integer(operand.toBoolean() ? -1 : 0);
    case Kind::Integer:
      return Value::integer(static_cast<int64_t>(0 - operand.bits));
    case Kind::Floating:
      // Flips the sign bit alone, of zeros and NaNs too.
      return {Kind::Floating, operand.bits ^ (uint64_t{1} << 63), {}};
    default:
      return {};
  }
}

Value bitNot(const Value& operand) {
  if (operand.kind != Kind::Integer) return {};
  return Value::integer(static_cast<int64_t>(~operand.bits));
}

Value logicalNot(const Value& operand) {
  switch (operand.kind) {
    case Kind::Boolean: return Value::boolean(!operand.toBoolean());
    case Kind::Integer: return Value::boolean(operand.bits == 0);
    case Kind::Floating: return Value::boolean(operand.toDouble() == 0.0);
    default: return {};
  }
}

}  // namespace rw
