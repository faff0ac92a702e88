// C-style integer literal text: the two ways this program reads it, and the
// one way it writes it.
//
// Both skip leading blanks, take an optional sign, pick the base from a
// "0x" (16), "0b" (2) or other leading "0" (8) prefix, in lower case only,
// else base 10, and stop at the end or at a U/u/L/l suffix. Neither checks
// digits against the base ("09" is 9), and both wrap at 64 bits. They differ
// only in characters that are not ASCII letters or digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rw {

// For the integer tokens of expressions. Every character up to the end or a
// suffix counts as a digit: 0-9, then a-z and A-Z as 10-35, and any other byte
// as its code minus 55, wrapping. The expression lexer only hands over digits,
// hexadecimal letters and suffixes, on which the two rules agree.
uint64_t expressionLiteralValue(std::string_view text);

// For register, bit-field and enumeration sizes written in the map. Unlike
// expressionLiteralValue, a character that is not an ASCII letter or digit (a
// blank, a dot, a byte above 0x7F) ends the literal, so "32 " reads as 32.
uint64_t sizeLiteralValue(std::string_view text);

// Appends "0x" and `value` in upper-case hexadecimal without leading zeros
// (0x0, 0x4001080C): the form of every address, mask and hexadecimal macro
// the program writes. It is also what printf's "0x%X" gives.
void appendHexLiteral(std::string& out, uint64_t value);
std::string hexLiteral(uint64_t value);
// Appends the last `digits` upper-case hexadecimal digits of `value`, with
// leading zeros: the form of escapes (\u00E9, %2F).
void appendHexDigits(std::string& out, uint64_t value, int digits);

// The value of `c` as a digit in `base` (up to 16), or -1.
int digitValue(char c, unsigned base);

}  // namespace rw
