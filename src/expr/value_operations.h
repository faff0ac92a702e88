// The arithmetic of values: which operation a pair of operands gets is
// decided by the kind of the left operand.
#pragma once

#include "expr/value.h"

namespace rw {

enum class BinaryOperator {
  Plus, Minus, Multiply, Divide, Mod,
  BitAnd, BitOr, BitXor,
  Lshift, Rshift,
  Eq, Ne, Lt, Le, Gt, Ge,
  LogicalAnd, LogicalOr,
};

// All of these throw ParserException when the operands do not fit.
Value applyBinary(BinaryOperator op, const Value& left, const Value& right);
Value negate(const Value& operand);
Value bitNot(const Value& operand);
Value logicalNot(const Value& operand);

}  // namespace rw
