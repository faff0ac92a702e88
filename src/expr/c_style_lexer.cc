#include "expr/c_style_lexer.h"

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

std::size_t matchSpace(std::string_view s) { return skipWhile(s, 0, isSpace); }

std::size_t matchString(std::string_view s) {
  if (s.empty() || s[0] != '"') return 0;
  const std::size_t close = s.find('"', 1);
  return close == std::string_view::npos ? 0 : close + 1;
}

std::size_t matchHexadecimal(std::string_view s) {
  if (!s.starts_with("0x")) return 0;
  return skipIntegerSuffix(s, skipWhile(s, 2, isHexDigit));
}

std::size_t matchBinary(std::string_view s) {
  if (!s.starts_with("0b")) return 0;
  return skipWhile(s, 2, [](char c) { return c == '0' || c == '1'; });
}

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
  if (s.empty() || !isIdentifierStart(s[0])) return 0;
  return skipWhile(s, 1, isIdentifierPart);
}

std::size_t matchRegister(std::string_view s) {
  if (s.empty() || s[0] != '@') return 0;
  return skipWhile(s, 1, [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
}

struct Operator {
  std::string_view text;
  int kind;
  int precedence;
};

// In matching order: a longer operator must come before its prefixes where
// both exist, and the order here is part of the language.
constexpr Operator kOperators[] = {
    {";", kSemicolon, 10},
    {"::", kScope, 10},
    {":", kColon, 10},
    {"(", kLeftParen, 10},
    {")", kRightParen, 10},
    {"[", kLeftBracket, 10},
    {"]", kRightBracket, 10},
    {"{", kLeftBrace, 10},
    {"}", kRightBrace, 10},
    {".", kDot, 10},
    {"->", kArrow, 10},
    {"++", kIncrement, 10},
    {"--", kDecrement, 10},
    {"!=", kNotEqual, 5},
    {"!", kExclamation, 10},
    {"~", kTilde, 10},
    {"*=", kStarAssign, -3},
    {"*", kStar, 9},
    {"/=", kSlashAssign, -3},
    {"/", kSlash, 9},
    {"%=", kPercentAssign, -3},
    {"%", kPercent, 9},
    {"+=", kPlusAssign, -3},
    {"+", kPlus, 8},
    {"-=", kMinusAssign, -3},
    {"-", kMinus, 8},
    {"<<=", kLeftShiftAssign, -3},
    {"<<", kLeftShift, 7},
    {">>>=", kUnsignedRightShiftAssign, -3},
    {">>>", kUnsignedRightShift, 7},
    {">>=", kRightShiftAssign, -3},
    {">>", kRightShift, 7},
    {"<=", kLessEqual, 6},
    {"<", kLess, 6},
    {">=", kGreaterEqual, 6},
    {">", kGreater, 6},
    {"==", kEqual, 5},
    {"^=", kCaretAssign, -3},
    {"^", kCaret, 3},
    {"&=", kAmpersandAssign, -3},
    {"&&", kLogicalAnd, 1},
    {"&", kAmpersand, 4},
    {"|=", kBarAssign, -3},
    {"||", kLogicalOr, 0},
    {"|", kBar, 2},
    {"?", kQuestion, -1},
    {"=", kAssign, -2},
    {",", kComma, -4},
};

}  // namespace

CStyleLexer::CStyleLexer() {
  addRule(matchSpace, kSpace, kNoBinaryPrecedence);
  addRule(matchString, kString, kNoBinaryPrecedence);
  addRule(matchHexadecimal, kHexadecimal, kNoBinaryPrecedence);
  addRule(matchBinary, kBinary, kNoBinaryPrecedence);
  addRule(matchFloating, kFloating, kNoBinaryPrecedence);
  addRule(matchDecimal, kDecimal, kNoBinaryPrecedence);
  addRule(matchIdentifier, kIdentifier, kNoBinaryPrecedence, /*expandable=*/true);
  addRule(matchRegister, kRegister, kNoBinaryPrecedence);
  for (const Operator& op : kOperators) addRule(op.text, op.kind, op.precedence);
}

std::string CStyleLexer::expandIdentifier(std::string_view) { return {}; }

}  // namespace rw
