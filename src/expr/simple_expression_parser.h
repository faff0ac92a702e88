// The evaluator of constant expressions: no symbols, registers, memory, types
// or functions stand behind it, so every environment operation fails.
#pragma once

#include "expr/expression_parser.h"

namespace rw {

class SimpleExpressionParser : public ExpressionParser {
public:
  SimpleExpressionParser();

  Value lookupIdentifier(const std::string& name) override;
  Value lookupScopedIdentifier(const std::vector<std::string>& parts) override;
  Value lookupRegister(const std::string& name) override;
  Value cast(const TypeName& type, const Value& operand) override;
  Value dereferenceIndex(const Value& base, const Value& index) override;
  Value dereferenceMember(const Value& base, const std::string& member) override;
  Value dereferencePointerMember(const Value& base, const std::string& member) override;
  Value addressOf(const Expression& operand) override;
  Value addressOfLine(const std::string& file, uint64_t line) override;
  Value sizeOfExpression(const Expression& operand) override;
  Value sizeOfType(const TypeName& type) override;
  Value callFunction(const Expression& callee, const std::vector<Value>& arguments) override;
};

}  // namespace rw
