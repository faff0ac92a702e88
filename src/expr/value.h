// What an expression evaluates to, and what the operators make of values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "expr/token.h"

namespace rw {

// Integer literals give signed 64-bit integers, floating literals doubles and
// string literals strings; comparisons and `!` give booleans. Kind None is no
// value: the text was empty, or something in it cannot be evaluated.
struct Value {
  enum class Kind { None, Boolean, Integer, Floating, String };

  static Value boolean(bool b);
  static Value integer(int64_t i);
  static Value floating(double d);
  // `text` must outlive the value: strings are views into the expression.
  static Value string(std::string_view text);

  bool isNone() const { return kind == Kind::None; }

  // The readings of one value as another kind's operand. Strings read as 0.
  // A double reads truncated toward zero, saturating, and NaN as 0.
  int64_t toSigned() const;
  double toDouble() const;
  // Whether the lowest byte of the bits is not 0: 256 reads as false, and a
  // double by the low byte of its bit pattern.
  bool toBoolean() const;
  // The text a string is compared with: booleans as "true" or "false",
  // numbers in their shortest round-trip form.
  std::string toText() const;

  Kind kind = Kind::None;
  // 0 or 1 for a boolean, the two's complement bits of an integer, the IEEE
  // 754 bits of a double, 0 for a string.
  uint64_t bits = 0;
  std::string_view text;  // of a string
};

// `op` is a binary operator token other than Assign, Comma and Unsupported.
// The left operand's kind picks the operation. Any failure gives None, and so
// does a None operand, so that one failure anywhere fails a whole expression.
Value applyBinary(TokenKind op, const Value& left, const Value& right);
// Prefix `-`, `~` and `!`, on the same terms.
Value negate(const Value& operand);
Value bitNot(const Value& operand);
Value logicalNot(const Value& operand);

}  // namespace rw
