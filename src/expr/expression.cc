#include "expr/expression.h"

#include <algorithm>

#include "expr/expression_parser.h"
#include "expr/parser_exception.h"

namespace rw {

namespace {

uint32_t heightOf(const ExpressionPtr& node) { return node ? node->height() : 0; }

uint32_t heightAbove(std::initializer_list<uint32_t> children) {
  return 1 + std::max(children);
}

uint32_t heightOf(const std::vector<ExpressionPtr>& nodes) {
  uint32_t height = 0;
  for (const ExpressionPtr& node : nodes) height = std::max(height, heightOf(node));
  return height;
}

uint32_t heightOf(const TypeName* type) {
  return type != nullptr ? heightOf(type->arrayLengths) : 0;
}

}  // namespace

TypeName::TypeName() = default;
TypeName::~TypeName() = default;

Value ConstantExpression::evaluate(ExpressionParser&) const { return value_; }

Value IdentifierExpression::evaluate(ExpressionParser& environment) const {
  return environment.lookupIdentifier(name_);
}

Value ScopedIdentifierExpression::evaluate(ExpressionParser& environment) const {
  return environment.lookupScopedIdentifier(parts_);
}

Value RegisterExpression::evaluate(ExpressionParser& environment) const {
  return environment.lookupRegister(name_);
}

UnaryExpression::UnaryExpression(ExpressionPtr operand)
    : Expression(heightAbove({heightOf(operand)})), operand_(std::move(operand)) {}

Value UnaryExpression::evaluateOperand(ExpressionParser& environment) const {
  return operand_->evaluate(environment);
}

Value NegateExpression::evaluate(ExpressionParser& environment) const {
  return negate(evaluateOperand(environment));
}

Value BitNotExpression::evaluate(ExpressionParser& environment) const {
  return bitNot(evaluateOperand(environment));
}

Value LogicalNotExpression::evaluate(ExpressionParser& environment) const {
  return logicalNot(evaluateOperand(environment));
}

BinaryExpression::BinaryExpression(BinaryOperator op, ExpressionPtr left, ExpressionPtr right)
    : Expression(heightAbove({heightOf(left), heightOf(right)})),
      op_(op),
      left_(std::move(left)),
      right_(std::move(right)) {}

Value BinaryExpression::evaluate(ExpressionParser& environment) const {
  const Value left = left_->evaluate(environment);
  const Value right = right_->evaluate(environment);
  return applyBinary(op_, left, right);
}

AssignExpression::AssignExpression(ExpressionPtr target, ExpressionPtr value,
                                   std::optional<BinaryOperator> combine)
    : Expression(heightAbove({heightOf(target), heightOf(value)})),
      target_(std::move(target)),
      value_(std::move(value)),
      combine_(combine) {}

Value AssignExpression::evaluate(ExpressionParser& environment) const {
  target_->evaluate(environment);
  throw ParserException("bad expression type");
}

LeftSquareBracketExpression::LeftSquareBracketExpression(ExpressionPtr base, ExpressionPtr index)
    : Expression(heightAbove({heightOf(base), heightOf(index)})),
      base_(std::move(base)),
      index_(std::move(index)) {}

Value LeftSquareBracketExpression::evaluate(ExpressionParser& environment) const {
  const Value base = base_->evaluate(environment);
  const Value index = index_->evaluate(environment);
  return environment.dereferenceIndex(base, index);
}

DotExpression::DotExpression(ExpressionPtr base, std::string member, bool arrow)
    : Expression(heightAbove({heightOf(base)})),
      base_(std::move(base)),
      member_(std::move(member)),
      arrow_(arrow) {}

Value DotExpression::evaluate(ExpressionParser& environment) const {
  const Value base = base_->evaluate(environment);
  return arrow_ ? environment.dereferencePointerMember(base, member_)
                : environment.dereferenceMember(base, member_);
}

AddressofExpression::AddressofExpression(ExpressionPtr operand)
    : Expression(heightAbove({heightOf(operand)})), operand_(std::move(operand)) {}

Value AddressofExpression::evaluate(ExpressionParser& environment) const {
  return environment.addressOf(*operand_);
}

CastExpression::CastExpression(std::unique_ptr<TypeName> type, ExpressionPtr operand)
    : Expression(heightAbove({heightOf(type.get()), heightOf(operand)})),
      type_(std::move(type)),
      operand_(std::move(operand)) {}

Value CastExpression::evaluate(ExpressionParser& environment) const {
  return environment.cast(*type_, operand_->evaluate(environment));
}

CallExpression::CallExpression(ExpressionPtr callee, std::vector<ExpressionPtr> arguments)
    : Expression(heightAbove({heightOf(callee), heightOf(arguments)})),
      callee_(std::move(callee)),
      arguments_(std::move(arguments)) {}

Value CallExpression::evaluate(ExpressionParser& environment) const {
  std::vector<Value> arguments;
  arguments.reserve(arguments_.size());
  for (const ExpressionPtr& argument : arguments_) arguments.push_back(argument->evaluate(environment));
  return environment.callFunction(*callee_, arguments);
}

SizeofExpression::SizeofExpression(ExpressionPtr operand)
    : Expression(heightAbove({heightOf(operand)})), operand_(std::move(operand)) {}

SizeofExpression::SizeofExpression(std::unique_ptr<TypeName> type)
    : Expression(heightAbove({heightOf(type.get())})), type_(std::move(type)) {}

Value SizeofExpression::evaluate(ExpressionParser& environment) const {
  return type_ ? environment.sizeOfType(*type_) : environment.sizeOfExpression(*operand_);
}

Value AddressofLineExpression::evaluate(ExpressionParser& environment) const {
  return environment.addressOfLine(file_, line_);
}

}  // namespace rw
