#include "expr/token.h"

#include <cstddef>

namespace rw {

namespace {

// Character classes of the C locale: bytes of 0x80 and above are in none.
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isIdentifierStart(char c) { return isLetter(c) || c == '_' || c == '$'; }
bool isIdentifierPart(char c) { return isIdentifierStart(c) || isDigit(c); }

template <typename Predicate>
std::size_t skipWhile(std::string_view s, std::size_t i, Predicate predicate) {
  while (i < s.size() && predicate(s[i])) ++i;
  return i;
}

// `U?L?L?u?l?l?` from position i.
std::size_t skipIntegerSuffix(std::string_view s, std::size_t i) {
  for (char c : {'U', 'L', 'L', 'u', 'l', 'l'})
    if (i < s.size() && s[i] == c) ++i;
  return i;
}

// Each gives the length of its kind of token at the start of `s` (never
// empty), 0 when there is none.

// No escapes: the string ends at the next quote.
std::size_t matchString(std::string_view s) {
  if (s[0] != '"') return 0;
  const std::size_t close = s.find('"', 1);
  return close == std::string_view::npos ? 0 : close + 1;
}

std::size_t matchHexadecimal(std::string_view s) {
  if (!s.starts_with("0x")) return 0;
  return skipIntegerSuffix(s, skipWhile(s, 2, isHexDigit));
}

// Takes no suffix, unlike the other integers.
std::size_t matchBinary(std::string_view s) {
  if (!s.starts_with("0b")) return 0;
  return skipWhile(s, 2, [](char c) { return c == '0' || c == '1'; });
}

// Digits on both sides of the point, and no exponent.
std::size_t matchFloating(std::string_view s) {
  const std::size_t point = skipWhile(s, 0, isDigit);
  if (point == 0 || point >= s.size() || s[point] != '.') return 0;
  const std::size_t end = skipWhile(s, point + 1, isDigit);
  return end == point + 1 ? 0 : end;
}

std::size_t matchDecimal(std::string_view s) {
  const std::size_t digits = skipWhile(s, 0, isDigit);
  return digits == 0 ? 0 : skipIntegerSuffix(s, digits);
}

std::size_t matchIdentifier(std::string_view s) {
  if (!isIdentifierStart(s[0])) return 0;
  return skipWhile(s, 1, isIdentifierPart);
}

// A lone `@` is a register token too.
std::size_t matchRegister(std::string_view s) {
  if (s[0] != '@') return 0;
  return skipWhile(s, 1, [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

struct Rule {
  std::size_t (*match)(std::string_view);
  TokenKind kind;
};

constexpr Rule kRules[] = {
    {matchString, TokenKind::String},      {matchHexadecimal, TokenKind::Integer},
    {matchBinary, TokenKind::Integer},     {matchFloating, TokenKind::Floating},
    {matchDecimal, TokenKind::Integer},    {matchIdentifier, TokenKind::Identifier},
    {matchRegister, TokenKind::Register},
};

struct Operator {
  std::string_view text;
  TokenKind kind;
  int precedence;
};

// Tried after the rules above, in this order: an operator comes before those
// of its prefixes that are operators too.
constexpr Operator kOperators[] = {
    {";", TokenKind::Semicolon, kNotBinary},
    {"::", TokenKind::Scope, kNotBinary},
    {":", TokenKind::Colon, kNotBinary},
    {"(", TokenKind::LeftParen, kNotBinary},
    {")", TokenKind::RightParen, kNotBinary},
    {"[", TokenKind::LeftBracket, kNotBinary},
    {"]", TokenKind::RightBracket, kNotBinary},
    {"{", TokenKind::LeftBrace, kNotBinary},
    {"}", TokenKind::RightBrace, kNotBinary},
    {".", TokenKind::Dot, kNotBinary},
    {"->", TokenKind::Arrow, kNotBinary},
    {"++", TokenKind::Increment, kNotBinary},
    {"--", TokenKind::Decrement, kNotBinary},
    {"!=", TokenKind::NotEqual, 5},
    {"!", TokenKind::Exclamation, kNotBinary},
    {"~", TokenKind::Tilde, kNotBinary},
    {"*=", TokenKind::Assign, -3},
    {"*", TokenKind::Star, 9},
    {"/=", TokenKind::Assign, -3},
    {"/", TokenKind::Slash, 9},
    {"%=", TokenKind::Assign, -3},
    {"%", TokenKind::Percent, 9},
    {"+=", TokenKind::Assign, -3},
    {"+", TokenKind::Plus, 8},
    {"-=", TokenKind::Assign, -3},
    {"-", TokenKind::Minus, 8},
    {"<<=", TokenKind::Assign, -3},
    {"<<", TokenKind::LeftShift, 7},
    {">>>=", TokenKind::Unsupported, -3},
    {">>>", TokenKind::Unsupported, 7},
    {">>=", TokenKind::Assign, -3},
    {">>", TokenKind::RightShift, 7},
    {"<=", TokenKind::LessEqual, 6},
    {"<", TokenKind::Less, 6},
    {">=", TokenKind::GreaterEqual, 6},
    {">", TokenKind::Greater, 6},
    {"==", TokenKind::Equal, 5},
    {"^=", TokenKind::Assign, -3},
    {"^", TokenKind::Caret, 3},
    {"&=", TokenKind::Assign, -3},
    {"&&", TokenKind::LogicalAnd, 1},
    {"&", TokenKind::Ampersand, 4},
    {"|=", TokenKind::Assign, -3},
    {"||", TokenKind::LogicalOr, 0},
    {"|", TokenKind::Bar, 2},
    {"?", TokenKind::Unsupported, -1},
    {"=", TokenKind::Assign, -2},
    {",", TokenKind::Comma, -4},
};

Token recognise(std::string_view rest) {
  for (const Rule& rule : kRules)
    if (const std::size_t length = rule.match(rest))
      return {rule.kind, kNotBinary, rest.substr(0, length)};
  for (const Operator& op : kOperators)
    if (rest.starts_with(op.text))
      return {op.kind, op.precedence, rest.substr(0, op.text.size())};
  return {TokenKind::Unrecognised, kNotBinary, rest};
}

}  // namespace

Token scanToken(std::string_view& rest) {
  rest.remove_prefix(skipWhile(rest, 0, isSpace));
  if (rest.empty()) return {};
  const Token token = recognise(rest);
  rest.remove_prefix(token.text.size());
  return token;
}

}  // namespace rw
