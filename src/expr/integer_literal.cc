#include "expr/integer_literal.h"

#include <optional>

namespace rw {

namespace {

// White space of the C locale, whatever the process locale is.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isSuffix(char c) { return c == 'U' || c == 'u' || c == 'L' || c == 'l'; }

// The rules both readers share; `digitOf` gives a character's digit value,
// or nothing to end the literal there.
template <typename DigitOf>
uint64_t literalValue(std::string_view text, DigitOf digitOf) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  uint64_t base = 10;
  const std::string_view rest = text.substr(i);
  if (rest.starts_with("0x")) {
    base = 16;
    i += 2;
  } else if (rest.starts_with("0b")) {
    base = 2;
    i += 2;
  } else if (rest.starts_with("0")) {
    base = 8;
    i += 1;
  }

  uint64_t value = 0;
  for (; i < text.size() && !isSuffix(text[i]); ++i) {
    const std::optional<uint64_t> digit = digitOf(text[i]);
    if (!digit) break;
    value = value * base + *digit;
  }
  return negative ? 0 - value : value;
}

std::optional<uint64_t> letterOrDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return std::nullopt;
}

}  // namespace

uint64_t expressionLiteralValue(std::string_view text) {
  return literalValue(text, [](char c) -> std::optional<uint64_t> {
    if (const std::optional<uint64_t> digit = letterOrDigitValue(c)) return digit;
    return uint64_t{static_cast<unsigned char>(c)} - 55;  // wraps for codes below 55
  });
}

uint64_t sizeLiteralValue(std::string_view text) { return literalValue(text, letterOrDigitValue); }

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

void appendHexLiteral(std::string& out, uint64_t value) {
  char buffer[18];
  char* p = buffer + sizeof buffer;
  do {
    *--p = kHexDigits[value & 0xFu];
    value >>= 4;
  } while (value != 0);
  *--p = 'x';
  *--p = '0';
  out.append(p, buffer + sizeof buffer);
}

std::string hexLiteral(uint64_t value) {
  std::string text;
  appendHexLiteral(text, value);
  return text;
}

void appendHexDigits(std::string& out, uint64_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHexDigits[(value >> shift) & 0xFu];
}

int digitValue(char c, unsigned base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace rw
