// The expression tree. Every node owns its operands; evaluating a node asks
// the parser's environment for what constants cannot supply.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "expr/type_name.h"
#include "expr/value.h"
#include "expr/value_operations.h"

namespace rw {

class ExpressionParser;
class Expression;
using ExpressionPtr = std::unique_ptr<Expression>;

class Expression {
public:
  virtual ~Expression() = default;
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  virtual Value evaluate(ExpressionParser& environment) const = 0;

  // Nodes on the longest path down to a leaf, this one included. Evaluating
  // and destroying recurse this deep, so the parser bounds it.
  uint32_t height() const { return height_; }

protected:
  explicit Expression(uint32_t height = 1) : height_(height) {}

private:
  uint32_t height_;
};

// ---- constants and names ----

class ConstantExpression : public Expression {
public:
  Value evaluate(ExpressionParser& environment) const override;
  const Value& value() const { return value_; }

protected:
  explicit ConstantExpression(Value value) : value_(std::move(value)) {}

private:
  Value value_;
};

class IntegerConstantExpression : public ConstantExpression {
public:
  // A signed integer of 8 bytes.
  explicit IntegerConstantExpression(uint64_t bits)
      : ConstantExpression(Value::integerBits(Value::Kind::Signed, bits, 8)) {}
};

class FloatConstantExpression : public ConstantExpression {
public:
  explicit FloatConstantExpression(double d) : ConstantExpression(Value::floating(d)) {}
};

class StringConstantExpression : public ConstantExpression {
public:
  explicit StringConstantExpression(std::string text)
      : ConstantExpression(Value::string(std::move(text))) {}
};

class IdentifierExpression : public Expression {
public:
  explicit IdentifierExpression(std::string name) : name_(std::move(name)) {}
  Value evaluate(ExpressionParser& environment) const override;

private:
  std::string name_;
};

// `a::b::c`; a leading `::` gives an empty first part.
class ScopedIdentifierExpression : public Expression {
public:
  explicit ScopedIdentifierExpression(std::vector<std::string> parts) : parts_(std::move(parts)) {}
  Value evaluate(ExpressionParser& environment) const override;

private:
  std::vector<std::string> parts_;
};

class RegisterExpression : public Expression {
public:
  explicit RegisterExpression(std::string name) : name_(std::move(name)) {}
  Value evaluate(ExpressionParser& environment) const override;

private:
  std::string name_;
};

// ---- operators ----

class UnaryExpression : public Expression {
public:
  const Expression& operand() const { return *operand_; }

protected:
  explicit UnaryExpression(ExpressionPtr operand);
  Value evaluateOperand(ExpressionParser& environment) const;

private:
  ExpressionPtr operand_;
};

class NegateExpression : public UnaryExpression {
public:
  explicit NegateExpression(ExpressionPtr operand) : UnaryExpression(std::move(operand)) {}
  Value evaluate(ExpressionParser& environment) const override;
};

class BitNotExpression : public UnaryExpression {
public:
  explicit BitNotExpression(ExpressionPtr operand) : UnaryExpression(std::move(operand)) {}
  Value evaluate(ExpressionParser& environment) const override;
};

class LogicalNotExpression : public UnaryExpression {
public:
  explicit LogicalNotExpression(ExpressionPtr operand) : UnaryExpression(std::move(operand)) {}
  Value evaluate(ExpressionParser& environment) const override;
};

// Both operands are always evaluated, left first: `&&` and `||` do not
// short-circuit.
class BinaryExpression : public Expression {
public:
  Value evaluate(ExpressionParser& environment) const override;
  BinaryOperator op() const { return op_; }
  const Expression& left() const { return *left_; }
  const Expression& right() const { return *right_; }

protected:
  BinaryExpression(BinaryOperator op, ExpressionPtr left, ExpressionPtr right);

private:
  BinaryOperator op_;
  ExpressionPtr left_;
  ExpressionPtr right_;
};

template <BinaryOperator Operator>
class BinaryOperatorExpression : public BinaryExpression {
public:
  BinaryOperatorExpression(ExpressionPtr left, ExpressionPtr right)
      : BinaryExpression(Operator, std::move(left), std::move(right)) {}
};

using PlusExpression = BinaryOperatorExpression<BinaryOperator::Plus>;
using MinusExpression = BinaryOperatorExpression<BinaryOperator::Minus>;
using MultiplyExpression = BinaryOperatorExpression<BinaryOperator::Multiply>;
using DivideExpression = BinaryOperatorExpression<BinaryOperator::Divide>;
using ModExpression = BinaryOperatorExpression<BinaryOperator::Mod>;
using BitAndExpression = BinaryOperatorExpression<BinaryOperator::BitAnd>;
using BitOrExpression = BinaryOperatorExpression<BinaryOperator::BitOr>;
using BitXorExpression = BinaryOperatorExpression<BinaryOperator::BitXor>;
using LshiftExpression = BinaryOperatorExpression<BinaryOperator::Lshift>;
using RshiftExpression = BinaryOperatorExpression<BinaryOperator::Rshift>;
using EqExpression = BinaryOperatorExpression<BinaryOperator::Eq>;
using NeExpression = BinaryOperatorExpression<BinaryOperator::Ne>;
using LtExpression = BinaryOperatorExpression<BinaryOperator::Lt>;
using LeExpression = BinaryOperatorExpression<BinaryOperator::Le>;
using GtExpression = BinaryOperatorExpression<BinaryOperator::Gt>;
using GeExpression = BinaryOperatorExpression<BinaryOperator::Ge>;
using LogicalAndExpression = BinaryOperatorExpression<BinaryOperator::LogicalAnd>;
using LogicalOrExpression = BinaryOperatorExpression<BinaryOperator::LogicalOr>;

// `target = value`, and `target op= value` (also `++` and `--`) with the
// combining operator kept beside the value rather than a copy of the target
// in the tree. Only a marker, a reference into an environment's storage, can
// be assigned to; no environment here hands one out, so every assignment
// fails once its target is evaluated.
class AssignExpression : public Expression {
public:
  AssignExpression(ExpressionPtr target, ExpressionPtr value,
                   std::optional<BinaryOperator> combine = std::nullopt);
  Value evaluate(ExpressionParser& environment) const override;
  std::optional<BinaryOperator> combiningOperator() const { return combine_; }

private:
  ExpressionPtr target_;
  ExpressionPtr value_;
  std::optional<BinaryOperator> combine_;
};

// ---- memory, types and calls: they all need an environment ----

// `base[index]`, and `*base` as `base[0]`.
class LeftSquareBracketExpression : public Expression {
public:
  LeftSquareBracketExpression(ExpressionPtr base, ExpressionPtr index);
  Value evaluate(ExpressionParser& environment) const override;

private:
  ExpressionPtr base_;
  ExpressionPtr index_;
};

// `base.member`, or `base->member` when `arrow`.
class DotExpression : public Expression {
public:
  DotExpression(ExpressionPtr base, std::string member, bool arrow);
  Value evaluate(ExpressionParser& environment) const override;

private:
  ExpressionPtr base_;
  std::string member_;
  bool arrow_;
};

class AddressofExpression : public Expression {
public:
  explicit AddressofExpression(ExpressionPtr operand);
  Value evaluate(ExpressionParser& environment) const override;

private:
  ExpressionPtr operand_;
};

class CastExpression : public Expression {
public:
  CastExpression(std::unique_ptr<TypeName> type, ExpressionPtr operand);
  Value evaluate(ExpressionParser& environment) const override;

private:
  std::unique_ptr<TypeName> type_;
  ExpressionPtr operand_;
};

class CallExpression : public Expression {
public:
  CallExpression(ExpressionPtr callee, std::vector<ExpressionPtr> arguments);
  Value evaluate(ExpressionParser& environment) const override;

private:
  ExpressionPtr callee_;
  std::vector<ExpressionPtr> arguments_;
};

// `sizeof expression` or `sizeof(type)`: exactly one of the two is set.
class SizeofExpression : public Expression {
public:
  explicit SizeofExpression(ExpressionPtr operand);
  explicit SizeofExpression(std::unique_ptr<TypeName> type);
  Value evaluate(ExpressionParser& environment) const override;

private:
  ExpressionPtr operand_;
  std::unique_ptr<TypeName> type_;
};

// `addressof("file", line)`: the address of the code of a source line.
class AddressofLineExpression : public Expression {
public:
  AddressofLineExpression(std::string file, uint64_t line)
      : file_(std::move(file)), line_(line) {}
  Value evaluate(ExpressionParser& environment) const override;

private:
  std::string file_;
  uint64_t line_;
};

}  // namespace rw
