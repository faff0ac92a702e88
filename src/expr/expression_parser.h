// A parser for C expression syntax that builds an expression tree. What
// constants cannot supply (symbols, registers, memory, types, functions) is
// asked of the environment operations, which derived parsers answer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/expression.h"
#include "expr/lexer.h"
#include "expr/token.h"
#include "expr/type_name.h"
#include "expr/value.h"

namespace rw {

class ExpressionParser {
public:
  explicit ExpressionParser(std::unique_ptr<Lexer> lexer);
  virtual ~ExpressionParser();
  ExpressionParser(const ExpressionParser&) = delete;
  ExpressionParser& operator=(const ExpressionParser&) = delete;

  // One expression at the lowest precedence. Tokens after it are ignored,
  // but the one right after it must be recognisable. Empty text gives no
  // tree. Throws ParserException.
  ExpressionPtr parse(std::string_view text);
  // Parses and evaluates; no tree gives a value of kind None. Throws
  // ParserException.
  Value evaluate(std::string_view text);

  // ---- environment operations ----
  virtual Value lookupIdentifier(const std::string& name) = 0;
  virtual Value lookupScopedIdentifier(const std::vector<std::string>& parts) = 0;
  virtual Value lookupRegister(const std::string& name) = 0;
  virtual Value cast(const TypeName& type, const Value& operand) = 0;
  virtual Value dereferenceIndex(const Value& base, const Value& index) = 0;
  virtual Value dereferenceMember(const Value& base, const std::string& member) = 0;
  virtual Value dereferencePointerMember(const Value& base, const std::string& member) = 0;
  virtual Value addressOf(const Expression& operand) = 0;
  virtual Value addressOfLine(const std::string& file, uint64_t line) = 0;
  virtual Value sizeOfExpression(const Expression& operand) = 0;
  virtual Value sizeOfType(const TypeName& type) = 0;
  virtual Value callFunction(const Expression& callee, const std::vector<Value>& arguments) = 0;

private:
  class DepthGuard;

  void advance();
  void expect(int kind, const char* failure) const;
  ExpressionPtr checked(ExpressionPtr node) const;

  ExpressionPtr parseBinary(int minimumPrecedence);
  ExpressionPtr combine(int operatorKind, ExpressionPtr left, ExpressionPtr right) const;
  ExpressionPtr parseUnary();
  ExpressionPtr parsePrimary();
  ExpressionPtr parsePostfix(ExpressionPtr primary);
  ExpressionPtr parseParenthesised();
  ExpressionPtr parseSizeof();
  ExpressionPtr parseAddressofLine();
  ExpressionPtr parseName();
  uint64_t parseIntegerLiteral(const char* failure);

  bool atTypeName() const;
  std::unique_ptr<TypeName> parseTypeName();
  void parseStructType(TypeName& type);
  void parseRegisterType(TypeName& type);

  std::unique_ptr<Lexer> lexer_;
  Token token_;
  int depth_ = 0;
};

}  // namespace rw
