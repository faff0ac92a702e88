#include "expr/simple_expression_parser.h"

#include "expr/c_style_lexer.h"
#include "expr/parser_exception.h"

namespace rw {

SimpleExpressionParser::SimpleExpressionParser()
    : ExpressionParser(std::make_unique<CStyleLexer>()) {}

Value SimpleExpressionParser::lookupIdentifier(const std::string& name) {
  throw ParserException(name + " symbol not found");
}

Value SimpleExpressionParser::lookupScopedIdentifier(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (&part != &parts.front()) joined += "::";
    joined += part;
  }
  throw ParserException(joined + " symbol not found");
}

Value SimpleExpressionParser::lookupRegister(const std::string& name) {
  throw ParserException(name + "unknown register");
}

Value SimpleExpressionParser::cast(const TypeName&, const Value&) {
  throw ParserException("cannot cast");
}

Value SimpleExpressionParser::dereferenceIndex(const Value&, const Value&) {
  throw ParserException("cannot dereference");
}

Value SimpleExpressionParser::dereferenceMember(const Value&, const std::string&) {
  throw ParserException("cannot dereference");
}

Value SimpleExpressionParser::dereferencePointerMember(const Value&, const std::string&) {
  throw ParserException("cannot dereference");
}

Value SimpleExpressionParser::addressOf(const Expression&) {
  throw ParserException("addressof not implemented");
}

Value SimpleExpressionParser::addressOfLine(const std::string&, uint64_t) {
  throw ParserException("addressof not implemented");
}

Value SimpleExpressionParser::sizeOfExpression(const Expression&) {
  throw ParserException("sizeof expression not implemented");
}

Value SimpleExpressionParser::sizeOfType(const TypeName&) {
  throw ParserException("sizeof(typename) not implemented");
}

Value SimpleExpressionParser::callFunction(const Expression&, const std::vector<Value>&) {
  throw ParserException("function calling not implemented");
}

}  // namespace rw
