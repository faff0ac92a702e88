#include "expr/expression_parser.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "expr/integer_literal.h"
#include "expr/token.h"

namespace rw {

namespace {

// Parsing recurses once per nesting level (parentheses, prefix operators,
// indices, calls, casts, type names): under 700 bytes of stack a level in an
// optimised build, up to about 5.5 KB in a sanitizer build. Expressions in
// memory maps nest a few levels; 256 levels keep even a sanitizer build under
// 1.5 MB, leaving most of the default 8 MB stack to the callers.
constexpr int kMaxNesting = 256;

// An operand's height is the length of its longest path down to a literal or
// name, that one included: each operator, postfix, cast and sizeof adds one
// above its operands, a prefix `+` and parentheses add none. Operator chains
// such as `1+1+...+1` raise it without any nesting. Nothing recurses along
// the height, but an operand higher than this is refused with the same
// warning as deep nesting: which inputs get that warning is part of the
// tool's behaviour.
constexpr uint32_t kMaxHeight = 1024;

constexpr int kLowestPrecedence = -4;
constexpr int kArgumentPrecedence = -3;  // above `,`, which separates arguments

// Text that is no expression. Only the fact matters: the result is None.
struct ParseError {};

bool isTypeWord(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "void",   "char",     "short", "int",      "long", "float", "double",
      "signed", "unsigned", "const", "volatile", "bool", "_Bool",
  };
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// Decimal text with a point and no exponent, independent of the locale.
double floatingLiteralValue(std::string_view text) {
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone then. Without an exponent, a whole
    // part other than zeros means too large, else too small.
    const std::string_view whole = text.substr(0, text.find('.'));
    return whole.find_first_not_of('0') != std::string_view::npos
               ? std::numeric_limits<double>::infinity()
               : 0.0;
  }
  return value;
}

// What each parse step gives. By default a literal or name that has no
// value: names, registers and memory need more than constants.
struct Operand {
  Value value;
  uint32_t height = 1;
};

Operand checked(Value value, uint32_t height) {
  if (height > kMaxHeight) throw NestedTooDeeply{};
  return {value, height};
}

// One level above operands of these heights.
uint32_t above(uint32_t a, uint32_t b = 0) { return 1 + std::max(a, b); }

// Recursive descent with precedence climbing, evaluating as it goes. What
// needs more than constants is still parsed in full, so that the same texts
// are accepted and the bounds apply to all of them, but gives no value.
// Values do not stop the parse: a failure becomes a None value that every
// operator passes on, and only the end decides.
class ExpressionParser {
public:
  explicit ExpressionParser(std::string_view text) : rest_(text) { advance(); }

  Operand parseBinary(int minimumPrecedence);

private:
  // Counts one level of parse recursion for as long as it lives.
  class NestingLevel {
  public:
    explicit NestingLevel(int& depth) : depth_(depth) {
      if (++depth_ > kMaxNesting) throw NestedTooDeeply{};
    }
    ~NestingLevel() { --depth_; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

  private:
    int& depth_;
  };

  void advance() {
    token_ = scanToken(rest_);
    if (token_.kind == TokenKind::Unrecognised) throw ParseError{};
  }
  void expect(TokenKind kind) const {
    if (token_.kind != kind) throw ParseError{};
  }
  void skip(TokenKind kind) {
    expect(kind);
    advance();
  }

  Operand parseUnary();
  Operand parsePrimary();
  Operand parsePostfix(Operand operand);
  Operand parseParenthesised();
  Operand parseSizeof();
  Operand parseAddressofLine();
  Operand parseName();
  bool atTypeName() const;
  uint32_t parseTypeName();
  void parseStructType();
  void parseRegisterType();

  std::string_view rest_;  // the text after token_
  Token token_;
  int depth_ = 0;
};

// Every operator of precedence p takes as its right operand an expression of
// operators above p only, so all levels are left-associative, `=` included.
// Both operands are evaluated whatever the operator: `0 && x` needs x too.
Operand ExpressionParser::parseBinary(int minimumPrecedence) {
  Operand left = parseUnary();
  while (token_.precedence >= minimumPrecedence && token_.precedence < kNotBinary) {
    const Token op = token_;
    if (op.kind == TokenKind::Unsupported || op.kind == TokenKind::Comma) throw ParseError{};
    advance();
    const Operand right = parseBinary(op.precedence + 1);
    const Value value =
        op.kind == TokenKind::Assign ? Value() : applyBinary(op.kind, left.value, right.value);
    left = checked(value, above(left.height, right.height));
  }
  return left;
}

Operand ExpressionParser::parseUnary() {
  const NestingLevel level(depth_);
  const TokenKind kind = token_.kind;
  switch (kind) {
    case TokenKind::Plus:
      advance();
      return parseUnary();
    case TokenKind::Minus:
    case TokenKind::Tilde:
    case TokenKind::Exclamation:
    case TokenKind::Star:
    case TokenKind::Ampersand:
    case TokenKind::Increment:
    case TokenKind::Decrement: {
      advance();
      const Operand operand = parseUnary();
      // `*`, `&`, `++` and `--` need memory: no value.
      const Value value = kind == TokenKind::Minus         ? negate(operand.value)
                          : kind == TokenKind::Tilde       ? bitNot(operand.value)
                          : kind == TokenKind::Exclamation ? logicalNot(operand.value)
                                                           : Value();
      return checked(value, above(operand.height));
    }
    default:
      return parsePostfix(parsePrimary());
  }
}

Operand ExpressionParser::parsePrimary() {
  const Token token = token_;
  switch (token.kind) {
    case TokenKind::Integer:
      advance();
      return {Value::integer(static_cast<int64_t>(expressionLiteralValue(token.text)))};
    case TokenKind::Floating:
      advance();
      return {Value::floating(floatingLiteralValue(token.text))};
    case TokenKind::String:
      advance();
      return {Value::string(token.text.substr(1, token.text.size() - 2))};
    case TokenKind::LeftParen:
      return parseParenthesised();
    case TokenKind::Identifier:
      if (token.text == "sizeof") return parseSizeof();
      if (token.text == "addressof") return parseAddressofLine();
      return parseName();
    case TokenKind::Scope:
      return parseName();
    case TokenKind::Register:
      advance();
      return {};
    default:
      throw ParseError{};
  }
}

// Indexing, `.` and `->`, `++` and `--`, calls.
Operand ExpressionParser::parsePostfix(Operand operand) {
  for (;;) {
    switch (token_.kind) {
      case TokenKind::LeftBracket: {
        advance();
        const Operand index = parseBinary(kLowestPrecedence);
        skip(TokenKind::RightBracket);
        operand = checked(Value(), above(operand.height, index.height));
        break;
      }
      case TokenKind::Dot:
      case TokenKind::Arrow:
        advance();
        skip(TokenKind::Identifier);
        operand = checked(Value(), above(operand.height));
        break;
      case TokenKind::Increment:
      case TokenKind::Decrement:
        advance();
        operand = checked(Value(), above(operand.height));
        break;
      case TokenKind::LeftParen: {
        advance();
        uint32_t arguments = 0;  // their greatest height
        if (token_.kind != TokenKind::RightParen) {
          arguments = parseBinary(kArgumentPrecedence).height;
          while (token_.kind == TokenKind::Comma) {
            advance();
            arguments = std::max(arguments, parseBinary(kArgumentPrecedence).height);
          }
        }
        skip(TokenKind::RightParen);
        operand = checked(Value(), above(operand.height, arguments));
        break;
      }
      default:
        return operand;
    }
  }
}

// A parenthesised expression, or a cast.
Operand ExpressionParser::parseParenthesised() {
  advance();  // (
  if (atTypeName()) {
    const uint32_t typeHeight = parseTypeName();
    skip(TokenKind::RightParen);
    const Operand operand = parseUnary();
    return checked(Value(), above(typeHeight, operand.height));
  }
  Operand inner = parseBinary(kLowestPrecedence);
  skip(TokenKind::RightParen);
  return inner;
}

// `sizeof operand`, `sizeof(type)` or `sizeof(expression)` with any postfix
// after the parenthesis applying inside the sizeof.
Operand ExpressionParser::parseSizeof() {
  advance();  // sizeof
  if (token_.kind != TokenKind::LeftParen) return checked(Value(), above(parseUnary().height));
  advance();
  if (atTypeName()) {
    const uint32_t typeHeight = parseTypeName();
    skip(TokenKind::RightParen);
    return checked(Value(), above(typeHeight));
  }
  Operand inner = parseBinary(kLowestPrecedence);
  skip(TokenKind::RightParen);
  return checked(Value(), above(parsePostfix(inner).height));
}

// `addressof("file", line)`: the address of the code of a source line.
Operand ExpressionParser::parseAddressofLine() {
  advance();  // addressof
  skip(TokenKind::LeftParen);
  skip(TokenKind::String);
  skip(TokenKind::Comma);
  skip(TokenKind::Integer);
  skip(TokenKind::RightParen);
  return {};
}

// `name`, `a::b::c`, or `::a`.
Operand ExpressionParser::parseName() {
  if (token_.kind == TokenKind::Identifier) {
    advance();
    if (token_.kind != TokenKind::Scope) return {};
  }
  while (token_.kind == TokenKind::Scope) {
    advance();
    skip(TokenKind::Identifier);
  }
  return {};
}

bool ExpressionParser::atTypeName() const {
  return token_.kind == TokenKind::Identifier &&
         (token_.text == "struct" || token_.text == "register" || isTypeWord(token_.text));
}

// A type at atTypeName(): `struct ...`, `register ...` or base-type words,
// then any mix of `*` and `[length]`. Gives the greatest height of the
// lengths, 0 when there are none.
uint32_t ExpressionParser::parseTypeName() {
  const NestingLevel level(depth_);
  if (token_.text == "struct") {
    advance();
    parseStructType();
  } else if (token_.text == "register") {
    advance();
    parseRegisterType();
  } else {
    while (token_.kind == TokenKind::Identifier && isTypeWord(token_.text)) advance();
  }
  uint32_t height = 0;
  for (;;) {
    if (token_.kind == TokenKind::Star) {
      advance();
    } else if (token_.kind == TokenKind::LeftBracket) {
      advance();
      height = std::max(height, parseBinary(kLowestPrecedence).height);
      skip(TokenKind::RightBracket);
    } else {
      return height;
    }
  }
}

// `struct [name] { fields }`, each field a type, a name, an optional
// `: bits` and `;`. No struct type is known by its name alone.
void ExpressionParser::parseStructType() {
  if (token_.kind == TokenKind::Identifier) advance();
  skip(TokenKind::LeftBrace);
  while (token_.kind != TokenKind::RightBrace) {
    if (!atTypeName()) throw ParseError{};
    parseTypeName();
    skip(TokenKind::Identifier);
    if (token_.kind == TokenKind::Colon) {
      advance();
      skip(TokenKind::Integer);
    }
    skip(TokenKind::Semicolon);
  }
  advance();  // }
}

// `register size { name bitoffset bitsize; ... }`
void ExpressionParser::parseRegisterType() {
  skip(TokenKind::Integer);
  skip(TokenKind::LeftBrace);
  while (token_.kind != TokenKind::RightBrace) {
    skip(TokenKind::Identifier);
    skip(TokenKind::Integer);
    skip(TokenKind::Integer);
    skip(TokenKind::Semicolon);
  }
  advance();  // }
}

}  // namespace

Value evaluateExpression(std::string_view text) {
  if (text.empty()) return {};
  try {
    ExpressionParser parser(text);
    return parser.parseBinary(kLowestPrecedence).value;
  } catch (const ParseError&) {
    return {};
  }
}

}  // namespace rw
