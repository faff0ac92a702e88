#include "expr/expression_parser.h"

#include <utility>

#include "expr/integer_literal.h"
#include "expr/parser_exception.h"

namespace rw {

namespace {

// Parsing recurses once per nesting level (parentheses, unary operators,
// indices, casts), about 2.5 KB of stack a level in a sanitizer build.
// Expressions in memory maps nest a few levels; 256 levels stay under 1 MB
// and leave the rest of the default 8 MB stack to the callers' own walks.
constexpr int kMaxNesting = 256;
// Evaluating and destroying a tree recurse once per level of its height,
// which operator chains such as `1+1+...+1` raise without any nesting. Those
// frames take about 400 bytes in a sanitizer build, so a chain of 1024
// operators also stays under 1 MB of stack.
constexpr uint32_t kMaxTreeHeight = 1024;

constexpr int kLowestPrecedence = -4;
constexpr int kArgumentPrecedence = -3;  // above `,`, which separates arguments

bool isTypeWord(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "void", "char",     "short", "int",  "long",  "float",  "double",
      "signed", "unsigned", "const", "volatile", "bool", "_Bool",
  };
  for (std::string_view w : kWords)
    if (word == w) return true;
  return false;
}

std::optional<BinaryOperator> binaryOperatorOf(int kind) {
  switch (kind) {
    case kStar: case kStarAssign: return BinaryOperator::Multiply;
    case kSlash: case kSlashAssign: return BinaryOperator::Divide;
    case kPercent: case kPercentAssign: return BinaryOperator::Mod;
    case kPlus: case kPlusAssign: return BinaryOperator::Plus;
    case kMinus: case kMinusAssign: return BinaryOperator::Minus;
    case kLeftShift: case kLeftShiftAssign: return BinaryOperator::Lshift;
    case kRightShift: case kRightShiftAssign: return BinaryOperator::Rshift;
    case kLess: return BinaryOperator::Lt;
    case kLessEqual: return BinaryOperator::Le;
    case kGreater: return BinaryOperator::Gt;
    case kGreaterEqual: return BinaryOperator::Ge;
    case kEqual: return BinaryOperator::Eq;
    case kNotEqual: return BinaryOperator::Ne;
    case kAmpersand: case kAmpersandAssign: return BinaryOperator::BitAnd;
    case kCaret: case kCaretAssign: return BinaryOperator::BitXor;
    case kBar: case kBarAssign: return BinaryOperator::BitOr;
    case kLogicalAnd: return BinaryOperator::LogicalAnd;
    case kLogicalOr: return BinaryOperator::LogicalOr;
    default: return std::nullopt;
  }
}

ExpressionPtr makeBinary(BinaryOperator op, ExpressionPtr l, ExpressionPtr r) {
  switch (op) {
    case BinaryOperator::Plus: return std::make_unique<PlusExpression>(std::move(l), std::move(r));
    case BinaryOperator::Minus: return std::make_unique<MinusExpression>(std::move(l), std::move(r));
    case BinaryOperator::Multiply: return std::make_unique<MultiplyExpression>(std::move(l), std::move(r));
    case BinaryOperator::Divide: return std::make_unique<DivideExpression>(std::move(l), std::move(r));
    case BinaryOperator::Mod: return std::make_unique<ModExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitAnd: return std::make_unique<BitAndExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitOr: return std::make_unique<BitOrExpression>(std::move(l), std::move(r));
    case BinaryOperator::BitXor: return std::make_unique<BitXorExpression>(std::move(l), std::move(r));
    case BinaryOperator::Lshift: return std::make_unique<LshiftExpression>(std::move(l), std::move(r));
    case BinaryOperator::Rshift: return std::make_unique<RshiftExpression>(std::move(l), std::move(r));
    case BinaryOperator::Eq: return std::make_unique<EqExpression>(std::move(l), std::move(r));
    case BinaryOperator::Ne: return std::make_unique<NeExpression>(std::move(l), std::move(r));
    case BinaryOperator::Lt: return std::make_unique<LtExpression>(std::move(l), std::move(r));
    case BinaryOperator::Le: return std::make_unique<LeExpression>(std::move(l), std::move(r));
    case BinaryOperator::Gt: return std::make_unique<GtExpression>(std::move(l), std::move(r));
    case BinaryOperator::Ge: return std::make_unique<GeExpression>(std::move(l), std::move(r));
    case BinaryOperator::LogicalAnd:
      return std::make_unique<LogicalAndExpression>(std::move(l), std::move(r));
    case BinaryOperator::LogicalOr:
      return std::make_unique<LogicalOrExpression>(std::move(l), std::move(r));
  }
  return nullptr;
}

bool isIntegerLiteral(int kind) {
  return kind == kDecimal || kind == kHexadecimal || kind == kBinary;
}

}  // namespace

// Counts one level of parse recursion for as long as it lives.
class ExpressionParser::DepthGuard {
public:
  explicit DepthGuard(ExpressionParser& parser) : parser_(parser) {
    if (++parser_.depth_ > kMaxNesting) throw LimitException("expression nested too deeply");
  }
  ~DepthGuard() { --parser_.depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

private:
  ExpressionParser& parser_;
};

ExpressionParser::ExpressionParser(std::unique_ptr<Lexer> lexer) : lexer_(std::move(lexer)) {}

ExpressionParser::~ExpressionParser() = default;

ExpressionPtr ExpressionParser::parse(std::string_view text) {
  if (text.empty()) return nullptr;
  lexer_->reset(text);
  depth_ = 0;
  advance();
  return parseBinary(kLowestPrecedence);
}

Value ExpressionParser::evaluate(std::string_view text) {
  const ExpressionPtr tree = parse(text);
  if (!tree) return Value();
  return tree->evaluate(*this);
}

void ExpressionParser::advance() {
  do {
    lexer_->next(token_);
  } while (token_.kind == kSpace);
}

void ExpressionParser::expect(int kind, const char* failure) const {
  if (token_.kind != kind) throw ParserException(failure);
}

ExpressionPtr ExpressionParser::checked(ExpressionPtr node) const {
  if (node->height() > kMaxTreeHeight) throw LimitException("expression nested too deeply");
  return node;
}

// Precedence climbing: every operator of precedence p takes as its right
// operand an expression of operators above p only, so all levels are
// left-associative, `=` included.
ExpressionPtr ExpressionParser::parseBinary(int minimumPrecedence) {
  ExpressionPtr left = parseUnary();
  while (token_.precedence >= minimumPrecedence && token_.precedence < kNoBinaryPrecedence) {
    const int kind = token_.kind;
    const int precedence = token_.precedence;
    if (kind == kUnsignedRightShift || kind == kUnsignedRightShiftAssign || kind == kQuestion ||
        kind == kComma)
      throw ParserException("operator not supported");
    advance();
    ExpressionPtr right = parseBinary(precedence + 1);
    left = checked(combine(kind, std::move(left), std::move(right)));
  }
  return left;
}

ExpressionPtr ExpressionParser::combine(int kind, ExpressionPtr left, ExpressionPtr right) const {
  if (kind == kAssign) return std::make_unique<AssignExpression>(std::move(left), std::move(right));
  const std::optional<BinaryOperator> op = binaryOperatorOf(kind);
  if (!op) throw ParserException("operator not supported");
  if (kind >= kPlusAssign && kind <= kBarAssign)
    return std::make_unique<AssignExpression>(std::move(left), std::move(right), op);
  return makeBinary(*op, std::move(left), std::move(right));
}

ExpressionPtr ExpressionParser::parseUnary() {
  DepthGuard guard(*this);
  const int kind = token_.kind;
  switch (kind) {
    case kMinus:
      advance();
      return checked(std::make_unique<NegateExpression>(parseUnary()));
    case kTilde:
      advance();
      return checked(std::make_unique<BitNotExpression>(parseUnary()));
    case kExclamation:
      advance();
      return checked(std::make_unique<LogicalNotExpression>(parseUnary()));
    case kPlus:
      advance();
      return parseUnary();
    case kStar:
      advance();
      return checked(std::make_unique<LeftSquareBracketExpression>(
          parseUnary(), std::make_unique<IntegerConstantExpression>(0)));
    case kAmpersand:
      advance();
      return checked(std::make_unique<AddressofExpression>(parseUnary()));
    case kIncrement:
    case kDecrement:
      advance();
      return checked(std::make_unique<AssignExpression>(
          parseUnary(), std::make_unique<IntegerConstantExpression>(1),
          kind == kIncrement ? BinaryOperator::Plus : BinaryOperator::Minus));
    default:
      return parsePostfix(parsePrimary());
  }
}

ExpressionPtr ExpressionParser::parsePrimary() {
  switch (token_.kind) {
    case kDecimal:
    case kHexadecimal:
    case kBinary: {
      ExpressionPtr constant =
          std::make_unique<IntegerConstantExpression>(expressionLiteralValue(token_.text));
      advance();
      return constant;
    }
    case kFloating: {
      ExpressionPtr constant =
          std::make_unique<FloatConstantExpression>(convertFloatingLiteral(token_.text));
      advance();
      return constant;
    }
    case kString: {
      ExpressionPtr constant = std::make_unique<StringConstantExpression>(
          token_.text.substr(1, token_.text.size() - 2));
      advance();
      return constant;
    }
    case kLeftParen:
      return parseParenthesised();
    case kIdentifier:
      if (token_.text == "sizeof") return parseSizeof();
      if (token_.text == "addressof") return parseAddressofLine();
      return parseName();
    case kScope:
      return parseName();
    case kRegister: {
      ExpressionPtr reg = std::make_unique<RegisterExpression>(token_.text.substr(1));
      advance();
      return reg;
    }
    default:
      throw ParserException("expression expected");
  }
}

ExpressionPtr ExpressionParser::parsePostfix(ExpressionPtr node) {
  for (;;) {
    switch (token_.kind) {
      case kLeftBracket: {
        advance();
        ExpressionPtr index = parseBinary(kLowestPrecedence);
        expect(kRightBracket, "expected ']'");
        advance();
        node = checked(std::make_unique<LeftSquareBracketExpression>(std::move(node), std::move(index)));
        break;
      }
      case kDot:
      case kArrow: {
        const bool arrow = token_.kind == kArrow;
        advance();
        expect(kIdentifier, "identifier expected");
        std::string member = token_.text;
        advance();
        node = checked(std::make_unique<DotExpression>(std::move(node), std::move(member), arrow));
        break;
      }
      case kIncrement:
      case kDecrement: {
        const BinaryOperator op =
            token_.kind == kIncrement ? BinaryOperator::Plus : BinaryOperator::Minus;
        advance();
        node = checked(std::make_unique<AssignExpression>(
            std::move(node), std::make_unique<IntegerConstantExpression>(1), op));
        break;
      }
      case kLeftParen: {
        advance();
        std::vector<ExpressionPtr> arguments;
        if (token_.kind != kRightParen) {
          arguments.push_back(parseBinary(kArgumentPrecedence));
          while (token_.kind == kComma) {
            advance();
            arguments.push_back(parseBinary(kArgumentPrecedence));
          }
        }
        expect(kRightParen, "')' expected");
        advance();
        node = checked(std::make_unique<CallExpression>(std::move(node), std::move(arguments)));
        break;
      }
      default:
        return node;
    }
  }
}

ExpressionPtr ExpressionParser::parseParenthesised() {
  advance();  // (
  if (atTypeName()) {
    std::unique_ptr<TypeName> type = parseTypeName();
    expect(kRightParen, "')' expected");
    advance();
    return checked(std::make_unique<CastExpression>(std::move(type), parseUnary()));
  }
  ExpressionPtr inner = parseBinary(kLowestPrecedence);
  expect(kRightParen, "')' expected");
  advance();
  return inner;
}

ExpressionPtr ExpressionParser::parseSizeof() {
  advance();  // sizeof
  if (token_.kind != kLeftParen)
    return checked(std::make_unique<SizeofExpression>(parseUnary()));
  advance();
  if (atTypeName()) {
    std::unique_ptr<TypeName> type = parseTypeName();
    expect(kRightParen, "')' expected");
    advance();
    return checked(std::make_unique<SizeofExpression>(std::move(type)));
  }
  ExpressionPtr inner = parseBinary(kLowestPrecedence);
  expect(kRightParen, "')' expected");
  advance();
  return checked(std::make_unique<SizeofExpression>(parsePostfix(std::move(inner))));
}

ExpressionPtr ExpressionParser::parseAddressofLine() {
  advance();  // addressof
  expect(kLeftParen, "'(' expected");
  advance();
  expect(kString, "string expected");
  std::string file = token_.text.substr(1, token_.text.size() - 2);
  advance();
  expect(kComma, "',' expected");
  advance();
  const uint64_t line = parseIntegerLiteral("int expected");
  expect(kRightParen, "')' expected");
  advance();
  return std::make_unique<AddressofLineExpression>(std::move(file), line);
}

ExpressionPtr ExpressionParser::parseName() {
  std::vector<std::string> parts;
  if (token_.kind == kIdentifier) {
    parts.push_back(token_.text);
    advance();
    if (token_.kind != kScope) return std::make_unique<IdentifierExpression>(std::move(parts[0]));
  } else {
    parts.emplace_back();  // a leading `::`
  }
  while (token_.kind == kScope) {
    advance();
    expect(kIdentifier, "identifier expected after '::'");
    parts.push_back(token_.text);
    advance();
  }
  return std::make_unique<ScopedIdentifierExpression>(std::move(parts));
}

uint64_t ExpressionParser::parseIntegerLiteral(const char* failure) {
  if (!isIntegerLiteral(token_.kind)) throw ParserException(failure);
  const uint64_t value = expressionLiteralValue(token_.text);
  advance();
  return value;
}

bool ExpressionParser::atTypeName() const {
  return token_.kind == kIdentifier &&
         (token_.text == "struct" || token_.text == "register" || isTypeWord(token_.text));
}

// A type: `struct ...`, `register ...` or base-type words, then any mix of
// `*` and `[length]`.
std::unique_ptr<TypeName> ExpressionParser::parseTypeName() {
  DepthGuard guard(*this);
  auto type = std::make_unique<TypeName>();
  if (token_.text == "struct") {
    advance();
    parseStructType(*type);
  } else if (token_.text == "register") {
    advance();
    parseRegisterType(*type);
  } else {
    while (token_.kind == kIdentifier && isTypeWord(token_.text)) {
      if (!type->name.empty()) type->name += ' ';
      type->name += token_.text;
      advance();
    }
  }
  for (;;) {
    if (token_.kind == kStar) {
      ++type->pointerDepth;
      advance();
    } else if (token_.kind == kLeftBracket) {
      advance();
      type->arrayLengths.push_back(parseBinary(kLowestPrecedence));
      expect(kRightBracket, "']' expected");
      advance();
    } else {
      return type;
    }
  }
}

// `struct name` names a known struct type; `struct [name] { fields }` spells
// one out, each field a type, a name, an optional `: bits` and `;`.
void ExpressionParser::parseStructType(TypeName& type) {
  type.form = TypeName::Form::Struct;
  if (token_.kind == kIdentifier) {
    type.name = token_.text;
    advance();
    // No struct types are registered with this parser.
    if (token_.kind != kLeftBrace) throw ParserException("struct type not found");
  }
  expect(kLeftBrace, "'{' expected");
  advance();
  while (token_.kind != kRightBrace) {
    if (!atTypeName()) throw ParserException("struct parse error");
    StructField field;
    field.type = parseTypeName();
    expect(kIdentifier, "fieldname expected");
    field.name = token_.text;
    advance();
    if (token_.kind == kColon) {
      advance();
      field.bitWidth = parseIntegerLiteral("integer must follow ':'");
    }
    expect(kSemicolon, "';' expected");
    advance();
    type.structFields.push_back(std::move(field));
  }
  advance();  // }
}

// `register size { name bitoffset bitsize; ... }`
void ExpressionParser::parseRegisterType(TypeName& type) {
  type.form = TypeName::Form::Register;
  type.registerSize = parseIntegerLiteral("size expected");
  expect(kLeftBrace, "'{' expected");
  advance();
  while (token_.kind != kRightBrace) {
    RegisterField field;
    expect(kIdentifier, "fieldname expected");
    field.name = token_.text;
    advance();
    field.bitOffset = parseIntegerLiteral("bitoffset expected");
    field.bitSize = parseIntegerLiteral("bitsize expected");
    expect(kSemicolon, "';' expected");
    advance();
    type.registerFields.push_back(std::move(field));
  }
  advance();  // }
}

}  // namespace rw
