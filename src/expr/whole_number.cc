#include "expr/whole_number.h"

#include <string>

#include "expr/evaluate.h"
#include "expr/integer_literal.h"
#include "expr/token.h"

namespace rw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The value of `digits` in `base`; nothing when one is no digit of the base,
// when there are none, or when the value does not fit in 64 bits.
std::optional<uint64_t> digitsValue(std::string_view digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : digits) {
    const int digit = digitValue(c, base);
    if (digit < 0 || value > (UINT64_MAX - static_cast<uint64_t>(digit)) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
  }
  return value;
}

// An integer token as the lexer cuts it: "0x" and hexadecimal digits, "0b"
// and binary digits, or decimal digits (octal after a leading 0), each
// followed by any suffix letters the lexer took. Hexadecimal digits hold no
// u or l, so the suffix begins at the first of them.
bool isWholeLiteral(std::string_view token) {
  std::string_view digits = token.substr(0, token.find_first_of("uUlL"));
  unsigned base = 10;
  if (digits.starts_with("0x")) {
    base = 16;
    digits.remove_prefix(2);
  } else if (digits.starts_with("0b")) {
    base = 2;
    digits.remove_prefix(2);
  } else if (digits.size() > 1 && digits.front() == '0') {
    base = 8;
    digits.remove_prefix(1);
  }
  return digitsValue(digits, base).has_value();
}

// Whether every token is one the lexer knows, every integer literal is
// whole, no literal is floating, and no closing parenthesis comes before
// its opening one.
bool tokensAreWhole(std::string_view text) {
  size_t open = 0;
  for (std::string_view rest = text;;) {
    const Token token = scanToken(rest);
    switch (token.kind) {
      case TokenKind::End:
        return open == 0;
      case TokenKind::Unrecognised:
      case TokenKind::Floating:
        return false;
      case TokenKind::Integer:
        if (!isWholeLiteral(token.text)) return false;
        break;
      case TokenKind::LeftParen:
        ++open;
        break;
      case TokenKind::RightParen:
        if (open == 0) return false;
        --open;
        break;
      default:
        break;
    }
  }
}

// The power of two a scale letter stands for, or 0 when `c` is none.
unsigned scaleShift(char c) {
  switch (c) {
    case 'k': case 'K': return 10;
    case 'm': case 'M': return 20;
    case 'g': case 'G': return 30;
    case 't': case 'T': return 40;
    default: return 0;
  }
}

}  // namespace

std::optional<uint64_t> svdNumber(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  unsigned base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("0b") || text.starts_with("0B")) {
    base = 2;
    text.remove_prefix(2);
  } else if (text.starts_with('#')) {
    base = 2;
    text.remove_prefix(1);
  }
  const unsigned shift = text.empty() ? 0 : scaleShift(text.back());
  if (shift != 0) text.remove_suffix(1);
  const std::optional<uint64_t> value = digitsValue(text, base);
  if (!value || *value > (UINT64_MAX >> shift)) return std::nullopt;
  return *value << shift;
}


std::optional<uint64_t> wholeNumber(std::string_view text) {
  if (const std::optional<uint64_t> number = svdNumber(text)) return number;
  if (!tokensAreWhole(text)) return std::nullopt;
  // The evaluator stops at the first token that cannot continue the
  // expression; in parentheses it has to reach the closing one, which, with
  // the text's own parentheses balanced, is the one added here. Without a
  // floating literal, a value it gives is an integer.
  std::string parenthesised;
  parenthesised.reserve(text.size() + 2);
  parenthesised += '(';
  parenthesised += text;
  parenthesised += ')';
  const UnsignedResult result = evaluateUnsigned(parenthesised);
  return result.ok ? std::optional<uint64_t>(result.value) : std::nullopt;
}

bool isDontCarePattern(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with('#')) text.remove_prefix(1);
  else if (text.starts_with("0b") || text.starts_with("0B")) text.remove_prefix(2);
  else return false;
  return !text.empty() && text.find_first_not_of("01xX") == std::string_view::npos;
}

}  // namespace rw
